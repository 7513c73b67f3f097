#pragma once

#include <cstdint>
#include <string>

namespace Merrow::UserAgent {

// A plain code-and-message record thrown by the indication parser and the firmware version
// parser. It deliberately stays outside the std::exception family, so only catch sites that
// name it (or catch everything) see it.
class UAException {
public:
    UAException(std::int32_t code, std::string message);
    // A null message becomes the empty text.
    UAException(std::int32_t code, const char* message);

    std::int32_t getCode() const { return m_code; }
    const std::string& getMessage() const { return m_message; }

private:
    std::int32_t m_code;
    std::string m_message;
};

} // namespace Merrow::UserAgent
