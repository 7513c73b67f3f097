// Builds a message payload: big-endian integers and length-prefixed (u32) texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvraid {

class PayloadWriter {
public:
    PayloadWriter& integer(std::uint64_t value, int bytes);
    PayloadWriter& text(std::string_view value);

    const std::string& bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};

}  // namespace orvraid
