#pragma once

#include <string>

namespace corvane {

// Where the array is and who logs in: "[http://]user@host[:5988][/]". A password in the
// address is refused (it would show in ps and in shell histories); it comes from
// PasswordSource instead. Throws std::invalid_argument with a one-line message.
class ArrayAddress {
public:
    static ArrayAddress parse(const std::string& url);
    ArrayAddress(std::string host, std::string user) : m_host(std::move(host)), m_user(std::move(user)) {}

    const std::string& host() const { return m_host; }
    const std::string& user() const { return m_user; }

private:
    std::string m_host;
    std::string m_user;
};

} // namespace corvane
