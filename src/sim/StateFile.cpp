#include "sim/StateFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <fcntl.h>
#include <unistd.h>

namespace Merrow::Sim {

namespace {

std::runtime_error fileError(const std::string& what, const std::string& path)
{
    return std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

// Writes all of `text` and flushes it to the disk before the rename makes it visible.
void writeWhole(const std::string& path, const std::string& text)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw fileError("cannot create", path);
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            auto error = fileError("cannot write", path);
            ::close(fd);
            throw error;
        }
        done += static_cast<std::size_t>(n);
    }
    const bool synced = ::fsync(fd) == 0;
    if (::close(fd) != 0 || !synced)
        throw fileError("cannot write", path);
}

} // namespace

StateFile::StateFile(std::string path) : m_path(std::move(path)) {}

std::optional<std::string> StateFile::load() const
{
    std::ifstream in(m_path, std::ios::binary);
    if (!in) {
        if (errno == ENOENT)
            return std::nullopt;
        throw fileError("cannot open", m_path);
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad())
        throw fileError("cannot read", m_path);
    return text.str();
}

void StateFile::save(std::uint64_t version, const std::string& text)
{
    std::lock_guard lock(m_mutex);
    if (version <= m_writtenVersion)
        return;
    const std::string temporary = m_path + ".tmp";
    try {
        writeWhole(temporary, text);
    } catch (...) {
        std::remove(temporary.c_str());
        throw;
    }
    if (std::rename(temporary.c_str(), m_path.c_str()) != 0) {
        auto error = fileError("cannot replace", m_path);
        std::remove(temporary.c_str());
        throw error;
    }
    m_writtenVersion = version;
}

} // namespace Merrow::Sim
