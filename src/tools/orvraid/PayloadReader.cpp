#include "PayloadReader.h"

namespace orvraid {

bool PayloadReader::take(std::size_t size)
{
    if (!m_ok || m_bytes.size() - m_offset < size) {
        m_ok = false;
        return false;
    }
    m_offset += size;
    return true;
}

std::uint64_t PayloadReader::integer(int bytes)
{
    const std::size_t start = m_offset;
    if (!take(static_cast<std::size_t>(bytes)))
        return 0;
    std::uint64_t value = 0;
    for (std::size_t i = start; i < m_offset; ++i)
        value = (value << 8) | static_cast<unsigned char>(m_bytes[i]);
    return value;
}

std::string PayloadReader::text()
{
    const std::uint64_t length = integer(4);
    const std::size_t start = m_offset;
    if (!take(static_cast<std::size_t>(length)))
        return "";
    return std::string(m_bytes.substr(start, static_cast<std::size_t>(length)));
}

}  // namespace orvraid
