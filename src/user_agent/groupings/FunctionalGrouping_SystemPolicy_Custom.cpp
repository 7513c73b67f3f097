#include "user_agent/groupings/FunctionalGrouping_SystemPolicy.h"

#include "user_agent/groupings/EnumProperty.h"

namespace Merrow::UserAgent {

using Grouping = FunctionalGrouping_SystemPolicy;

MerrowReturnValue Grouping::Get_Policy_BatteryPolicy(UAEnums::CvnBatteryPolicy& policy) {
    return ReadEnumProperty<std::uint16_t>(*this, &Grouping::Get_Policy_BatteryPolicy, policy);
}

MerrowReturnValue Grouping::Set_Policy_BatteryPolicy(const UAEnums::CvnBatteryPolicy& policy) {
    return WriteEnumProperty<std::uint16_t>(*this, &Grouping::Set_Policy_BatteryPolicy, policy);
}

MerrowReturnValue Grouping::Get_Policy_FailoverPolicy(UAEnums::CvnFailoverPolicy& policy) {
    return ReadEnumProperty<std::uint16_t>(*this, &Grouping::Get_Policy_FailoverPolicy, policy);
}

MerrowReturnValue Grouping::Set_Policy_FailoverPolicy(const UAEnums::CvnFailoverPolicy& policy) {
    return WriteEnumProperty<std::uint16_t>(*this, &Grouping::Set_Policy_FailoverPolicy, policy);
}

MerrowReturnValue Grouping::Get_Policy_BatteryState(UAEnums::CvnBatteryState& state) {
    return ReadEnumProperty<std::uint16_t>(*this, &Grouping::Get_Policy_BatteryState, state);
}

} // namespace Merrow::UserAgent
