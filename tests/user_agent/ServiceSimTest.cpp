// The facades against the simulated array: a walk from the system service down to every
// kind of object reads what the array holds, unusable handles never reach the array, and
// the association rules (exactly one target, pool kinds) hold on real data.

#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/root/MerrowUserAgent.h"
#include "user_agent/services/Service_Controller.h"
#include "user_agent/services/Service_CorvaneSystem.h"
#include "user_agent/services/Service_Disk.h"
#include "user_agent/services/Service_DiskList.h"
#include "user_agent/services/Service_Extent.h"
#include "user_agent/services/Service_Initiator.h"
#include "user_agent/services/Service_LAG.h"
#include "user_agent/services/Service_PhysicalPort.h"
#include "user_agent/services/Service_Pool.h"
#include "user_agent/services/Service_PoolList.h"
#include "user_agent/services/Service_Portal.h"
#include "user_agent/services/Service_Volume.h"
#include "user_agent/services/Service_VolumeComposition.h"
#include "user_agent/services/Service_VolumeList.h"
#include "user_agent/services/Service_iSCSI.h"
#include "user_agent/services/Service_iSCSISession.h"
#include "user_agent/services/Service_iSCSITarget.h"
#include "user_agent/services/Service_Enclosure.h"
#include "user_agent/services/Service_NetworkRoute.h"
#include "user_agent/services/Service_NetworkRouteList.h"
#include "user_agent/services/Service_SystemStatistics.h"

#include "ServiceIndicationCollector.h"
#include "SimArray.h"
#include "StartedRootSimTest.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace Merrow::UserAgent {
namespace {

using namespace Testing;
using R = MerrowReturnValue;

constexpr const char* kHost1 = "iqn.2024-01.org.example:host1";

class ServiceSimTest : public StartedRootSimTest {
protected:
    void connect(SimArray& array) {
        ASSERT_NO_FATAL_FAILURE(StartedRootSimTest::connect(array));
        ASSERT_EQ(m_connection.GetCorvaneSystemService(m_system).getCode(), R::UA_S_OK);
    }

    Sim::ArrayState state() {
        return m_array->control().model().read([](const Sim::ModelView& view) { return view.state; });
    }

    std::vector<Service_Volume> volumes() {
        Service_VolumeList list;
        EXPECT_EQ(m_system.GetServiceVolumeList(list).getCode(), R::UA_S_OK);
        std::vector<Service_Volume> result;
        EXPECT_EQ(list.GetVolumes(result).getCode(), R::UA_S_OK);
        return result;
    }

    Service_Volume volumeNamed(const std::string& name) {
        for (const Service_Volume& volume : volumes()) {
            std::string text;
            if (!volume.GetName(text).isFailure() && text == name)
                return volume;
        }
        return {};
    }

    std::uint64_t requests() const {
        std::uint64_t total = 0;
        for (const auto& [operation, count] : m_array->control().requestCounts())
            total += count;
        return total;
    }

