#include "user_agent/base/CIMObjectPathIdentity.h"

namespace Merrow::UserAgent {

bool IsSameObjectPath(const cim::CIMObjectPath& first, const cim::CIMObjectPath& second) {
    cim::CIMObjectPath adjusted(second);
    adjusted.setHost(first.getHost());
    adjusted.setNameSpace(first.getNameSpace());
    return first.identical(adjusted);
}

} // namespace Merrow::UserAgent
