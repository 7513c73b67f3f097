#pragma once

// The simulator's state file: written whole after every change (to a temporary file beside
// it, then renamed over it, so a crash leaves either the old or the new state and never a
// torn one) and read once at start-up.

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace Merrow::Sim {

class StateFile {
public:
    explicit StateFile(std::string path);

    const std::string& path() const { return m_path; }

    // The file's content, or nullopt when it does not exist. Throws std::runtime_error when
    // it exists but cannot be read.
    std::optional<std::string> load() const;

    // Writes `text` unless a newer version was already written: writers may finish in any
    // order, and the file must end up with the latest state. Throws std::runtime_error
    // when the file cannot be written; the previous content then stays in place.
    // Threads: any; writes are serialised on m_mutex.
    void save(std::uint64_t version, const std::string& text);

private:
    const std::string m_path;
    // Guards m_writtenVersion and the temporary file.
    std::mutex m_mutex;
    std::uint64_t m_writtenVersion = 0;
};

} // namespace Merrow::Sim
