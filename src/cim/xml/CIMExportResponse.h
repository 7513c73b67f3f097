// CIMExportResponse: the answer to an export message.
#pragma once

#include <optional>
#include <string>

#include "cim/xml/CIMError.h"
#include "cim/value/CIMName.h"

namespace cim {

/// MESSAGE/SIMPLEEXPRSP/EXPMETHODRESPONSE: success (an empty IRETURNVALUE) or an ERROR.
/// `messageId` echoes the request's MESSAGE ID.
struct CIMExportResponse {
    std::string messageId;
    CIMName methodName = CIMName("ExportIndication");
    std::optional<CIMError> error;

    friend bool operator==(const CIMExportResponse&, const CIMExportResponse&) = default;
};

} // namespace cim
