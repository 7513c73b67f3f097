#include "cim/value/CIMException.h"

#include <array>

namespace cim {
namespace {

struct StatusRow {
    const char* name;
    const char* text;
};

// Indexed by status code; row 0 is the success code.
constexpr std::array<StatusRow, 18> kStatusTable{{
    {"CIM_ERR_SUCCESS", "The operation succeeded"},
    {"CIM_ERR_FAILED", "A general error occurred that is not covered by a more specific error code"},
    {"CIM_ERR_ACCESS_DENIED", "Access to a CIM resource is not available to the client"},
    {"CIM_ERR_INVALID_NAMESPACE", "The target namespace does not exist"},
    {"CIM_ERR_INVALID_PARAMETER", "One or more parameter values passed to the method are not valid"},
    {"CIM_ERR_INVALID_CLASS", "The specified class does not exist"},
    {"CIM_ERR_NOT_FOUND", "The requested object cannot be found"},
    {"CIM_ERR_NOT_SUPPORTED", "The requested operation is not supported"},
    {"CIM_ERR_CLASS_HAS_CHILDREN", "The operation cannot be invoked on this class because it has subclasses"},
    {"CIM_ERR_CLASS_HAS_INSTANCES", "The operation cannot be invoked on this class because one or more instances of this class exist"},
    {"CIM_ERR_INVALID_SUPERCLASS", "The operation cannot be invoked because the specified superclass does not exist"},
    {"CIM_ERR_ALREADY_EXISTS", "The operation cannot be invoked because an object already exists"},
    {"CIM_ERR_NO_SUCH_PROPERTY", "The specified property does not exist"},
    {"CIM_ERR_TYPE_MISMATCH", "The value supplied is not compatible with the type"},
    {"CIM_ERR_QUERY_LANGUAGE_NOT_SUPPORTED", "The query language is not recognized or supported"},
    {"CIM_ERR_INVALID_QUERY", "The query is not valid for the specified query language"},
    {"CIM_ERR_METHOD_NOT_AVAILABLE", "The extrinsic method cannot be invoked"},
    {"CIM_ERR_METHOD_NOT_FOUND", "The specified extrinsic method does not exist"},
}};

const StatusRow* findRow(CIMStatusCode code) {
    const int index = static_cast<int>(code);
    if (index < 0 || index >= static_cast<int>(kStatusTable.size())) {
        return nullptr;
    }
    return &kStatusTable[static_cast<size_t>(index)];
}

// Some servers start their description with the code's name already; it is not repeated.
bool namesCode(const std::string& description, const std::string& name) {
    if (description.compare(0, name.size(), name) != 0) {
        return false;
    }
    const char next = description.size() > name.size() ? description[name.size()] : ':';
    return next == ':' || next == ' ';
}

std::string composeMessage(CIMStatusCode code, const std::string& description) {
    const std::string name = CIMException::statusName(code);
    if (description.empty()) {
        return name + ": " + CIMException::statusText(code);
    }
    return namesCode(description, name) ? description : name + ": " + description;
}

} // namespace

CIMException::CIMException(CIMStatusCode code, std::string description)
    : std::runtime_error(composeMessage(code, description)), m_code(code),
      m_description(std::move(description)) {}

CIMException::CIMException(int code, std::string description)
    : CIMException(static_cast<CIMStatusCode>(code), std::move(description)) {}

std::string CIMException::statusName(CIMStatusCode code) {
    if (const StatusRow* row = findRow(code)) {
        return row->name;
    }
    return "CIM_ERR_UNKNOWN_" + std::to_string(static_cast<int>(code));
}

std::string CIMException::statusText(CIMStatusCode code) {
    if (const StatusRow* row = findRow(code)) {
        return row->text;
    }
    return "Unknown CIM status code " + std::to_string(static_cast<int>(code));
}

} // namespace cim
