// Following a volume's job on the array, as a LUN creation or extension does.
#include "vds/objects/VolumeJobProgress.h"

#include "SimArray.h"

#include "user_agent/connection/CorvaneConnection.h"
#include "user_agent/root/MerrowUserAgent.h"
#include "user_agent/services/Service_CorvaneSystem.h"
#include "user_agent/services/Service_Disk.h"
#include "user_agent/services/Service_DiskList.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace Merrow::UserAgent;
using R = MerrowReturnValue;

// A root without indications stands for the moment before the volume's deletion arrives:
// the array has undone the failed creation, and asked for the volume's jobs it answers none.
TEST(VolumeJobProgressSimTest, AFailedCreationWhoseVolumeIsGoneIsAFailureNotAnEmptyJobList)
{
    Testing::SimArray array("127.102.0.3");
    array.control().setJobs(true, 200);
    ASSERT_EQ(array.control().failNextJob(280, "", 50), Merrow::Sim::ControlResult::Ok);
    MerrowUserAgent root(true);
    ASSERT_EQ(root.Start().getCode(), R::UA_S_OK);
    CorvaneConnection connection = root.GetConnection(array.address());
    ASSERT_EQ(connection.Connect(Testing::kSimUser, Testing::kSimPassword).getCode(), R::UA_S_OK);
    Service_CorvaneSystem system;
    ASSERT_EQ(connection.GetCorvaneSystemService(system).getCode(), R::UA_S_OK);
    Service_DiskList diskList;
    ASSERT_EQ(system.GetServiceDiskList(diskList).getCode(), R::UA_S_OK);
    std::vector<Service_Disk> disks;
    ASSERT_EQ(diskList.GetDisks(disks).getCode(), R::UA_S_OK);
    ASSERT_FALSE(disks.empty());
    Service_Volume volume;
    ASSERT_EQ(system.CreateVolume("doomed", 1ull << 30, UAEnums::VolumeCompositionName(1), {disks.front()}, 1,
                                  65536, volume)
                  .getCode(),
              R::UA_S_OK);
    VolumeJobProgress progress(volume, {});
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (array.volumeNames().count("doomed") != 0 && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_FALSE(array.volumeNames().count("doomed") != 0) << "the array did not undo the failed creation";

    const AsyncProgressReading reading = progress.Read();
    EXPECT_TRUE(reading.finished);
    EXPECT_EQ(reading.outcome, E_FAIL);
}

} // namespace
