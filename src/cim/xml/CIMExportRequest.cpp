#include "cim/xml/CIMExportRequest.h"

#include "cim/value/CIMObject.h"
#include "cim/value/CIMValueRep.h"

namespace cim {

const CIMInstance* CIMExportRequest::findIndication() const {
    for (const CIMParamValue& param : params) {
        const CIMValue& value = param.getValue();
        if (!(param.getParameterName() == CIMName("NewIndication")) || value.isArray() ||
            value.getType() != CIMType::Instance || value.isNull()) {
            continue;
        }
        const auto& object = std::get<std::shared_ptr<const CIMObject>>(
            detail::CIMValueAccess::storage(value));
        return &object->getInstance();
    }
    return nullptr;
}

} // namespace cim
