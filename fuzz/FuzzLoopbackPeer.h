// Sends one fuzz input to a server of this process over loopback and reads until the server
// closes, so the whole connection path (request reader, handler, reply) runs for every input.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace fuzz {

class LoopbackPeer {
public:
    LoopbackPeer(const char* address, std::uint16_t port) : m_fd(::socket(AF_INET, SOCK_STREAM, 0)) {
        if (m_fd < 0) {
            std::perror("socket");
            std::abort();
        }
        // A server that neither answers nor closes would hang the fuzzer instead of failing it.
        const timeval limit{5, 0};
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        ::inet_pton(AF_INET, address, &to.sin_addr);
        if (::connect(m_fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
            std::perror("connect");
            std::abort();
        }
    }
    ~LoopbackPeer() { ::close(m_fd); }
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;

    // Writes everything (the server may close early, which ends the writing), shuts the
    // sending side and reads until the server closes. Aborts when the server stays silent
    // and open: that is a hang the fuzzer must report.
    std::size_t exchange(std::string_view request) {
        for (std::size_t sent = 0; sent < request.size();) {
            const ssize_t n = ::send(m_fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            sent += static_cast<std::size_t>(n);
        }
        ::shutdown(m_fd, SHUT_WR);
        std::size_t received = 0;
        char buffer[16384];
        for (;;) {
            const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (n == 0 || (n < 0 && errno == ECONNRESET)) {
                return received;
            }
            // libFuzzer's timeout alarm interrupts the wait now and then; that is no silence.
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                std::fprintf(stderr, "the server neither answered nor closed within 5 s\n");
                std::abort();
            }
            received += static_cast<std::size_t>(n);
        }
    }

private:
    int m_fd;
};

} // namespace fuzz
