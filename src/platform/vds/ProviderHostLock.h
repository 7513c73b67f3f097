// The lock that lets one process at a time host the provider for one registry: the
// service when it runs, otherwise one front end. It is an flock on a file beside the
// registry ("<registry>.lock"), so it goes with the process that holds it however that
// process ends; the holder writes its pid and program name into the file so that a
// refused process can name it.
//
// Threads: a lock object is used by the thread that made it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace orv::platform {

class ProviderHostLock {
public:
    ProviderHostLock(ProviderHostLock&& other) noexcept;
    ProviderHostLock& operator=(ProviderHostLock&&) = delete;
    ProviderHostLock(const ProviderHostLock&) = delete;
    ProviderHostLock& operator=(const ProviderHostLock&) = delete;
    ~ProviderHostLock();

    // Takes the lock beside `registryPath` for `program`. Without it, nullopt and in
    // `refusal` a sentence naming the holder ("orvvds (pid 1234) hosts the provider for
    // /var/lib/orvds/registry.db already") or the file's problem.
    static std::optional<ProviderHostLock> acquire(const std::filesystem::path& registryPath,
                                                   const std::string& program, std::string& refusal);

    static std::filesystem::path lockPathFor(const std::filesystem::path& registryPath);

private:
    explicit ProviderHostLock(int fd) : m_fd(fd) {}

    static std::string holderOf(int fd);

    int m_fd = -1;
};

}  // namespace orv::platform
