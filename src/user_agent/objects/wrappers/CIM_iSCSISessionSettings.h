#pragma once

#include "user_agent/objects/wrappers/CIM_SettingData.h"
#include "user_agent/objects/wrappers/CIM_WrapperConstructors.h"

#include <cstdint>

namespace Merrow::UserAgent {

// The CIM class "CIM_iSCSISessionSettings". The negotiable settings of iSCSI sessions, CHAP among
// them.
class CIM_iSCSISessionSettings : public CIM_SettingData {
public:
    ORV_CIM_WRAPPER_CONSTRUCTORS(CIM_iSCSISessionSettings, CIM_SettingData)

    MerrowReturnValue Get_PrimaryAuthenticationMethod(std::uint16_t& value);
    MerrowReturnValue Get_SecondaryAuthenticationMethod(std::uint16_t& value);
};

} // namespace Merrow::UserAgent
