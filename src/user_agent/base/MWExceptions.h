#pragma once

#include "user_agent/base/MerrowReturnValue.h"

#include <cstdint>
#include <exception>
#include <string>

namespace Merrow::UserAgent {

// Root of the exceptions thrown inside the array client library. They never leave a public
// operation: the operation catches them and answers a MerrowReturnValue. The thrower supplies
// where it was (source file, line, fully qualified function name) so the catcher can trace it.
class MWExceptionAbstractClass : public std::exception {
public:
    MWExceptionAbstractClass(std::string message, std::string file, std::int32_t line,
                             std::string function);
    // A null message becomes the empty text.
    MWExceptionAbstractClass(const char* message, std::string file, std::int32_t line,
                             std::string function);
    ~MWExceptionAbstractClass() override;

    // The message, so that catch sites written for std::exception show something useful.
    const char* what() const noexcept override;
    virtual std::string className() const = 0;

    const std::string& getMessage() const { return m_message; }
    const std::string& getFile() const { return m_file; }
    std::int32_t getLine() const { return m_line; }
    const std::string& getFunction() const { return m_function; }

private:
    std::string m_message;
    std::string m_file;
    std::int32_t m_line;
    std::string m_function;
};

// Also thrown directly for malformed indications.
class MWException : public MWExceptionAbstractClass {
public:
    using MWExceptionAbstractClass::MWExceptionAbstractClass;
    std::string className() const override;
};

class MWEApplicationException : public MWException {
public:
    using MWException::MWException;
    std::string className() const override;
};

// Text that does not convert to the value type it should describe.
class MWEDataConversionError : public MWEApplicationException {
public:
    using MWEApplicationException::MWEApplicationException;
    std::string className() const override;
};

class MWEPegasusException : public MWEApplicationException {
public:
    using MWEApplicationException::MWEApplicationException;
    std::string className() const override;
};

// A CIM request whose answer has an unexpected shape.
class MWEPegasusClientRequest : public MWEPegasusException {
public:
    using MWEPegasusException::MWEPegasusException;
    std::string className() const override;
};

class MWERuntimeError : public MWException {
public:
    using MWException::MWException;
    std::string className() const override;
};

class MWEBadPointer : public MWERuntimeError {
public:
    using MWERuntimeError::MWERuntimeError;
    std::string className() const override;
};

// A broken internal invariant: a fault of ours, not of the array.
class MWEAssertionFailure : public MWERuntimeError {
public:
    using MWERuntimeError::MWERuntimeError;
    std::string className() const override;
};

// A typed CIM wrapper got a result it cannot represent.
class MWEPegasusRuntimeError : public MWERuntimeError {
public:
    using MWERuntimeError::MWERuntimeError;
    std::string className() const override;
};

// Carries a finished outcome through code that can only throw; the catcher answers the carried
// value unchanged (serial included).
class ReturnCodeException : public MWException {
public:
    // The message is the value's own text.
    ReturnCodeException(const MerrowReturnValue& value, std::string file, std::int32_t line,
                        std::string function);
    ReturnCodeException(const MerrowReturnValue& value, std::string message, std::string file,
                        std::int32_t line, std::string function);
    ReturnCodeException(const MerrowReturnValue& value, const char* message, std::string file,
                        std::int32_t line, std::string function);

    std::string className() const override;
    const MerrowReturnValue& getReturnValue() const { return m_returnValue; }

private:
    MerrowReturnValue m_returnValue;
};

} // namespace Merrow::UserAgent
