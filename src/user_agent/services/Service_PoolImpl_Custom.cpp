#include "user_agent/services/Service_PoolImpl.h"

#include "user_agent/base/TextUtil.h"

#include <array>
#include <string_view>
#include <utility>

namespace Merrow::UserAgent {

namespace {

// The array tells its fixed pools apart by InstanceID only. Both base pools (one per
// controller) are of the base kind.
constexpr std::array<std::pair<std::string_view, std::int32_t>, 5> kPoolTypeByInstanceID{{
    {"37000001", 1},
    {"37000002", 2},
    {"37000003", 3},
    {"37000004", 4},
    {"37000005", 4},
}};

} // namespace

MerrowReturnValue Service_PoolImpl::GetPoolType(UAEnums::PoolType& poolType) {
    ScopedLock lock(*this);
    std::string instanceID;
    const MerrowReturnValue result = m_Pool.Get_Pool_InstanceID(instanceID);
    if (result.isFailure())
        return result;
    poolType.setValue(0);
    for (const auto& [id, type] : kPoolTypeByInstanceID) {
        if (TextUtil::equalsIgnoringCase(instanceID, id)) {
            poolType.setValue(type);
            break;
        }
    }
    return result;
}

} // namespace Merrow::UserAgent
