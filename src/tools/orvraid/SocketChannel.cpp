#include "SocketChannel.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>

namespace orvraid {

SocketChannel::SocketChannel(int fd, std::uint32_t maxIncomingPayload) : m_fd(fd), m_reader(maxIncomingPayload) {}

SocketChannel::~SocketChannel()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void SocketChannel::setSendTimeout(int milliseconds)
{
    const timeval timeout{milliseconds / 1000, (milliseconds % 1000) * 1000};
    ::setsockopt(m_fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
}

bool SocketChannel::send(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t sent = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

SocketChannel::Wait SocketChannel::waitReadable(int timeoutMs, int wakeFd) const
{
    pollfd fds[2] = {{m_fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
    const nfds_t count = wakeFd >= 0 ? 2 : 1;
    for (;;) {
        const int ready = ::poll(fds, count, timeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return Wait::Failed;
        if (ready == 0)
            return Wait::TimedOut;
        // The socket first: a frame that is there is taken before a wake-up ends the wait.
        if (fds[0].revents != 0)
            return Wait::Readable;
        return Wait::Woken;
    }
}

SocketChannel::ReadStatus SocketChannel::receive(protocol::Frame& frame, int idleTimeoutMs,
                                                 int frameTimeoutMs, int wakeFd)
{
    char buffer[16384];
    for (;;) {
        if (auto next = m_reader.next()) {
            frame = std::move(*next);
            return ReadStatus::Frame;
        }
        if (m_reader.fault() != FrameReader::Fault::None)
            return ReadStatus::Fault;
        const bool inside = m_reader.insideFrame();
        const Wait wait = waitReadable(inside ? frameTimeoutMs : idleTimeoutMs, inside ? -1 : wakeFd);
        if (wait == Wait::TimedOut)
            return ReadStatus::TimedOut;
        if (wait == Wait::Woken)
            return ReadStatus::Woken;
        if (wait == Wait::Failed)
            return ReadStatus::Closed;
        const ssize_t got = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return ReadStatus::Closed;
        m_reader.feed(buffer, static_cast<std::size_t>(got));
    }
}

void SocketChannel::shutdown() { ::shutdown(m_fd, SHUT_RDWR); }

}  // namespace orvraid
