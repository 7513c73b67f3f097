#include "user_agent/base/UAException.h"

#include <utility>

namespace Merrow::UserAgent {

UAException::UAException(std::int32_t code, std::string message)
    : m_code(code), m_message(std::move(message)) {}

UAException::UAException(std::int32_t code, const char* message)
    : UAException(code, std::string(message ? message : "")) {}

} // namespace Merrow::UserAgent
