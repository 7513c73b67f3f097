#pragma once

// An address whose port 5988 never answers a connection attempt, as an array that is
// switched off or cut off behind a router: a listener with no room in its queue, so the
// system drops every SYN that comes in and the caller's connect waits for its time-out.
// (An address where nothing listens answers at once with a refusal on loopback.)

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

namespace Merrow::UserAgent::Testing {

class UnansweringAddress {
public:
    explicit UnansweringAddress(const std::string& address)
    {
        sockaddr_in where{};
        where.sin_family = AF_INET;
        where.sin_port = htons(5988);
        ::inet_pton(AF_INET, address.c_str(), &where.sin_addr);
        const auto* raw = reinterpret_cast<const sockaddr*>(&where);
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        m_filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (::bind(m_listener, raw, sizeof where) != 0 || ::listen(m_listener, 0) != 0 ||
            ::connect(m_filler, raw, sizeof where) != 0) {
            close();
            throw std::runtime_error("cannot hold " + address + ":5988 unanswered");
        }
    }
    ~UnansweringAddress() { close(); }
    UnansweringAddress(const UnansweringAddress&) = delete;
    UnansweringAddress& operator=(const UnansweringAddress&) = delete;

private:
    void close()
    {
        ::close(m_filler);
        ::close(m_listener);
    }

    int m_listener = -1;
    int m_filler = -1;
};

} // namespace Merrow::UserAgent::Testing