    Service_CorvaneSystem m_system;
};

template <typename Handle, typename Value>
Value read(const Handle& handle, R (Handle::*getter)(Value&) const) {
    Value value{};
    EXPECT_EQ((handle.*getter)(value).getCode(), R::UA_S_OK);
    return value;
}

// ---- the walk -------------------------------------------------------------------------------

TEST_F(ServiceSimTest, SystemControllersPortsAndLAGsAreWhatTheArrayHolds) {
    SimArray array("127.77.14.1");
    connect(array);
    const Sim::ArrayState truth = state();
    EXPECT_EQ(read(m_system, &Service_CorvaneSystem::GetName), truth.system.name);

    std::vector<Service_Controller> controllers;
    ASSERT_EQ(m_system.GetControllers(controllers).getCode(), R::UA_S_OK);
    ASSERT_EQ(controllers.size(), 2u);
    std::set<std::string> serials;
    std::multiset<std::uint16_t> portNumbers;
    for (const Service_Controller& controller : controllers) {
        serials.insert(read(controller, &Service_Controller::GetSerialNumber));
        EXPECT_GE(read(controller, &Service_Controller::GetDriveSlots), truth.disks.size());
        std::vector<Service_PhysicalPort> ports;
        ASSERT_EQ(controller.GetPhysicalPorts(ports).getCode(), R::UA_S_OK);
        for (const Service_PhysicalPort& port : ports) {
            const std::uint16_t number = read(port, &Service_PhysicalPort::GetPortNumber);
            portNumbers.insert(number);
            EXPECT_EQ(read(port, &Service_PhysicalPort::GetName), "eth" + std::to_string(number));
        }
    }
    EXPECT_EQ(serials.size(), 2u) << "each controller has its own serial number";
    std::multiset<std::uint16_t> expectedPorts;
    for (const auto& [id, port] : truth.ports)
        expectedPorts.insert(port.number);
    EXPECT_EQ(portNumbers, expectedPorts);

    Service_iSCSI iscsi;
    ASSERT_EQ(m_system.GetServiceiSCSI(iscsi).getCode(), R::UA_S_OK);
    std::vector<Service_LAG> lags;
    ASSERT_EQ(iscsi.GetLAGs(lags).getCode(), R::UA_S_OK);
    std::set<std::string> lagNames, expectedLagNames;
    for (const auto& [id, lag] : truth.lags)
        expectedLagNames.insert(lag.name);
    for (const Service_LAG& lag : lags) {
        lagNames.insert(read(lag, &Service_LAG::GetName));
        UAEnums::OperationalStatus status;
        EXPECT_EQ(lag.GetStatus(status).getCode(), R::UA_S_OK);
        EXPECT_EQ(status.getValue(), 0);
    }
    EXPECT_FALSE(expectedLagNames.empty());
    EXPECT_EQ(lagNames, expectedLagNames);

    std::vector<Service_Portal> portals;
    ASSERT_EQ(iscsi.GetPortals(portals).getCode(), R::UA_S_OK);
    std::set<std::string> addresses, expectedAddresses;
    for (const auto& [id, portal] : truth.portals)
        expectedAddresses.insert(portal.ipAddress + ":" + std::to_string(portal.tcpPort));
    for (const Service_Portal& portal : portals) {
        addresses.insert(read(portal, &Service_Portal::GetIPAddress) + ":" +
                         std::to_string(read(portal, &Service_Portal::GetPortNumber)));
    }
    EXPECT_FALSE(expectedAddresses.empty());
    EXPECT_EQ(addresses, expectedAddresses);
}

TEST_F(ServiceSimTest, DisksPoolsAndExtentsAreWhatTheArrayHolds) {
    SimArray array("127.77.14.2");
    connect(array);
    const Sim::ArrayState truth = state();
    Service_DiskList diskList;
    ASSERT_EQ(m_system.GetServiceDiskList(diskList).getCode(), R::UA_S_OK);
    std::vector<Service_Disk> disks;
    ASSERT_EQ(diskList.GetDisks(disks).getCode(), R::UA_S_OK);
    ASSERT_EQ(disks.size(), truth.disks.size());

    std::map<std::uint16_t, const Sim::SimDisk*> bySlot;
    for (const auto& [id, disk] : truth.disks)
        bySlot[disk.slot] = &disk;
    std::size_t extentCount = 0;
    for (const Service_Disk& disk : disks) {
        const auto found = bySlot.find(read(disk, &Service_Disk::GetSlotNumber));
        ASSERT_NE(found, bySlot.end());
        const Sim::SimDisk& expected = *found->second;
        EXPECT_EQ(read(disk, &Service_Disk::GetSerialNumber), expected.serialNumber);
        EXPECT_EQ(read(disk, &Service_Disk::GetVendorModel), expected.model);
        EXPECT_EQ(read(disk, &Service_Disk::GetPhysicalCapacity), expected.blocks * 512);
        EXPECT_EQ(read(disk, &Service_Disk::GetFreeSpaceSize), truth.freeBlocks(expected) * 512);
        Service_Pool pool;
        ASSERT_EQ(disk.GetPool(pool).getCode(), R::UA_S_OK);
        UAEnums::PoolType type;
        ASSERT_EQ(pool.GetPoolType(type).getCode(), R::UA_S_OK);
        const std::map<std::string, std::int32_t> typeOf{
            {Sim::PoolId::Unavailable, 1}, {Sim::PoolId::Spare, 2}, {Sim::PoolId::Available, 3},
            {Sim::PoolId::BaseA, 4},       {Sim::PoolId::BaseB, 4}};
        EXPECT_EQ(type.getValue(), typeOf.at(expected.poolId)) << expected.poolId;
        std::vector<Service_Extent> extents;
        ASSERT_EQ(disk.GetExtents(extents).getCode(), R::UA_S_OK);
        extentCount += extents.size();
        for (const Service_Extent& extent : extents) {
            Service_Disk back;
            ASSERT_EQ(extent.GetDisk(back).getCode(), R::UA_S_OK);
            EXPECT_EQ(read(back, &Service_Disk::GetSlotNumber), expected.slot);
        }
    }
    std::size_t expectedExtents = 0;
    for (const auto& [id, volume] : truth.volumes)
        expectedExtents += volume.layout.extents.size();
    EXPECT_GT(expectedExtents, 0u);
    EXPECT_EQ(extentCount, expectedExtents);

    // Every pool kind the array has, the second base pool ("37000005") included.
    Service_PoolList poolList;
    ASSERT_EQ(m_system.GetServicePoolList(poolList).getCode(), R::UA_S_OK);
    std::vector<Service_Pool> pools;
    ASSERT_EQ(poolList.GetPools(pools).getCode(), R::UA_S_OK);
    std::multiset<std::int32_t> types;
    for (const Service_Pool& pool : pools) {
        UAEnums::PoolType type;
        ASSERT_EQ(pool.GetPoolType(type).getCode(), R::UA_S_OK);
        types.insert(type.getValue());
    }
    EXPECT_EQ(types, (std::multiset<std::int32_t>{1, 2, 3, 4, 4}));
}

TEST_F(ServiceSimTest, VolumesTargetsAndCompositionAreWhatTheArrayHolds) {
    SimArray array("127.77.14.3");
    connect(array);
    const Sim::ArrayState truth = state();
    const std::vector<Service_Volume> all = volumes();
    ASSERT_FALSE(all.empty());
    ASSERT_EQ(all.size(), truth.volumes.size());
    std::map<std::string, const Sim::SimVolume*> byDurableName;
    for (const auto& [id, volume] : truth.volumes)
        byDurableName[volume.durableName] = &volume;
    for (const Service_Volume& volume : all) {
        const std::string durableName = read(volume, &Service_Volume::GetDurableName);
        ASSERT_TRUE(byDurableName.count(durableName)) << durableName;
        const Sim::SimVolume& expected = *byDurableName[durableName];
        EXPECT_EQ(read(volume, &Service_Volume::GetName), expected.name);
        EXPECT_EQ(read(volume, &Service_Volume::GetStripeWidth), expected.layout.stripeWidth);

        Service_iSCSITarget target;
        ASSERT_EQ(volume.GetTarget(target).getCode(), R::UA_S_OK);
        EXPECT_EQ(read(target, &Service_iSCSITarget::GetName), expected.target.name);
        EXPECT_EQ(read(target, &Service_iSCSITarget::GetDurableName), expected.target.iqn);
        Service_Volume back;
        ASSERT_EQ(target.GetVolume(back).getCode(), R::UA_S_OK);
        EXPECT_EQ(read(back, &Service_Volume::GetDurableName), durableName);

        Service_VolumeComposition composition;
        ASSERT_EQ(volume.GetVolumeComposition(composition).getCode(), R::UA_S_OK);
        std::vector<Service_Extent> extents;
        ASSERT_EQ(composition.GetExtents(extents).getCode(), R::UA_S_OK);
        ASSERT_EQ(extents.size(), expected.layout.extents.size());
        std::uint64_t blocks = 0;
        for (const Service_Extent& extent : extents) {
            blocks += read(extent, &Service_Extent::GetSize);
            Service_Volume owner;
            ASSERT_EQ(extent.GetVolume(owner).getCode(), R::UA_S_OK);
            EXPECT_EQ(read(owner, &Service_Volume::GetDurableName), durableName);
        }
        std::uint64_t expectedBlocks = 0;
        for (const Sim::SimExtent& extent : expected.layout.extents)
            expectedBlocks += extent.blocks;
        EXPECT_EQ(blocks, expectedBlocks);
    }
}

TEST_F(ServiceSimTest, InitiatorsAndSessionsAreWhatTheArrayHolds) {
    SimArray array("127.77.14.4");
    connect(array);
    std::string sessionId;
    ASSERT_EQ(array.control().addSession(kHost1, "3a000001", sessionId), Sim::ControlResult::Ok);
    std::set<std::string> expectedNames;
    for (const auto& [id, initiator] : state().initiators)
        expectedNames.insert(initiator.name);
    ASSERT_TRUE(expectedNames.count(kHost1));

    Service_iSCSI iscsi;
    ASSERT_EQ(m_system.GetServiceiSCSI(iscsi).getCode(), R::UA_S_OK);
    std::vector<Service_Initiator> initiators;
    ASSERT_EQ(iscsi.GetInitiators(initiators).getCode(), R::UA_S_OK);
    std::set<std::string> names;
    for (const Service_Initiator& initiator : initiators)
        names.insert(read(initiator, &Service_Initiator::GetGlobalID));
    EXPECT_EQ(names, expectedNames);

    std::vector<Service_iSCSITarget> targets;
    ASSERT_EQ(iscsi.GetiSCSITargets(targets).getCode(), R::UA_S_OK);
    EXPECT_EQ(targets.size(), state().volumes.size());
    std::size_t sessions = 0;
    for (const Service_iSCSITarget& target : targets) {
        std::vector<Service_iSCSISession> found;
        ASSERT_EQ(target.GetSessions(found).getCode(), R::UA_S_OK);
        sessions += found.size();
        for (const Service_iSCSISession& session : found) {
            std::vector<Service_Initiator> owners;
            ASSERT_EQ(session.GetInitiators(owners).getCode(), R::UA_S_OK);
            ASSERT_EQ(owners.size(), 1u);
            EXPECT_EQ(read(owners[0], &Service_Initiator::GetGlobalID), kHost1);
        }
    }
    EXPECT_EQ(sessions, 1u);
}

// ---- rules ----------------------------------------------------------------------------------

TEST_F(ServiceSimTest, UnusableHandlesAnswerWithoutRequests) {
    SimArray array("127.77.14.6");
    connect(array);
    std::string volumeId;
    ASSERT_EQ(array.control().addVolume("doomed", 1ull << 30, volumeId), Sim::ControlResult::Ok);
    const Service_Volume doomed = volumeNamed("doomed");
    ASSERT_TRUE(doomed.IsValid());
    ASSERT_EQ(array.control().removeVolume(volumeId), Sim::ControlResult::Ok);
    ASSERT_TRUE(eventually([&] { return doomed.IsServiceRemoved(); }));

    array.control().resetRequestCounts();
    std::string text;
    Service_iSCSITarget target;
    std::vector<Service_Disk> disks;
    UAEnums::OperationalStatus status;
    EXPECT_EQ(Service_Volume().GetName(text).getCode(), R::UA_E_SERVICE_INVALID);
    EXPECT_EQ(Service_Volume().GetStatus(status).getCode(), R::UA_E_SERVICE_INVALID);
    EXPECT_EQ(Service_DiskList().GetDisks(disks).getCode(), R::UA_E_SERVICE_INVALID);
    EXPECT_EQ(Service_PhysicalPort().GetStatus(status).getCode(), R::UA_E_SERVICE_INVALID);
    EXPECT_EQ(Service_CorvaneSystem().SetName("x").getCode(), R::UA_E_SERVICE_INVALID);
    EXPECT_EQ(doomed.GetName(text).getCode(), R::UA_E_SERVICE_REMOVED);
    EXPECT_EQ(doomed.SetName("ghost").getCode(), R::UA_E_SERVICE_REMOVED);
    EXPECT_EQ(doomed.GetTarget(target).getCode(), R::UA_E_SERVICE_REMOVED);
    EXPECT_EQ(doomed.GetStatus(status).getCode(), R::UA_E_SERVICE_REMOVED);
    EXPECT_EQ(requests(), 0u);
    // A later listing no longer offers it.
    for (const Service_Volume& volume : volumes())
        EXPECT_NE(read(volume, &Service_Volume::GetName), "doomed");
}

TEST_F(ServiceSimTest, NamesWrittenThroughFacadesReachTheArray) {
    SimArray array("127.77.14.7");
    connect(array);
    ASSERT_EQ(m_system.SetName("renamed-array").getCode(), R::UA_S_OK);
    EXPECT_EQ(state().system.name, "renamed-array");
    const Service_Volume volume = volumes().front();
    ASSERT_EQ(volume.SetName("renamed-volume").getCode(), R::UA_S_OK);
    EXPECT_EQ(read(volumeNamed("renamed-volume"), &Service_Volume::GetName), "renamed-volume");
    // Disks, volumes and controllers report OK without asking the array.
    array.control().resetRequestCounts();
    UAEnums::OperationalStatus status(1);
    EXPECT_EQ(volume.GetStatus(status).getCode(), R::UA_S_OK);
    EXPECT_EQ(status.getValue(), 0);
    EXPECT_EQ(array.control().requestCount("GetInstance"), 0u);
}

TEST_F(ServiceSimTest, NoSystemServiceWithoutAConnection) {
    SimArray array("127.77.14.8");
    CorvaneConnection connection = m_root->GetConnection(array.address());
    Service_CorvaneSystem system;
    EXPECT_EQ(connection.GetCorvaneSystemService(system).getCode(), R::UA_E_NOTCONNECTED);
    EXPECT_FALSE(system.IsValid());
    EXPECT_EQ(CorvaneConnection().GetCorvaneSystemService(system).getCode(), R::UA_E_FAIL);
}

// ---- actions and the other families -------------------------------------------------------

std::int32_t poolTypeOf(const Service_Pool& pool) {
    UAEnums::PoolType type;
    EXPECT_EQ(pool.GetPoolType(type).getCode(), R::UA_S_OK);
    return type.getValue();
}

TEST_F(ServiceSimTest, ActionsHandBackFacadesOfWhatTheArrayMade) {
    SimArray array("127.77.14.9");
    connect(array);
    std::vector<Service_Controller> controllers;
    ASSERT_EQ(m_system.GetControllers(controllers).getCode(), R::UA_S_OK);
    ASSERT_FALSE(controllers.empty());
    const Service_Controller& controller = controllers.front();

    Service_Pool pool;
    ASSERT_EQ(controller.GetBasePool(pool).getCode(), R::UA_S_OK);
    EXPECT_EQ(poolTypeOf(pool), 4);
    Service_PoolList pools;
    ASSERT_EQ(m_system.GetServicePoolList(pools).getCode(), R::UA_S_OK);
    ASSERT_EQ(pools.GetGlobalSparePool(pool).getCode(), R::UA_S_OK);
    EXPECT_EQ(poolTypeOf(pool), 2);
    ASSERT_EQ(pools.GetGlobalUnavailablePool(pool).getCode(), R::UA_S_OK);
    EXPECT_EQ(poolTypeOf(pool), 1);

    // A port taken out of its aggregate becomes the only port of a new one, with a portal.
    std::vector<Service_LAG> lags;
    ASSERT_EQ(controller.GetLAGs(lags).getCode(), R::UA_S_OK);
    ASSERT_FALSE(lags.empty());
    std::vector<Service_PhysicalPort> ports;
    ASSERT_EQ(lags.front().GetPhysicalPorts(ports).getCode(), R::UA_S_OK);
    ASSERT_FALSE(ports.empty());
    ASSERT_EQ(ports.front().RemoveFromLAG().getCode(), R::UA_S_OK);
    Service_LAG lag;
    ASSERT_EQ(controller.CreateLAG({ports.front()}, false, lag).getCode(), R::UA_S_OK);
    std::vector<Service_PhysicalPort> members;
    ASSERT_EQ(lag.GetPhysicalPorts(members).getCode(), R::UA_S_OK);
    ASSERT_EQ(members.size(), 1u);
    EXPECT_EQ(read(members[0], &Service_PhysicalPort::GetPortNumber),
              read(ports.front(), &Service_PhysicalPort::GetPortNumber));
    EXPECT_EQ(controller.CreateLAG({Service_PhysicalPort()}, false, lag).getCode(), R::UA_E_INVALIDARG);

    // The new aggregate goes; the port returns to its first one, which gets one more portal.
    const std::uint16_t number = read(ports.front(), &Service_PhysicalPort::GetPortNumber);
    ASSERT_EQ(lag.Delete().getCode(), R::UA_S_OK);
    ASSERT_EQ(ports.front().SetLAG(lags.front()).getCode(), R::UA_S_OK);
    EXPECT_EQ(ports.front().SetLAG(Service_LAG()).getCode(), R::UA_E_INVALIDARG);
    const auto backHome = [&] {
        std::vector<Service_PhysicalPort> home;
        lags.front().GetPhysicalPorts(home);
        for (const Service_PhysicalPort& port : home) {
            std::uint16_t found = 0;
            if (!port.GetPortNumber(found).isFailure() && found == number)
                return true;
        }
        return false;
    };
    EXPECT_TRUE(eventually(backHome));
    Service_Portal portal;
    ASSERT_EQ(lags.front().CreatePortal("10.10.9.10", "255.255.255.0", "", 0, portal).getCode(),
              R::UA_S_OK);
    EXPECT_EQ(read(portal, &Service_Portal::GetIPAddress), "10.10.9.10");

    // The array goes down after each of these; the facades made before go with the link.
    ASSERT_EQ(controller.Restart().getCode(), R::UA_S_OK);
    EXPECT_EQ(array.control().lastCall("InitiateShutdown")->parameters.at("Restart"), cim::CIMValue(true));
    ASSERT_NO_FATAL_FAILURE(bringArrayBackAfterPowerCycle());
    ASSERT_EQ(m_connection.GetCorvaneSystemService(m_system).getCode(), R::UA_S_OK);
    std::vector<Service_Controller> after;
    ASSERT_EQ(m_system.GetControllers(after).getCode(), R::UA_S_OK);
    ASSERT_FALSE(after.empty());
    ASSERT_EQ(after.front().ShutDown().getCode(), R::UA_S_OK);
    EXPECT_EQ(array.control().lastCall("InitiateShutdown")->parameters.at("Restart"), cim::CIMValue(false));
}

TEST_F(ServiceSimTest, StatisticsEnclosureAndRoutesAreWhatTheArrayHolds) {
    SimArray array("127.77.14.10");
    connect(array);
    const Sim::ArrayState truth = state();
    Service_SystemStatistics statistics;
    ASSERT_EQ(m_system.GetServiceSystemStatistics(statistics).getCode(), R::UA_S_OK);
    EXPECT_EQ(read(statistics, &Service_SystemStatistics::GetDiskCount), truth.disks.size());
    EXPECT_EQ(read(statistics, &Service_SystemStatistics::GetVolumeCount), truth.volumes.size());
    EXPECT_EQ(read(statistics, &Service_SystemStatistics::GetInitiatorCount), truth.initiators.size());

    Service_Enclosure enclosure;
    ASSERT_EQ(m_system.GetServiceEnclosure(enclosure).getCode(), R::UA_S_OK);
    EXPECT_EQ(read(enclosure, &Service_Enclosure::GetSerialNumber),
              read(m_system, &Service_CorvaneSystem::GetSerialNumber));

    Service_NetworkRouteList routeList;
    ASSERT_EQ(m_system.GetServiceNetworkRouteList(routeList).getCode(), R::UA_S_OK);
    std::vector<Service_NetworkRoute> routes;
    ASSERT_EQ(routeList.GetNetworkRoutes(routes).getCode(), R::UA_S_OK);
    std::set<std::string> destinations, expectedDestinations;
    for (const auto& [id, route] : truth.routes)
        expectedDestinations.insert(route.destination);
    for (const Service_NetworkRoute& route : routes)
        destinations.insert(read(route, &Service_NetworkRoute::GetDestinationAddress));
    EXPECT_EQ(destinations, expectedDestinations);
}

} // namespace
} // namespace Merrow::UserAgent
