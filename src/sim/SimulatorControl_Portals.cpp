// Changes of the array's portals behind the client's back.
#include "sim/SimulatorControl.h"

#include "sim/ModelProjection.h"
#include "sim/NetworkProjection.h"

namespace Merrow::Sim {

ControlResult SimulatorControl::changePortal(const std::string& address, const std::string& newAddress,
                                             std::uint16_t vlanId)
{
    return m_model.update([&](ModelTransaction& transaction) {
        ArrayState& state = transaction.state();
        if (!NetworkProjection::parseIpv4(newAddress))
            return ControlResult::Refused;
        SimPortal* changed = nullptr;
        for (auto& [id, portal] : state.portals) {
            if (portal.ipAddress == address)
                changed = &portal;
            else if (portal.ipAddress == newAddress)
                return ControlResult::Refused;
        }
        if (changed == nullptr)
            return ControlResult::NotFound;
        changed->ipAddress = newAddress;
        changed->vlanId = vlanId;
        transaction.touch(ModelProjection::group(GroupKind::Portal, changed->id));
        return ControlResult::Ok;
    });
}

} // namespace Merrow::Sim
