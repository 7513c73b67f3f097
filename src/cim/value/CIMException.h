// CIMException: a CIM operation failed with one of the DSP0200 status codes.
#pragma once

#include <stdexcept>
#include <string>

namespace cim {

/// CIM status codes (DSP0200). Codes 1..17 are the classic set; a peer may send a later or
/// unknown code, which the enum can hold too (its underlying type is int).
enum class CIMStatusCode : int {
    Success = 0,
    Failed = 1,
    AccessDenied = 2,
    InvalidNamespace = 3,
    InvalidParameter = 4,
    InvalidClass = 5,
    NotFound = 6,
    NotSupported = 7,
    ClassHasChildren = 8,
    ClassHasInstances = 9,
    InvalidSuperclass = 10,
    AlreadyExists = 11,
    NoSuchProperty = 12,
    TypeMismatch = 13,
    QueryLanguageNotSupported = 14,
    InvalidQuery = 15,
    MethodNotAvailable = 16,
    MethodNotFound = 17,
};

/// Thrown when a CIM server answers a request with an ERROR element (or a listener or the
/// simulated array must report one). Carries the status code and the server's description.
///
/// what() reads "CIM_ERR_NOT_FOUND: <description>"; without a description the standard
/// text of the code stands in its place.
class CIMException : public std::runtime_error {
public:
    CIMException(CIMStatusCode code, std::string description = {});
    CIMException(int code, std::string description = {});

    CIMStatusCode getCode() const noexcept { return m_code; }
    int getCodeNumber() const noexcept { return static_cast<int>(m_code); }
    /// The description sent by the peer; may be empty.
    const std::string& getDescription() const noexcept { return m_description; }

    /// "CIM_ERR_FAILED" ... "CIM_ERR_METHOD_NOT_FOUND"; "CIM_ERR_UNKNOWN_<n>" for others.
    static std::string statusName(CIMStatusCode code);
    /// The standard English text of a status code; a generic text for unknown codes.
    static std::string statusText(CIMStatusCode code);

private:
    CIMStatusCode m_code;
    std::string m_description;
};

} // namespace cim
