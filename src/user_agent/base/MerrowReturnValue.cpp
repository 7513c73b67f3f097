#include "user_agent/base/MerrowReturnValue.h"

#include "user_agent/base/SerialCounter.h"

#include <array>
#include <iterator>
#include <ostream>
#include <string_view>
#include <utility>

namespace Merrow::UserAgent {

namespace {

struct CodeRow {
    std::int32_t code;
    std::string_view name;
    std::string_view text;
};

using R = MerrowReturnValue;

// The request-failed text is a printf format: it shows the array's failure code.
constexpr std::array kCodeRows{
    CodeRow{R::UA_S_OK, "UA_S_OK", "The action was successful"},
    CodeRow{R::UA_S_FALSE, "UA_S_FALSE",
            "The action was successful but indicated a false, possibly no-operation, condition"},
    CodeRow{R::UA_S_ASYNC, "UA_S_ASYNC",
            "The action requested is in-progress and will complete asynchronously"},
    CodeRow{R::UA_E_ACCESSDENIED, "UA_E_ACCESSDENIED", "The action requested was denied"},
    CodeRow{R::UA_E_NOTSUPPORTED, "UA_E_NOTSUPPORTED", "The action requested is not supported"},
    CodeRow{R::UA_E_NOTIMPL, "UA_E_NOTIMPL", "The action requested is not yet implemented"},
    CodeRow{R::UA_E_FAIL, "UA_E_FAIL", "The action requested failed"},
    CodeRow{R::UA_E_ABORT, "UA_E_ABORT", "The action requested aborted prematurely"},
    CodeRow{R::UA_E_INVALIDARG, "UA_E_INVALIDARG",
            "The action requested received an invalid argument"},
    CodeRow{R::UA_E_DATACONVERSTIONERROR, "UA_E_DATACONVERSTIONERROR",
            "The Data contained errors and could not be converted"},
    CodeRow{R::UA_E_OUTOFMEMORY, "UA_E_OUTOFMEMORY",
            "The action requested could not acquire needed memory"},
    CodeRow{R::UA_E_UNEXPECTED, "UA_E_UNEXPECTED",
            "The action requested experienced an unexpected error condition"},
    CodeRow{R::UA_E_NOTCONNECTED, "UA_E_NOTCONNECTED",
            "The action requested failed due to having no valid connection"},
    CodeRow{R::UA_E_SERVICE_INVALID, "UA_E_SERVICE_INVALID",
            "The Service has not been initialized successfully"},
    CodeRow{R::UA_E_REQUEST_FAILED, "UA_E_REQUEST_FAILED",
            "The action requested failed due to request-specific issues (see FailureCode:%ld)"},
    CodeRow{R::UA_E_SERVICE_REMOVED, "UA_E_SERVICE_REMOVED",
            "The Service has been removed (root object(s) deleted)"},
    CodeRow{R::UA_E_CIM_ERR_FAILED, "UA_E_CIM_ERR_FAILED",
            "A general error occurred that is not covered by a more specific error code."},
    CodeRow{R::UA_E_CIM_ERR_ACCESS_DENIED, "UA_E_CIM_ERR_ACCESS_DENIED",
            "Access to a CIM resource was not available to the client"},
    CodeRow{R::UA_E_CIM_ERR_INVALID_NAMESPACE, "UA_E_CIM_ERR_INVALID_NAMESPACE",
            "The target namespace does not exist"},
    CodeRow{R::UA_E_CIM_ERR_INVALID_PARAMETER, "UA_E_CIM_ERR_INVALID_PARAMETER",
            "One or more parameter values passed to the method were invalid"},
    CodeRow{R::UA_E_CIM_ERR_INVALID_CLASS, "UA_E_CIM_ERR_INVALID_CLASS",
            "The specified class does not exist"},
    CodeRow{R::UA_E_CIM_ERR_NOT_FOUND, "UA_E_CIM_ERR_NOT_FOUND",
            "The requested object could not be found"},
    CodeRow{R::UA_E_CIM_ERR_NOT_SUPPORTED, "UA_E_CIM_ERR_NOT_SUPPORTED",
            "The requested operation is not supported"},
    CodeRow{R::UA_E_CIM_ERR_CLASS_HAS_CHILDREN, "UA_E_CIM_ERR_CLASS_HAS_CHILDREN",
            "Operation cannot be carried out on this class since it has subclasses"},
    CodeRow{R::UA_E_CIM_ERR_CLASS_HAS_INSTANCES, "UA_E_CIM_ERR_CLASS_HAS_INSTANCES",
            "Operation cannot be carried out on this class since it has instances"},
    CodeRow{R::UA_E_CIM_ERR_INVALID_SUPERCLASS, "UA_E_CIM_ERR_INVALID_SUPERCLASS",
            "Operation cannot be carried out since the specified superClass does not exist"},
    CodeRow{R::UA_E_CIM_ERR_ALREADY_EXISTS, "UA_E_CIM_ERR_ALREADY_EXISTS",
            "Operation cannot be carried out because an object already exists"},
    CodeRow{R::UA_E_CIM_ERR_NO_SUCH_PROPERTY, "UA_E_CIM_ERR_NO_SUCH_PROPERTY",
            "The specified property does not exist"},
    CodeRow{R::UA_E_CIM_ERR_TYPE_MISMATCH, "UA_E_CIM_ERR_TYPE_MISMATCH",
            "The value supplied is incompatible with the type"},
    CodeRow{R::UA_E_CIM_ERR_QUERY_LANGUAGE_NOT_SUPPORTED,
            "UA_E_CIM_ERR_QUERY_LANGUAGE_NOT_SUPPORTED",
            "The query language is not recognized or supported"},
    CodeRow{R::UA_E_CIM_ERR_INVALID_QUERY, "UA_E_CIM_ERR_INVALID_QUERY",
            "The query is not valid for the specified query language"},
    CodeRow{R::UA_E_CIM_ERR_METHOD_NOT_AVAILABLE, "UA_E_CIM_ERR_METHOD_NOT_AVAILABLE",
            "The extrinsic method could not be executed"},
    CodeRow{R::UA_E_CIM_ERR_METHOD_NOT_FOUND, "UA_E_CIM_ERR_METHOD_NOT_FOUND",
            "The specified extrinsic method does not exist"},
};

constexpr std::string_view kUnknownCodeName = "UNKNOWN_MerrowReturnValue";
constexpr std::string_view kUnknownCodeText = "The action requested failed for UNKNOWN reasons";

struct FailureRow {
    std::int32_t code;
    std::string_view text;
};

constexpr std::int32_t kEndOfList = 65535;

// The array's own failure codes, in the order the array firmware lists them. The order is not
// numeric and must stay as it is: lookup takes the first matching row.
constexpr FailureRow kFailureRows[] = {
    {1, "OK"},
    {2, "Volume Reconfigure operation is OK, expose new Volume size"},
    {3, "Volume Reconfigure operation is OK, expose old Volume size"},
    {4, "Corvane Reboot is now Required"},
    {10, "Service is busy, try again later"},
    {11, "Object not found"},
    {12, "Object not allocated"},
    {13, "Object already allocated"},
    {14, "Invalid Class ID"},
    {15, "Invalid Object number"},
    {16, "Invalid Object handle"},
    {17, "Unsupported Scoping Class ID"},
    {18, "Invalid Primary Class ID"},
    {19, "Invalid Secondary Class ID"},
    {20, "Invalid Network Entity number"},
    {21, "Invalid Controller number"},
    {22, "Bad Message format"},
    {23, "Invalid Request"},
    {24, "Invalid Parameter"},
    {25, "Request failed"},
    {26, "Request was aborted"},
    {27, "Request timed out"},
    {28, "Invalid Pool number"},
    {29, "Insufficient Resources"},
    {30, "Not enough space available"},
    {31, "Not enough Drives available"},
    {32, "Device space is allocated"},
    {33, "Volume is busy, try again later"},
    {34, "MMCH read from CMAP socket failed"},
    {35, "MMSG write to CMAP socket failed"},
    {36, "MMSG I/O over CMAP socket handled insufficient data"},
    {37, "Payload read from CMAP socket failed"},
    {38, "MMSG Payload length is too short"},
    {39, "MMSG Payload length is too long"},
    {40, "Timezone length error"},
    {5, "NTP Server not available"},
    {6, "Spare Count reserve for Drives is below minimum"},
    {41, "Only 1 Down Drive can be performed at any time"},
    {42, "Cannot Delete a Volume that is currently being Reconfigured"},
    {43, "Cannot start this Volume operation while another Volume operation is in process"},
    {44, "Volume Space Already Allocated On This Device"},
    {45, "Requested Volume size is too small"},
    {46, "Requested device is offline"},
    {47, "Requested device has SMART disabled"},
    {48, "Operation can not be performed while battery in not charged and operational"},
    {999, "Unknown Error"},
    {100, "An Initiator with that name already exists"},
    {101, "No Initiator name was specified"},
    {102, "Logical Unit Number already exists"},
    {103, "Target Node does not exist"},
    {104, "Initiator does not exist"},
    {105, "Invalid Maximum Data Segment length"},
    {106, "Invalid Primary Header Digest method"},
    {107, "Invalid Secondary Header Digest method"},
    {108, "Invalid Primary Data Digest method"},
    {109, "Invalid Secondary Data Digest method"},
    {110, "Invalid Logical Unit Access permissions"},
    {111, "Invalid Maximum Burst length"},
    {112, "Invalid First Burst length"},
    {113, "Invalid Default Time to Wait"},
    {114, "Invalid Default Time to Retain"},
    {115, "Invalid Maximum Outstanding R2T"},
    {116, "Invalid Maximum Connections"},
    {117, "Invalid Error Recovery Level"},
    {118, "Invalid Initial R2T"},
    {119, "Invalid Immediate Data"},
    {120, "Invalid Data PDU in Order"},
    {121, "Invalid Data Sequence in Order"},
    {122, "LUN is in use"},
    {123, "Portal is not associated with Target Node"},
    {124, "Initiator is already associated with Target Node"},
    {125, "Portal does not exist"},
    {126, "Illegal Portal/Target combination"},
    {127, "Portal is already associated with Target Node"},
    {128, "Initiator is not associated with Target Node"},
    {129, "Invalid Logical Unit Number"},
    {130, "Volume does not exist"},
    {131, "Illegal Intiator name"},
    {132, "Target Node is in use"},
    {133, "Logical Unit does not exist"},
    {134, "Invalid Primary Authentication method"},
    {135, "Invalid Secondary Authentication method"},
    {136, "Invalid iSNS Enabled"},
    {137, "First Burst length exceeds maximum Burst length"},
    {138, "Initiator logged into controller"},
    {200, "Invalid IP PMTU"},
    {201, "Invalid IP TTL"},
    {202, "Invalid IP ULP Counter Reset"},
    {203, "Invalid TCP Maximum Segment size"},
    {204, "Invalid TCP Window Scale"},
    {205, "Invalid TCP Timestamp"},
    {206, "Invalid TCP Counter Reset"},
    {207, "Invalid Physical Speed for LAG"},
    {208, "Invalid Ethernet Encapsulation for LAG"},
    {209, "Invalid Admin State for LAG"},
    {210, "Invalid Auto Negotiation for LAG"},
    {211, "Invalid MTU for LAG"},
    {212, "Invalid Statistics Reset for LAG"},
    {213, "Error creating LAG Port"},
    {214, "Invalid LAG Port number"},
    {215, "Invalid Physical Administrative State"},
    {216, "Invalid IP Address"},
    {217, "Invalid Subnet Mask"},
    {218, "Invalid VLAN ID"},
    {219, "Error in the IP Entity Subnet match"},
    {220, "IP Entity creation error"},
    {221, "Duplicate VLAN ID to Subnet map error"},
    {222, "IP Entity assigned to LAG Port error"},
    {223, "Physical Port does not exist"},
    {224, "LAG Port does not exist"},
    {225, "IP Entity does not exist"},
    {226, "LAG Port already exists"},
    {227, "IP Entity already exists"},
    {228, "VLAN ID already exists"},
    {229, "LAG Port Physical association already exists"},
    {230, "LAG Port IP association already exists"},
    {231, "Physical Port already associated with LAG Port"},
    {232, "IP Entity already associated with LAG Port"},
    {233, "Physical Port not associated with LAG Port"},
    {234, "IP Entity not associated with LAG Port"},
    {235, "Illegal IP Entity LAG Port combination"},
    {236, "Illegal Physical Port LAG Port combination"},
    {237, "Invalid MAC Address"},
    {238, "MAC Address already exists"},
    {239, "MAC Address does not exist"},
    {240, "Maximum MAC Address reached"},
    {241, "IP Routes creation error"},
    {242, "IP Routes does not exist"},
    {243, "IP Routes LINUX failure"},
    {244, "General Fabrimon failure"},
    {245, "Fabrimon failure to add LAG Physical Port map"},
    {246, "Fabrimon failure to delete LAG Physical Port map"},
    {247, "Fabrimon failure to add IP Address to LAG"},
    {248, "Fabrimon failure to delete IP Address from LAG"},
    {249, "Fabrimon fialure to add VLAN ID to LAG"},
    {250, "Fabrimon fialure to delete VLAN ID to LAG"},
    {251, "Fabrimon failure to set the Administrative state for LAG"},
    {252, "Fabrimon failure to set the LAG Speed"},
    {253, "Fabrimon failure to set the Ethernet encapsulation for LAG"},
    {254, "Fabrimon failure to set the VLAN state for LAG"},
    {255, "Fabrimon failure to set the Auto Negotiation state for LAG"},
    {256, "Fabrimon failure to reset the statistics counters for LAG"},
    {257, "Fabrimon failure to set the MTU for LAG"},
    {258, "Fabrimon failure to set the MAC Address for LAG"},
    {259, "Fabrimon failure to set the Administrative Physcial port for LAG"},
    {260, "Fabrimon failure to set the PMTU state for LAG"},
    {261, "Fabrimon failure to set the TTL state for LAG"},
    {262, "Fabrimon failure to reset the statistics counters for LAG"},
    {263, "TCP failure"},
    {264, "TCP IP Address in use"},
    {265, "Default Route Configuration value is not allowed"},
    {266, "VLAN State change is not allowed"},
    {267, "Ethernet Encapsulation change is not allowed"},
    {268, "Invalid VLAN states between Network Portal and the LAG"},
    {269, "Invalid Default Gateway IP Address"},
    {270, "There are too many volumes in the sytem to create a new one"},
    {271, "Chunk size is not an allowed value"},
    {272, "Volume organization is not known"},
    {273, "Volume name was not specified"},
    {274, "Another volume already uses that volume name"},
    {275, "Specified volume could not be found"},
    {276, "Requested operation can not be performed on a shadow volume"},
    {277, "Passive controller can not perform requested operation"},
    {278, "Operation failed because needed space could not be allocated"},
    {279, "No more tasks can be performed at this time (they are all active)"},
    {280, "Operation failed due to a device failure"},
    {281, "The requested task schedule is not valid"},
    {282, "The requested stripe count is invalid for the specified volume organization"},
    {283, "The requested mirror count is invalid for the specified volume organization"},
    {284, "The device specfied does not reference a valid device"},
    {285, "The requested operation can not be peformed on a device that is being used"},
    {998, "Internal Error"},
    {kEndOfList, "EndOfList"},
};

static_assert(std::size(kFailureRows) == 173, "172 failure codes and the end-of-list row");

constexpr std::string_view kUnknownFailureText =
    "Error with unknown failure code from Corvane : %d";

// Only the low 15 bits of a failure code select a row; the bits above are not part of it.
constexpr std::int32_t kFailureCodeMask = 0x7FFF;

const CodeRow* findCodeRow(std::int32_t code) {
    for (const CodeRow& row : kCodeRows) {
        if (row.code == code)
            return &row;
    }
    return nullptr;
}

SerialCounter<std::int32_t>& serialCounter() {
    static SerialCounter<std::int32_t> counter;
    return counter;
}

// Puts a number in place of the printf-style placeholder that a table text carries.
std::string withNumber(std::string_view text, std::string_view placeholder, long number) {
    std::string result(text);
    const auto at = result.find(placeholder);
    if (at != std::string::npos)
        result.replace(at, placeholder.size(), std::to_string(number));
    return result;
}

} // namespace

MerrowReturnValue::MerrowReturnValue() : MerrowReturnValue(UA_S_OK) {}

MerrowReturnValue::MerrowReturnValue(Code code) : MerrowReturnValue(code, std::string()) {}

MerrowReturnValue::MerrowReturnValue(Code code, std::string message)
    : m_code(code), m_serial(serialCounter().next()), m_failureCode(kNoFailureCode),
      m_message(std::move(message)) {}

MerrowReturnValue MerrowReturnValue::fromArrayResult(std::int32_t arrayResult) {
    MerrowReturnValue value(UA_E_REQUEST_FAILED);
    value.m_failureCode = arrayResult;
    return value;
}

std::string MerrowReturnValue::getMessage() const {
    if (!m_message.empty())
        return m_message;
    if (m_failureCode > 0)
        return arrayFailureText(m_failureCode);
    return standardText(m_code, m_failureCode);
}

std::string MerrowReturnValue::getCodeName() const {
    return codeName(m_code);
}

std::string MerrowReturnValue::codeName(std::int32_t code) {
    const CodeRow* row = findCodeRow(code);
    return std::string(row ? row->name : kUnknownCodeName);
}

std::string MerrowReturnValue::standardText(std::int32_t code, std::int32_t failureCode) {
    const CodeRow* row = findCodeRow(code);
    if (!row)
        return std::string(kUnknownCodeText);
    if (code == UA_E_REQUEST_FAILED)
        return withNumber(row->text, "%ld", failureCode);
    return std::string(row->text);
}

std::string MerrowReturnValue::arrayFailureText(std::int32_t failureCode) {
    const std::int32_t key = failureCode & kFailureCodeMask;
    for (const FailureRow& row : kFailureRows) {
        if (row.code == kEndOfList)
            break;
        if (row.code == key)
            return std::string(row.text);
    }
    return withNumber(kUnknownFailureText, "%d", failureCode);
}

std::ostream& operator<<(std::ostream& out, const MerrowReturnValue& value) {
    return out << value.getCodeName();
}

} // namespace Merrow::UserAgent
