#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

namespace Merrow::UserAgent {

// Outcome of every public operation of the array client library, returned by value. Codes
// below 100 are successes, 100 and above failures. When the array refused a request, the
// number it answered travels in failureCode and selects the text that getMessage() shows.
class MerrowReturnValue {
public:
    enum Code : std::int32_t {
        UA_S_OK = 0,
        UA_S_FALSE = 1,
        UA_S_ASYNC = 2,
        UA_E_ACCESSDENIED = 101,
        UA_E_NOTSUPPORTED = 102,
        UA_E_NOTIMPL = 103,
        UA_E_FAIL = 104,
        UA_E_ABORT = 105,
        UA_E_INVALIDARG = 106,
        UA_E_DATACONVERSTIONERROR = 107,
        UA_E_OUTOFMEMORY = 108,
        UA_E_UNEXPECTED = 109,
        UA_E_NOTCONNECTED = 110,
        UA_E_SERVICE_INVALID = 111,
        UA_E_REQUEST_FAILED = 112,
        UA_E_SERVICE_REMOVED = 113,
        // 1000 plus the DMTF CIM status code of the same name.
        UA_E_CIM_ERR_FAILED = 1001,
        UA_E_CIM_ERR_ACCESS_DENIED = 1002,
        UA_E_CIM_ERR_INVALID_NAMESPACE = 1003,
        UA_E_CIM_ERR_INVALID_PARAMETER = 1004,
        UA_E_CIM_ERR_INVALID_CLASS = 1005,
        UA_E_CIM_ERR_NOT_FOUND = 1006,
        UA_E_CIM_ERR_NOT_SUPPORTED = 1007,
        UA_E_CIM_ERR_CLASS_HAS_CHILDREN = 1008,
        UA_E_CIM_ERR_CLASS_HAS_INSTANCES = 1009,
        UA_E_CIM_ERR_INVALID_SUPERCLASS = 1010,
        UA_E_CIM_ERR_ALREADY_EXISTS = 1011,
        UA_E_CIM_ERR_NO_SUCH_PROPERTY = 1012,
        UA_E_CIM_ERR_TYPE_MISMATCH = 1013,
        UA_E_CIM_ERR_QUERY_LANGUAGE_NOT_SUPPORTED = 1014,
        UA_E_CIM_ERR_INVALID_QUERY = 1015,
        UA_E_CIM_ERR_METHOD_NOT_AVAILABLE = 1016,
        UA_E_CIM_ERR_METHOD_NOT_FOUND = 1017,
    };

    static constexpr std::int32_t kFirstFailureCode = 100;
    static constexpr std::int32_t kNoFailureCode = -1;

    // UA_S_OK with a fresh serial and no failure code.
    MerrowReturnValue();
    // Implicit on purpose: operations write `return MerrowReturnValue::UA_E_FAIL;`.
    MerrowReturnValue(Code code);
    // An empty message means that getMessage() shows the standard text.
    MerrowReturnValue(Code code, std::string message);

    // A request the array refused: UA_E_REQUEST_FAILED carrying the number the array's method
    // answered.
    static MerrowReturnValue fromArrayResult(std::int32_t arrayResult);

    // Copies keep the serial of the original: it identifies the outcome, not the object.
    MerrowReturnValue(const MerrowReturnValue&) = default;
    MerrowReturnValue& operator=(const MerrowReturnValue&) = default;

    bool isFailure() const { return m_code >= kFirstFailureCode; }
    Code getCode() const { return m_code; }
    std::int32_t getSerial() const { return m_serial; }
    std::int32_t getFailureCode() const { return m_failureCode; }
    // For outcomes that keep their own code but report what the array answered, e.g. a
    // refusal that counts as UA_S_FALSE.
    void setFailureCode(std::int32_t failureCode) { m_failureCode = failureCode; }

    // The caller's message if there is one, else the array's failure text if the array
    // answered a positive failure code, else the standard text of the code.
    std::string getMessage() const;
    std::string getCodeName() const;

    // Texts shared with callers that only hold a number.
    static std::string codeName(std::int32_t code);
    static std::string standardText(std::int32_t code, std::int32_t failureCode);
    static std::string arrayFailureText(std::int32_t failureCode);

private:
    Code m_code;
    std::int32_t m_serial;
    std::int32_t m_failureCode;
    std::string m_message;
};

// Trace records show a return value as its code name, e.g. "UA_E_FAIL".
std::ostream& operator<<(std::ostream& out, const MerrowReturnValue& value);

} // namespace Merrow::UserAgent
