#include "WbemUrl.h"

#include <charconv>
#include <stdexcept>

namespace orvcim {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string percentDecoded(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out.push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size() || hexValue(text[i + 1]) < 0 || hexValue(text[i + 2]) < 0)
            throw std::invalid_argument("bad %-escape in the user name or password");
        out.push_back(static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
        i += 2;
    }
    return out;
}

std::uint16_t portNumber(std::string_view text)
{
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value == 0 || value > 65535)
        throw std::invalid_argument("bad port \"" + std::string(text) + "\"");
    return static_cast<std::uint16_t>(value);
}

} // namespace

WbemUrl WbemUrl::parse(std::string_view text)
{
    constexpr std::string_view kScheme = "http://";
    if (text.starts_with("https://"))
        throw std::invalid_argument("https is not supported, use http://");
    if (text.starts_with(kScheme))
        text.remove_prefix(kScheme.size());
    else if (text.find("://") != std::string_view::npos)
        throw std::invalid_argument("unknown scheme in \"" + std::string(text) + "\"");

    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos || slash + 1 == text.size())
        throw std::invalid_argument("no namespace:class after the host");
    WbemUrl url;
    url.parseAuthority(text.substr(0, slash));
    url.m_objectPath = std::string(text.substr(slash + 1));
    return url;
}

// authority = [ user [ ":" password ] "@" ] host [ ":" port ]; the last "@" ends the user
// part, because a password may hold an unescaped "@" that people type anyway.
void WbemUrl::parseAuthority(std::string_view authority)
{
    const std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        const std::string_view userInfo = authority.substr(0, at);
        const std::size_t colon = userInfo.find(':');
        m_user = percentDecoded(userInfo.substr(0, colon));
        if (colon != std::string_view::npos)
            m_password = percentDecoded(userInfo.substr(colon + 1));
        authority.remove_prefix(at + 1);
    }
    parseHostPort(authority);
}

void WbemUrl::parseHostPort(std::string_view hostPort)
{
    std::string_view portText;
    if (hostPort.starts_with('[')) {
        const std::size_t close = hostPort.find(']');
        if (close == std::string_view::npos)
            throw std::invalid_argument("unterminated [IPv6] host");
        m_host = std::string(hostPort.substr(1, close - 1));
        const std::string_view rest = hostPort.substr(close + 1);
        if (!rest.empty() && !rest.starts_with(':'))
            throw std::invalid_argument("unexpected text after the [IPv6] host");
        if (!rest.empty())
            portText = rest.substr(1);
    } else {
        const std::size_t colon = hostPort.find(':');
        m_host = std::string(hostPort.substr(0, colon));
        if (colon != std::string_view::npos)
            portText = hostPort.substr(colon + 1);
    }
    if (m_host.empty())
        throw std::invalid_argument("no host in the URL");
    if (!portText.empty() || hostPort.ends_with(':'))
        m_port = portNumber(portText);
}

} // namespace orvcim
