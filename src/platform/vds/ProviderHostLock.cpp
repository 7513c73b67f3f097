#include "platform/vds/ProviderHostLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace orv::platform {

ProviderHostLock::ProviderHostLock(ProviderHostLock&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1))
{
}

ProviderHostLock::~ProviderHostLock()
{
    // Closing the descriptor releases the flock; the file stays for the next holder, so
    // no process can unlink a file that another one has just locked.
    if (m_fd >= 0)
        ::close(m_fd);
}

std::filesystem::path ProviderHostLock::lockPathFor(const std::filesystem::path& registryPath)
{
    std::filesystem::path path = registryPath;
    path += ".lock";
    return path;
}

std::optional<ProviderHostLock> ProviderHostLock::acquire(const std::filesystem::path& registryPath,
                                                          const std::string& program, std::string& refusal)
{
    const std::filesystem::path path = lockPathFor(registryPath);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        refusal = "the lock file " + path.string() + " cannot be opened: " + std::strerror(errno);
        return std::nullopt;
    }
    ProviderHostLock lock(fd);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        refusal = error == EWOULDBLOCK
                      ? holderOf(fd) + " hosts the provider for " + registryPath.string() + " already"
                      : "the lock file " + path.string() + " cannot be locked: " + std::strerror(error);
        return std::nullopt;
    }
    const std::string holder = program + " (pid " + std::to_string(::getpid()) + ")";
    // A failed write only costs the next refused process the holder's name.
    if (::ftruncate(fd, 0) == 0) {
        const ssize_t written = ::pwrite(fd, holder.data(), holder.size(), 0);
        static_cast<void>(written);
    }
    return lock;
}

// The holder writes its name right after it takes the lock; a reader that comes in
// between sees an empty file.
std::string ProviderHostLock::holderOf(int fd)
{
    char text[256];
    const ssize_t length = ::pread(fd, text, sizeof text - 1, 0);
    if (length <= 0)
        return "another process";
    return std::string(text, static_cast<std::size_t>(length));
}

}  // namespace orv::platform
