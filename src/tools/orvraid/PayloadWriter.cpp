#include "PayloadWriter.h"

namespace orvraid {

PayloadWriter& PayloadWriter::integer(std::uint64_t value, int bytes)
{
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
        m_bytes += static_cast<char>((value >> shift) & 0xFF);
    return *this;
}

PayloadWriter& PayloadWriter::text(std::string_view value)
{
    integer(value.size(), 4);
    m_bytes.append(value);
    return *this;
}

}  // namespace orvraid
