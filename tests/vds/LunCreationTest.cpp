// LUN creation against a simulated array: every LUN type and hint combination reaches the
// array as the layout it stands for, the new LUN joins the list with one arrival, the
// largest LUN the array offers can be made and one byte more cannot, and requests VDS may
// not make never reach the array.
#include "LunSimFixture.h"

namespace provider_test {
namespace {

constexpr ULONGLONG kGiB = 1024ull * 1024 * 1024;

VDS_HINTS hintsWith(bool yankable, bool fastRecovery, bool mostlyReads, bool sequentialReads,
                    bool sequentialWrites)
{
    VDS_HINTS hints{};
    hints.bIsYankable = yankable;
    hints.bFastCrashRecoveryRequired = fastRecovery;
    hints.bMostlyReads = mostlyReads;
    hints.bOptimizeForSequentialReads = sequentialReads;
    hints.bOptimizeForSequentialWrites = sequentialWrites;
    return hints;
}

VDS_HINTS layoutHints(ULONG maximumDriveCount, ULONG stripeSize)
{
    VDS_HINTS hints{};
    hints.ulMaximumDriveCount = maximumDriveCount;
    hints.ulStripeSize = stripeSize;
    return hints;
}

struct CompositionCase {
    const char* description;
    VDS_LUN_TYPE type;
    VDS_HINTS hints;
    std::uint16_t organization;
    std::uint8_t stripeWidth;
    std::uint32_t chunkSize;
    // What the LUN reports once made.
    VDS_LUN_TYPE reported;
};

// Organizations: 1 JBOD, 2 Stripe, 3 Mirror, 4 StripeMirror, 5 Parity. JBOD and Mirror
// always travel one disk wide; a width of 0 lets the array choose.
const CompositionCase kCompositionCases[] = {
    {"simple", VDS_LT_SIMPLE, {}, 1, 1, 0, VDS_LT_SIMPLE},
    {"span", VDS_LT_SPAN, {}, 1, 1, 0, VDS_LT_SIMPLE},
    {"stripe, width and depth from the hints", VDS_LT_STRIPE, layoutHints(4, 65536), 2, 4, 65536,
     VDS_LT_STRIPE},
    {"stripe, the array chooses", VDS_LT_STRIPE, {}, 2, 0, 0, VDS_LT_STRIPE},
    {"mirror", VDS_LT_MIRROR, {}, 3, 1, 0, VDS_LT_MIRROR},
    {"parity with width 5", VDS_LT_PARITY, layoutHints(5, 131072), 5, 5, 131072, VDS_LT_PARITY},
    {"default, no hints", VDS_LT_DEFAULT, {}, 5, 0, 0, VDS_LT_PARITY},
    {"default, mostly reads", VDS_LT_DEFAULT, hintsWith(false, false, true, false, false), 2, 0, 0,
     VDS_LT_STRIPE},
    {"default, yankable and mostly reads", VDS_LT_DEFAULT,
     hintsWith(true, false, true, false, false), 4, 0, 0, VDS_LT_FAULT_TOLERANT},
    {"default, yankable, sequential reads, mostly reads", VDS_LT_DEFAULT,
     hintsWith(true, false, true, true, false), 3, 1, 0, VDS_LT_MIRROR},
    {"fault tolerant, yankable, sequential reads", VDS_LT_FAULT_TOLERANT,
     hintsWith(true, false, false, true, false), 5, 0, 0, VDS_LT_PARITY},
    {"fault tolerant, mostly reads stays protected", VDS_LT_FAULT_TOLERANT,
     hintsWith(false, false, true, false, false), 5, 0, 0, VDS_LT_PARITY},
    {"not fault tolerant, no hints", VDS_LT_NON_FAULT_TOLERANT, {}, 1, 1, 0, VDS_LT_SIMPLE},
    {"not fault tolerant, mostly reads", VDS_LT_NON_FAULT_TOLERANT,
     hintsWith(false, false, true, false, false), 2, 0, 0, VDS_LT_STRIPE},
    {"not fault tolerant, yankable", VDS_LT_NON_FAULT_TOLERANT,
     hintsWith(true, false, false, false, false), 5, 0, 0, VDS_LT_PARITY},
};

TEST_F(LunSimTest, EachTypeAndHintReachesTheArrayAsItsLayout)
{
    auto subsystem = managedArray("127.88.1.1");
    for (const CompositionCase& row : kCompositionCases) {
        SCOPED_TRACE(row.description);
        const CreatedLun created = createLun(subsystem, row.type, kGiB, row.hints);
        ASSERT_EQ(created.call, S_OK);
        ASSERT_EQ(created.outcome, S_OK);
        EXPECT_EQ(created.outputType, VDS_ASYNCOUT_CREATELUN);
        ASSERT_TRUE(created.lun);
        EXPECT_EQ(lastParameter("CreateVolume", "VolumeOrganization").get<std::uint16_t>(),
                  row.organization);
        EXPECT_EQ(lastParameter("CreateVolume", "StripeWidth").get<std::uint8_t>(), row.stripeWidth);
        EXPECT_EQ(lastParameter("CreateVolume", "ChunkSize").get<std::uint32_t>(), row.chunkSize);
        EXPECT_EQ(lastParameter("CreateVolume", "Size").get<std::uint64_t>(), kGiB);
        const LunView lun = view(created.lun);
        ASSERT_EQ(lun.hr, S_OK);
        EXPECT_EQ(lun.type, row.reported);
        EXPECT_EQ(lun.status, VDS_LS_ONLINE);
        EXPECT_EQ(lun.health, VDS_H_HEALTHY);
        EXPECT_GE(lun.size, kGiB);
        // The volume is named after its layout, the time and this machine.
        EXPECT_NE(lun.friendlyName.find(" created "), std::string::npos) << lun.friendlyName;
        EXPECT_EQ(volumeNameOnArray(lun.identification), lun.friendlyName);
    }
}

TEST_F(LunSimTest, SizesReachTheArrayInWholeBlocksAndNamedDrivesSetTheWidth)
{
    auto subsystem = managedArray("127.88.1.2");
    const CreatedLun tiny = createLun(subsystem, VDS_LT_MIRROR, 1);
    ASSERT_EQ(tiny.outcome, S_OK);
    EXPECT_EQ(lastParameter("CreateVolume", "Size").get<std::uint64_t>(), 512u);
    EXPECT_EQ(lastParameter("CreateVolume", "VolumeOrganization").get<std::uint16_t>(), 3u);

    const CreatedLun odd = createLun(subsystem, VDS_LT_SIMPLE, 1000);
    ASSERT_EQ(odd.outcome, S_OK);
    EXPECT_EQ(lastParameter("CreateVolume", "Size").get<std::uint64_t>(), 1024u);

    const std::vector<VDS_OBJECT_ID> drives = driveIds(subsystem);
    ASSERT_GE(drives.size(), 3u);
    const CreatedLun striped =
        createLun(subsystem, VDS_LT_STRIPE, kGiB, {}, {drives[0], drives[1], drives[2]});
    ASSERT_EQ(striped.outcome, S_OK);
    EXPECT_EQ(lastParameter("CreateVolume", "StripeWidth").get<std::uint8_t>(), 3u);
    EXPECT_EQ(lastParameter("CreateVolume", "StorageDevice").getArraySize(), 3u);
}

TEST_F(LunSimTest, LunsOfOneKindMadeInOneBreathGetNamesOfTheirOwn)
{
    auto subsystem = managedArray("127.88.1.7");
    std::vector<std::string> names;
    for (int i = 0; i < 3; ++i) {
        const CreatedLun created = createLun(subsystem, VDS_LT_STRIPE, kGiB);
        ASSERT_EQ(created.outcome, S_OK) << i;
        names.push_back(view(created.lun).friendlyName);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::unique(names.begin(), names.end()), names.end());
    for (const std::string& name : names)
        EXPECT_EQ(name.rfind("Stripe created ", 0), 0u) << name;
}

TEST_F(LunSimTest, NewLunArrivesOnceAndStaysInTheList)
{
    auto subsystem = managedArray("127.88.1.3");
    const auto before = lunIds(subsystem);
    const CreatedLun created = createLun(subsystem, VDS_LT_SIMPLE, kGiB);
    ASSERT_EQ(created.outcome, S_OK);
    const VDS_OBJECT_ID id = view(created.lun).id;
    EXPECT_EQ(notificationCount(VDS_NTT_LUN, VDS_NF_LUN_ARRIVE, id), 1u);
    const auto after = lunIds(subsystem);
    EXPECT_EQ(after.size(), before.size() + 1);
    EXPECT_NE(std::find(after.begin(), after.end(), id), after.end());
    // The array's own announcement of the volume adds no second LUN.
    ASSERT_EQ(subsystem->Reenumerate(), S_OK);
    EXPECT_EQ(lunIds(subsystem).size(), after.size());
    EXPECT_EQ(notifiedIds(VDS_NTT_LUN, VDS_NF_LUN_ARRIVE).size(), 1u);
}

TEST_F(LunSimTest, LargestLunCanBeMadeAndOneBlockMoreIsRefusedWithTheArraysReason)
{
    auto subsystem = managedArray("127.88.1.4");
    VDS_HINTS hints{};
    ULONGLONG largest = 0;
    ASSERT_EQ(subsystem->QueryMaxLunCreateSize(VDS_LT_SIMPLE, nullptr, 0, &hints, &largest), S_OK);
    ASSERT_GT(largest, 0u);

    control().resetRequestCounts();
    const std::vector<VDS_OBJECT_ID> everyDrive = driveIds(subsystem);
    const CreatedLun tooBig = createLun(subsystem, VDS_LT_SIMPLE, largest + 512, {}, everyDrive);
    EXPECT_EQ(tooBig.call, S_OK) << "a refusal shows in the asynchronous outcome";
    EXPECT_EQ(tooBig.outcome, VDS_E_NOT_ENOUGH_SPACE);
    EXPECT_FALSE(tooBig.lun);
    EXPECT_EQ(control().requestCount("CreateVolume"), 1u);
    EXPECT_TRUE(notifiedIds(VDS_NTT_LUN, VDS_NF_LUN_ARRIVE).empty());

    // The largest size counts every drive, also those the array keeps outside its pool
    // until a volume names them.
    const CreatedLun exact = createLun(subsystem, VDS_LT_SIMPLE, largest, {}, everyDrive);
    ASSERT_EQ(exact.outcome, S_OK);
    EXPECT_EQ(view(exact.lun).size, largest);
    ULONGLONG left = 0;
    ASSERT_EQ(subsystem->QueryMaxLunCreateSize(VDS_LT_SIMPLE, nullptr, 0, &hints, &left), S_OK);
    EXPECT_EQ(left, 0u);
}

TEST_F(LunSimTest, RequestsVdsMayNotMakeNeverReachTheArray)
{
    auto subsystem = managedArray("127.88.1.5");
    control().resetRequestCounts();
    VDS_HINTS hints{};
    std::u16string everyone = u"*";
    CComPtr<IVdsAsync> async;
    for (int type : {0, 4, 5, 9, 15}) {
        SCOPED_TRACE(type);
        EXPECT_EQ(subsystem->CreateLun(static_cast<VDS_LUN_TYPE>(type), kGiB, nullptr, 0,
                                       everyone.data(), &hints, async.put()),
                  E_INVALIDARG);
    }
    EXPECT_EQ(subsystem->CreateLun(VDS_LT_SIMPLE, 0, nullptr, 0, everyone.data(), &hints,
                                   async.put()),
              E_INVALIDARG);
    EXPECT_EQ(subsystem->CreateLun(VDS_LT_SIMPLE, kGiB, nullptr, 0, nullptr, &hints, async.put()),
              E_INVALIDARG);
    EXPECT_EQ(subsystem->CreateLun(VDS_LT_SIMPLE, kGiB, nullptr, 2, everyone.data(), &hints,
                                   async.put()),
              E_INVALIDARG);
    VDS_OBJECT_ID unknown{0x1234, 1, 2, {3}};
    EXPECT_EQ(subsystem->CreateLun(VDS_LT_SIMPLE, kGiB, &unknown, 1, everyone.data(), &hints,
                                   async.put()),
              E_INVALIDARG);
    ULONGLONG size = 0;
    EXPECT_EQ(subsystem->QueryMaxLunCreateSize(VDS_LT_SIMPLE, nullptr, 0, nullptr, &size),
              E_INVALIDARG);
    EXPECT_EQ(subsystem->QueryMaxLunCreateSize(static_cast<VDS_LUN_TYPE>(7), nullptr, 0, &hints,
                                               &size),
              E_INVALIDARG);
    EXPECT_EQ(control().requestCount("CreateVolume"), 0u);
}

TEST_F(LunSimTest, CreationWaitsForTheArraysJobAndReportsItsProgress)
{
    auto subsystem = managedArray("127.88.1.6");
    control().setJobs(true, 300);

    control().holdNextJob();
    CreatedLun held = createLun(subsystem, VDS_LT_SIMPLE, kGiB, {}, {}, false);
    ASSERT_EQ(held.call, S_OK);
    HRESULT hr = E_FAIL;
    ULONG percent = 100;
    ASSERT_EQ(held.async->QueryStatus(&hr, &percent), S_OK);
    EXPECT_EQ(hr, S_OK);
    EXPECT_LT(percent, 100u) << "the array holds the job";
    ASSERT_EQ(control().releaseJobs(), Merrow::Sim::ControlResult::Ok);
    VDS_ASYNC_OUTPUT output{};
    ASSERT_EQ(held.async->Wait(&hr, &output), S_OK);
    EXPECT_EQ(hr, S_OK);
    ASSERT_NE(output.cl.pLunUnk, nullptr);
    output.cl.pLunUnk->Release();
    ASSERT_EQ(held.async->QueryStatus(&hr, &percent), S_OK);
    EXPECT_EQ(percent, 100u);

    ASSERT_EQ(control().failNextJob(280, "", 50), Merrow::Sim::ControlResult::Ok);
    const CreatedLun failed = createLun(subsystem, VDS_LT_SIMPLE, kGiB);
    EXPECT_EQ(failed.call, S_OK);
    EXPECT_EQ(failed.outcome, E_FAIL) << "the array's job failed half way";
    EXPECT_FALSE(failed.lun);
}

} // namespace
} // namespace provider_test
