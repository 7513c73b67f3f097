#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvcim {

// A wbemcli-style address of a CIM object:
//
//   [http://][user[:password]@]host[:port]/namespace:Class[.Key="value"{,Key=value}]
//
// The host may be an IPv6 address in brackets. User and password may carry %-escapes (for
// an "@" or ":" inside them). The part after the first "/" that follows the host is the
// object path text, read later by CIMObjectPath.
class WbemUrl {
public:
    static constexpr std::uint16_t kDefaultPort = 5988;

    // Throws std::invalid_argument with a one-line reason.
    static WbemUrl parse(std::string_view text);

    const std::string& host() const { return m_host; }
    std::uint16_t port() const { return m_port; }
    const std::string& user() const { return m_user; }
    const std::string& password() const { return m_password; }
    // "namespace:Class..." as written, without the leading "/".
    const std::string& objectPath() const { return m_objectPath; }

private:
    void parseAuthority(std::string_view authority);
    void parseHostPort(std::string_view hostPort);

    std::string m_host;
    std::uint16_t m_port = kDefaultPort;
    std::string m_user;
    std::string m_password;
    std::string m_objectPath;
};

} // namespace orvcim
