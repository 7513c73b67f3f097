// Changes that pile up on an array while the provider's background thread is busy: the
// thread takes them together and reads each changed object once, and none of them is lost.
// The arrays sit on 127.101.3.x.
#include "LunSimFixture.h"

#include "vds/framework/VDSScopedLock.h"

#include <set>
#include <string>
#include <thread>

namespace provider_test {
namespace {

using Merrow::Sim::ControlResult;

class NoticeBurstTest : public LunSimTest {};

TEST_F(NoticeBurstTest, EveryChangeMadeWhileTheProviderWasBusyIsAnnouncedAndTheLastNameWins)
{
    auto subsystem = managedArray("127.101.3.1");
    ASSERT_TRUE(subsystem);
    const auto before = lunIds(subsystem);
    ASSERT_GE(before.size(), 2u);
    const auto volumes = m_array->volumeNames();
    const std::string renamed = *volumes.begin();
    const std::string deleted = *std::next(volumes.begin());
    std::set<std::string> made;
    {
        // The array's indications reach the library meanwhile and their notices queue up.
        VDSScopedLock heldProvider(providerObject());
        for (int i = 0; i < 6; ++i) {
            std::string id;
            made.insert("burst-" + std::to_string(i));
            ASSERT_EQ(control().addVolume("burst-" + std::to_string(i), 1ull << 30, id), ControlResult::Ok);
        }
        ASSERT_EQ(control().renameVolume(renamed, "renamed-once"), ControlResult::Ok);
        ASSERT_EQ(control().renameVolume("renamed-once", "renamed-twice"), ControlResult::Ok);
        ASSERT_EQ(control().removeVolume(deleted), ControlResult::Ok);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }

    // Nobody queries until the notifications are in: each comes from the notices alone.
    const auto count = [&](VDS_NOTIFICATION_TARGET_TYPE type, ULONG event) {
        return notifiedIds(type, event).size();
    };
    EXPECT_TRUE(eventually([&] {
        return count(VDS_NTT_LUN, VDS_NF_LUN_ARRIVE) >= made.size() &&
               count(VDS_NTT_LUN, VDS_NF_LUN_DEPART) >= 1 && count(VDS_NTT_LUN, VDS_NF_LUN_MODIFY) >= 1;
    })) << count(VDS_NTT_LUN, VDS_NF_LUN_ARRIVE) << " arrivals, " << count(VDS_NTT_LUN, VDS_NF_LUN_MODIFY)
        << " changes";
    const auto arrived = notifiedIds(VDS_NTT_LUN, VDS_NF_LUN_ARRIVE);
    EXPECT_EQ(std::set<VDS_OBJECT_ID>(arrived.begin(), arrived.end()).size(), made.size())
        << "each new LUN arrives once";
    EXPECT_EQ(count(VDS_NTT_LUN, VDS_NF_LUN_DEPART), 1u);

    const auto expected = m_array->volumeNames();
    EXPECT_EQ(lunNames(subsystem), expected);
    EXPECT_EQ(lunIds(subsystem).size(), before.size() + made.size() - 1);
    EXPECT_EQ(lunNames(subsystem).count("renamed-twice"), 1u);
    EXPECT_EQ(lunNames(subsystem).count("renamed-once"), 0u);
}

} // namespace
} // namespace provider_test
