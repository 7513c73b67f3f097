#include "cim/http/HttpBasicCredentials.h"

#include <boost/beast/http/field.hpp>

#include <strings.h>

namespace cim {

namespace {

int base64Value(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::optional<std::string> HttpBasicCredentials::decodeBase64(std::string_view text)
{
    if (text.size() % 4 != 0)
        return std::nullopt;
    const std::size_t padding = text.ends_with("==") ? 2 : text.ends_with('=') ? 1 : 0;
    const std::string_view data = text.substr(0, text.size() - padding);
    std::string out;
    unsigned buffer = 0;
    int bits = 0;
    for (char c : data) {
        const int value = base64Value(c);
        if (value < 0)
            return std::nullopt;
        buffer = (buffer << 6 | static_cast<unsigned>(value)) & 0xFFFFFF;
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>(buffer >> bits & 0xFF);
        }
    }
    // Bits left over that are not zero mean a second text decodes to the same bytes.
    if ((buffer & ((1u << bits) - 1)) != 0)
        return std::nullopt;
    return out;
}

HttpBasicCredentials HttpBasicCredentials::parse(std::string_view headerValue)
{
    constexpr std::string_view scheme = "Basic";
    headerValue = trimmed(headerValue);
    if (headerValue.size() <= scheme.size() || ::strncasecmp(headerValue.data(), scheme.data(), scheme.size()) != 0
        || (headerValue[scheme.size()] != ' ' && headerValue[scheme.size()] != '\t'))
        return {Status::Unreadable};
    auto decoded = decodeBase64(trimmed(headerValue.substr(scheme.size())));
    if (!decoded || decoded->find(':') == std::string::npos)
        return {Status::Unreadable};
    return {Status::Present, std::move(*decoded)};
}

HttpBasicCredentials HttpBasicCredentials::of(const HttpRequest& request)
{
    const auto headers = request.equal_range(boost::beast::http::field::authorization);
    if (headers.first == headers.second)
        return {Status::Absent};
    if (std::next(headers.first) != headers.second)
        return {Status::Repeated};
    const auto value = headers.first->value();
    return parse({value.data(), value.size()});
}

} // namespace cim
