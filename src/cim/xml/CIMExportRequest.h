// CIMExportRequest: an export message, in practice the delivery of one indication.
#pragma once

#include <string>
#include <vector>

#include "cim/value/CIMInstance.h"
#include "cim/value/CIMName.h"
#include "cim/value/CIMParamValue.h"

namespace cim {

/// MESSAGE/SIMPLEEXPREQ/EXPMETHODCALL. Indications come as method "ExportIndication"
/// with one EXPPARAMVALUE "NewIndication" holding the indication INSTANCE, which decodes
/// to a parameter of type Instance. A decoded request may name another method; the
/// listener answers that with an error.
struct CIMExportRequest {
    std::string messageId;
    CIMName methodName = CIMName("ExportIndication");
    std::vector<CIMParamValue> params;

    /// The request for one indication.
    static CIMExportRequest indication(std::string messageId, CIMInstance indication) {
        CIMExportRequest request;
        request.messageId = std::move(messageId);
        request.params.emplace_back(CIMName("NewIndication"), CIMValue(std::move(indication)));
        return request;
    }

    /// The "NewIndication" instance, or nullptr when there is none.
    const CIMInstance* findIndication() const;

    friend bool operator==(const CIMExportRequest&, const CIMExportRequest&) = default;
};

} // namespace cim
