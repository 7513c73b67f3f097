#include "sim/SystemMethods.h"

#include "sim/ArrayFailureCodes.h"
#include "sim/ConfigurationData.h"

namespace Merrow::Sim {

std::uint32_t SystemMethods::initiateShutdown(MethodCall& call)
{
    ArrayState& state = call.state();
    for (const auto& [id, session] : state.sessions)
        call.transaction().touch(ModelProjection::group(GroupKind::Session, id));
    state.sessions.clear();
    call.requestPowerCycle(call.in<bool>("Restart", false) ? PowerCycle::Restart : PowerCycle::ShutDown);
    return ArrayFailure::Ok;
}

void SystemMethods::failover(ModelTransaction& transaction)
{
    SimSystem& system = transaction.state().system;
    system.activeSlot = system.activeSlot == 1 ? 2 : 1;
    transaction.touch(GroupKind::System);
}

std::uint32_t SystemMethods::forceControllerFailover(MethodCall& call)
{
    failover(call.transaction());
    return ArrayFailure::Ok;
}

std::uint32_t SystemMethods::testNotifications(MethodCall&)
{
    return ArrayFailure::Ok;
}

std::uint32_t SystemMethods::readPersistenceData(MethodCall& call)
{
    call.out("Data", cim::CIMValue(ConfigurationData::exportText(call.state())));
    return ArrayFailure::Ok;
}

std::uint32_t SystemMethods::writePersistenceData(MethodCall& call)
{
    const std::uint16_t setting = call.in<std::uint16_t>("PersistenceSetting", 0);
    return ConfigurationData::import(call.transaction(), call.in<std::string>("Data", ""), setting);
}

} // namespace Merrow::Sim
