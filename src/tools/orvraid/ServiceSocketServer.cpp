#include "ServiceSocketServer.h"

#include "NotificationText.h"
#include "ServiceConnection.h"
#include "ServiceMessages.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <system_error>

namespace orvraid {
namespace {

constexpr int kReapIntervalMs = 1000;

sockaddr_un addressOf(const std::filesystem::path& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.native().size() >= sizeof address.sun_path)
        throw std::system_error(ENAMETOOLONG, std::generic_category(), "the socket path " + path.string());
    std::strcpy(address.sun_path, path.c_str());
    return address;
}

bool someoneAnswersOn(const sockaddr_un& address)
{
    const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (probe < 0)
        return false;
    const bool answered = ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(probe);
    return answered;
}

[[noreturn]] void failOn(const std::string& what, const std::filesystem::path& path)
{
    throw std::system_error(errno, std::generic_category(), what + " " + path.string());
}

}  // namespace

ServiceSocketServer::ServiceSocketServer(IVdsProvider* provider, ServiceSocketSettings settings)
    : m_provider(provider), m_settings(std::move(settings))
{
    m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wakeFd < 0)
        throw std::system_error(errno, std::generic_category(), "eventfd");
    try {
        listenOn();
    } catch (...) {
        ::close(m_wakeFd);
        throw;
    }
    m_acceptThread = std::thread([this] { acceptLoop(); });
}

void ServiceSocketServer::listenOn()
{
    const sockaddr_un address = addressOf(m_settings.socketPath);
    if (someoneAnswersOn(address))
        throw std::runtime_error("a service answers on " + m_settings.socketPath.string() + " already");
    std::error_code ignored;
    std::filesystem::remove(m_settings.socketPath, ignored);
    m_listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listenFd < 0)
        failOn("cannot make the socket", m_settings.socketPath);
    // The umask makes the file owner-only from its first moment; a chmod after bind would
    // leave a window in which anyone could connect.
    const mode_t previous = ::umask(0177);
    const int bound = ::bind(m_listenFd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ::umask(previous);
    if (bound != 0 || ::listen(m_listenFd, 16) != 0) {
        const int error = errno;
        ::close(m_listenFd);
        errno = error;
        failOn("cannot listen on", m_settings.socketPath);
    }
}

ServiceSocketServer::~ServiceSocketServer()
{
    const std::uint64_t one = 1;
    const ssize_t written = ::write(m_wakeFd, &one, sizeof one);
    static_cast<void>(written);
    m_acceptThread.join();
    std::vector<std::unique_ptr<ServiceConnection>> connections;
    {
        std::lock_guard lock(m_mutex);
        connections.swap(m_connections);
    }
    for (auto& connection : connections)
        connection->stop();
    connections.clear();
    ::close(m_listenFd);
    ::close(m_wakeFd);
    std::error_code ignored;
    std::filesystem::remove(m_settings.socketPath, ignored);
}

void ServiceSocketServer::acceptLoop()
{
    pollfd fds[2] = {{m_listenFd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    for (;;) {
        const int ready = ::poll(fds, 2, kReapIntervalMs);
        if (ready < 0 && errno != EINTR)
            return;
        if (ready > 0 && fds[1].revents != 0)
            return;
        if (ready > 0 && fds[0].revents != 0) {
            const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0)
                admitOrDrop(fd);
        }
        reapFinished();
    }
}

// A connection that cannot get its resources (a thread, an eventfd) is dropped; the
// service and its other clients go on. The connection's channel owns the descriptor from
// its construction on and closes it as it goes.
void ServiceSocketServer::admitOrDrop(int fd)
{
    try {
        admit(fd);
    } catch (const std::exception&) {
        // Nothing to tell: the client sees its connection closed.
    }
}

void ServiceSocketServer::admit(int fd)
{
    // Only this thread adds connections, so the count cannot grow between check and add.
    if (connectionCount() >= m_settings.maxConnections) {
        SocketChannel refused(fd, 0);
        refused.send(protocol::frameOf(protocol::Refusal{"The service serves too many front ends; try again later."}));
        return;
    }
    auto connection = std::make_unique<ServiceConnection>(fd, m_provider, m_settings);
    connection->start();
    std::lock_guard lock(m_mutex);
    m_connections.push_back(std::move(connection));
}

void ServiceSocketServer::reapFinished()
{
    std::vector<std::unique_ptr<ServiceConnection>> finished;
    {
        std::lock_guard lock(m_mutex);
        for (auto it = m_connections.begin(); it != m_connections.end();) {
            if ((*it)->finished()) {
                finished.push_back(std::move(*it));
                it = m_connections.erase(it);
            } else {
                ++it;
            }
        }
    }
}

void ServiceSocketServer::notify(const VDS_NOTIFICATION* records, std::size_t count)
{
    const std::uint64_t now = unixMillisecondsNow();
    std::lock_guard lock(m_mutex);
    for (std::size_t i = 0; i < count; ++i) {
        const protocol::Notification notification{now, notificationText(records[i])};
        for (auto& connection : m_connections)
            connection->push(notification);
    }
}

std::size_t ServiceSocketServer::connectionCount()
{
    std::lock_guard lock(m_mutex);
    return m_connections.size();
}

}  // namespace orvraid
