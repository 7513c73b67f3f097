#include "user_agent/objects/wrappers/CIM_iSCSISessionSettings.h"

namespace Merrow::UserAgent {

MerrowReturnValue CIM_iSCSISessionSettings::Get_PrimaryAuthenticationMethod(std::uint16_t& value) {
    return GetTypedProperty("PrimaryAuthenticationMethod", value);
}

MerrowReturnValue
CIM_iSCSISessionSettings::Get_SecondaryAuthenticationMethod(std::uint16_t& value) {
    return GetTypedProperty("SecondaryAuthenticationMethod", value);
}

} // namespace Merrow::UserAgent
