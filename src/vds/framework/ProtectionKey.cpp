#include "vds/framework/ProtectionKey.h"

#include "platform/registry/Registry.h"
#include "platform/service/EventLog.h"
#include "trace/Trace.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <system_error>
#include <utility>

namespace {

// Reads or writes all of `count` bytes; false on any failure or a short file.
bool transferAll(int fd, std::uint8_t* data, std::size_t count, bool writing)
{
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = writing ? ::write(fd, data + done, count - done)
                                  : ::read(fd, data + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

std::mutex g_cacheMutex; // guards g_cached
std::optional<std::pair<std::filesystem::path, ProtectionKey::Key>> g_cached;

std::filesystem::path registryFile()
{
    std::shared_ptr<orv::platform::Registry> registry = orv::platform::Registry::processRegistry();
    return registry ? registry->path() : orv::platform::Registry::defaultPath();
}

void reportError(const std::string& text)
{
    MWTRACE(Merrow::Trace::TV_ERROR, Merrow::Trace::TC_VDS_PROVIDER) << text << MWENDREC;
    orv::platform::EventLog::report(EVENTLOG_ERROR_TYPE, text);
}

} // namespace

std::filesystem::path ProtectionKey::path()
{
    const char* configured = std::getenv("ORVDS_PROTECTION_KEY");
    if (configured != nullptr && *configured != '\0')
        return configured;
    return registryFile().parent_path() / kFileName;
}

bool ProtectionKey::randomBytes(std::uint8_t* out, std::size_t count)
{
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::getrandom(out + done, count - done, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::optional<ProtectionKey::Key> ProtectionKey::readKey(const std::filesystem::path& file,
                                                         int& error)
{
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    error = fd.get() < 0 ? errno : 0;
    if (fd.get() < 0)
        return std::nullopt;
    Key key;
    std::uint8_t extra;
    errno = EINVAL; // a short file leaves errno alone
    if (!transferAll(fd.get(), key.data(), key.size(), false)) {
        error = errno;
        return std::nullopt;
    }
    // A longer file is not a key of ours.
    const ssize_t more = ::read(fd.get(), &extra, 1);
    if (more != 0) {
        error = more < 0 ? errno : EINVAL;
        return std::nullopt;
    }
    return key;
}

void ProtectionKey::reportUnreadable(const std::filesystem::path& file, int error)
{
    const std::string problem = error == EINVAL ? "it does not hold a key" : std::strerror(error);
    reportError("The password protection key " + file.string() + " cannot be read (" + problem +
                "): the passwords stored in the registry " + registryFile().string() +
                " cannot be read or stored without it.");
}

void ProtectionKey::reportMissing(const std::filesystem::path& file, bool replaced)
{
    reportError("The password protection key " + file.string() +
                " is missing: the passwords stored in the registry " + registryFile().string() +
                " cannot be read without it" +
                (replaced ? " (a new key was made for passwords stored from now on)" : "") +
                ". The key belongs with the registry; copy or restore the two together.");
}

// Writes a new key to a private temporary file and links it into place, so that a reader
// never sees half a key and of two processes creating it at once one wins.
std::optional<ProtectionKey::Key> ProtectionKey::createKey(const std::filesystem::path& file)
{
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    Key key;
    if (!randomBytes(key.data(), key.size()))
        return std::nullopt;
    std::string temporary = file.string() + ".XXXXXX";
    FileDescriptor fd(::mkstemp(temporary.data())); // mode 0600
    if (fd.get() < 0)
        return std::nullopt;
    const bool written = transferAll(fd.get(), key.data(), key.size(), true) && ::fsync(fd.get()) == 0;
    const bool linked = written && ::link(temporary.c_str(), file.c_str()) == 0;
    const int linkError = errno;
    ::unlink(temporary.c_str());
    if (linked)
        return key;
    if (written && linkError == EEXIST) {
        int error = 0;
        return readKey(file, error);
    }
    return std::nullopt;
}

std::optional<ProtectionKey::Key> ProtectionKey::machineKey(Use use)
{
    const std::filesystem::path file = path();
    std::lock_guard lock(g_cacheMutex);
    if (g_cached && g_cached->first == file)
        return g_cached->second;
    int error = 0;
    std::optional<Key> key = readKey(file, error);
    if (!key && error != ENOENT)
        reportUnreadable(file, error);
    if (!key && error == ENOENT) {
        key = createKey(file);
        if (use == Use::Unprotect)
            reportMissing(file, key.has_value());
    }
    if (key)
        g_cached.emplace(file, *key);
    return key;
}
