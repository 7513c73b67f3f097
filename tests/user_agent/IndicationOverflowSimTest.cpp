// An array whose indications find the library's queue full: the array is read again, so
// the changes those indications carried still reach the cached data.
#include "user_agent/connection/CorvaneConnection.h"
#include "user_agent/root/MerrowUserAgent.h"
#include "user_agent/services/Service_CorvaneSystem.h"
#include "user_agent/services/Service_Volume.h"
#include "user_agent/services/Service_VolumeList.h"

#include "ServiceIndicationCollector.h"
#include "SimArray.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace Merrow::UserAgent {
namespace {

using namespace Testing;
using R = MerrowReturnValue;

std::size_t volumeCount(Service_VolumeList& list) {
    std::vector<Service_Volume> volumes;
    return list.GetVolumes(volumes).isFailure() ? 0 : volumes.size();
}

TEST(IndicationOverflowSimTest, VolumesMadeAndDeletedWhileNothingCanBeQueuedAreReadFromTheArray) {
    SimArray array("127.98.1.1");
    MerrowUserAgentPeriods periods;
    periods.dispatcherWait = std::chrono::milliseconds(50);
    periods.queuedIndicationLimit = 0;
    MerrowUserAgent root(false, periods);
    ASSERT_EQ(root.Start().getCode(), R::UA_S_OK);
    CorvaneConnection connection = root.GetConnection(array.address());
    ASSERT_EQ(connection.Connect(kSimUser, kSimPassword).getCode(), R::UA_S_OK);
    Service_CorvaneSystem system;
    ASSERT_EQ(connection.GetCorvaneSystemService(system).getCode(), R::UA_S_OK);
    Service_VolumeList list;
    ASSERT_EQ(system.GetServiceVolumeList(list).getCode(), R::UA_S_OK);
    const std::size_t before = volumeCount(list);

    std::string made;
    ASSERT_EQ(array.control().addVolume("made-unqueued", 1ull << 30, made), Sim::ControlResult::Ok);
    EXPECT_TRUE(eventually([&] { return volumeCount(list) == before + 1; }));
    ASSERT_EQ(array.control().removeVolume(made), Sim::ControlResult::Ok);
    EXPECT_TRUE(eventually([&] { return volumeCount(list) == before; }));

    EXPECT_GT(root.GetImpl().GetDroppedIndicationCount(), 0u);
    EXPECT_EQ(root.GetImpl().GetQueuedIndicationCount(), 0u);
}

} // namespace
} // namespace Merrow::UserAgent
