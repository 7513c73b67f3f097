// Reads a payload written by PayloadWriter. A read past the end, or a text whose length
// runs past it, fails the reader; every later read fails too, so a message is decoded
// with a chain of reads and one check at the end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvraid {

class PayloadReader {
public:
    explicit PayloadReader(std::string_view bytes) : m_bytes(bytes) {}

    std::uint64_t integer(int bytes);
    std::string text();

    // True when every read succeeded and nothing is left over.
    bool complete() const { return m_ok && m_offset == m_bytes.size(); }

private:
    bool take(std::size_t size);

    std::string_view m_bytes;
    std::size_t m_offset = 0;
    bool m_ok = true;
};

}  // namespace orvraid
