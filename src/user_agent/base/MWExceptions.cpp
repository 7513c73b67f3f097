#include "user_agent/base/MWExceptions.h"

#include <utility>

namespace Merrow::UserAgent {

MWExceptionAbstractClass::MWExceptionAbstractClass(std::string message, std::string file,
                                                   std::int32_t line, std::string function)
    : m_message(std::move(message)), m_file(std::move(file)), m_line(line),
      m_function(std::move(function)) {}

MWExceptionAbstractClass::MWExceptionAbstractClass(const char* message, std::string file,
                                                   std::int32_t line, std::string function)
    : MWExceptionAbstractClass(std::string(message ? message : ""), std::move(file), line,
                               std::move(function)) {}

MWExceptionAbstractClass::~MWExceptionAbstractClass() = default;

const char* MWExceptionAbstractClass::what() const noexcept {
    return m_message.c_str();
}

std::string MWException::className() const {
    return "MWException";
}

std::string MWEApplicationException::className() const {
    return "MWEApplicationException";
}

std::string MWEDataConversionError::className() const {
    return "MWEDataConversionError";
}

std::string MWEPegasusException::className() const {
    return "MWEPegasusException";
}

std::string MWEPegasusClientRequest::className() const {
    return "MWEPegasusClientRequest";
}

std::string MWERuntimeError::className() const {
    return "MWERuntimeError";
}

std::string MWEBadPointer::className() const {
    return "MWEBadPointer";
}

std::string MWEAssertionFailure::className() const {
    return "MWEAssertionFailure";
}

std::string MWEPegasusRuntimeError::className() const {
    return "MWEPegasusRuntimeError";
}

ReturnCodeException::ReturnCodeException(const MerrowReturnValue& value, std::string file,
                                         std::int32_t line, std::string function)
    : ReturnCodeException(value, value.getMessage(), std::move(file), line, std::move(function)) {}

ReturnCodeException::ReturnCodeException(const MerrowReturnValue& value, std::string message,
                                         std::string file, std::int32_t line, std::string function)
    : MWException(std::move(message), std::move(file), line, std::move(function)),
      m_returnValue(value) {}

ReturnCodeException::ReturnCodeException(const MerrowReturnValue& value, const char* message,
                                         std::string file, std::int32_t line, std::string function)
    : MWException(message, std::move(file), line, std::move(function)), m_returnValue(value) {}

std::string ReturnCodeException::className() const {
    return "ReturnCodeException";
}

} // namespace Merrow::UserAgent
