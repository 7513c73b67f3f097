// The LUN object against a simulated array: its properties and name, extending it, its
// hints, deleting it, the identification a host matches its disk against (the same after
// the provider restarted), the array's changes as notifications, and clear failures when
// the array answers slowly or is gone.
#include "LunSimFixture.h"

#include "user_agent/base/VolumeCompositionRules.h"

#include <cstring>

namespace provider_test {
namespace {

constexpr ULONGLONG kGiB = 1024ull * 1024 * 1024;

struct Identification {
    HRESULT hr = E_FAIL;
    std::string serialNumber;
    std::vector<std::string> identifiers;
    std::string vendor;
    VDS_STORAGE_BUS_TYPE bus = VDSBusTypeUnknown;
};

Identification identify(IVdsLun* lun)
{
    VDS_LUN_INFORMATION info{};
    Identification out;
    out.hr = lun->GetIdentificationData(&info);
    if (info.m_szSerialNumber != nullptr)
        out.serialNumber = info.m_szSerialNumber;
    if (info.m_szVendorId != nullptr)
        out.vendor = info.m_szVendorId;
    out.bus = info.m_BusType;
    for (ULONG i = 0; i < info.m_deviceIdDescriptor.m_cIdentifiers; ++i) {
        const VDS_STORAGE_IDENTIFIER& id = info.m_deviceIdDescriptor.m_rgIdentifiers[i];
        out.identifiers.emplace_back(reinterpret_cast<const char*>(id.m_rgbIdentifier),
                                     id.m_cbIdentifier);
    }
    COrvLun::FreeIdentificationData(info);
    return out;
}

HRESULT waitFor(IVdsAsync* async)
{
    HRESULT hr = E_FAIL;
    VDS_ASYNC_OUTPUT output{};
    EXPECT_EQ(async->Wait(&hr, &output), S_OK);
    return hr;
}

TEST_F(LunSimTest, ExtendAddsTheBytesAskedInWholeBlocks)
{
    auto subsystem = managedArray("127.88.2.1");
    const CreatedLun created = createLun(subsystem, VDS_LT_SIMPLE, kGiB);
    ASSERT_EQ(created.outcome, S_OK);
    const ULONGLONG before = view(created.lun).size;

    CComPtr<IVdsAsync> async;
    ASSERT_EQ(created.lun->Extend(1000, nullptr, 0, async.put()), S_OK);
    EXPECT_EQ(waitFor(async), S_OK);
    EXPECT_EQ(lastParameter("ReconfigureVolume", "Size").get<std::uint64_t>(),
              Merrow::UserAgent::VolumeCompositionRules::RoundUpToBlock(before + 1000));
    EXPECT_EQ(view(created.lun).size, before + 1024);

    // On a drive named by VDS.
    const std::vector<VDS_OBJECT_ID> drives = driveIds(subsystem);
    ASSERT_FALSE(drives.empty());
    VDS_OBJECT_ID drive = drives.back();
    async.Release();
    ASSERT_EQ(created.lun->Extend(kGiB, &drive, 1, async.put()), S_OK);
    EXPECT_EQ(waitFor(async), S_OK);
    EXPECT_EQ(lastParameter("ReconfigureVolume", "StorageDevice").getArraySize(), 1u);
    EXPECT_EQ(view(created.lun).size, before + 1024 + kGiB);

    // A size that overflows, and drive ids that name no drive, touch nothing.
    control().resetRequestCounts();
    async.Release();
    EXPECT_EQ(created.lun->Extend(~0ull, nullptr, 0, async.put()), E_INVALIDARG);
    VDS_OBJECT_ID nullDrive{};
    EXPECT_EQ(created.lun->Extend(kGiB, &nullDrive, 1, async.put()), E_INVALIDARG);
    VDS_OBJECT_ID self = view(created.lun).id;
    EXPECT_EQ(created.lun->Extend(kGiB, &self, 1, async.put()), VDS_E_OBJECT_NOT_FOUND);
    EXPECT_EQ(control().requestCount("ReconfigureVolume"), 0u);
    EXPECT_EQ(view(created.lun).size, before + 1024 + kGiB);
}

TEST_F(LunSimTest, ExtendBeyondTheFreeSpaceFailsInTheAsynchronousOutcome)
{
    auto subsystem = managedArray("127.88.2.2");
    const CreatedLun created = createLun(subsystem, VDS_LT_SIMPLE, kGiB);
    ASSERT_EQ(created.outcome, S_OK);
    ULONGLONG growth = 0;
    ASSERT_EQ(created.lun->QueryMaxLunExtendSize(nullptr, 0, &growth), S_OK);
    EXPECT_GT(growth, 0u);
    // More than all the array's disks hold together.
    constexpr ULONGLONG kHundredTiB = 100ull << 40;
    CComPtr<IVdsAsync> async;
    ASSERT_EQ(created.lun->Extend(kHundredTiB, nullptr, 0, async.put()), S_OK);
    EXPECT_EQ(waitFor(async), E_FAIL);
    HRESULT hr = S_OK;
    ULONG percent = 0;
    ASSERT_EQ(async->QueryStatus(&hr, &percent), S_OK);
    EXPECT_EQ(hr, E_FAIL);
    EXPECT_EQ(percent, 100u);
    EXPECT_EQ(view(created.lun).size, kGiB);
}

TEST_F(LunSimTest, ShrinkRecoverAndStatusChangesAreNotOffered)
{
    auto subsystem = managedArray("127.88.2.3");
    const CreatedLun created = createLun(subsystem, VDS_LT_SIMPLE, kGiB);
    ASSERT_EQ(created.outcome, S_OK);
    control().resetRequestCounts();
    CComPtr<IVdsAsync> async;
    EXPECT_EQ(created.lun->Shrink(512, async.put()), VDS_E_NOT_SUPPORTED);
    EXPECT_EQ(created.lun->Shrink(512, nullptr), E_INVALIDARG);
    EXPECT_EQ(created.lun->Recover(async.put()), VDS_E_NOT_SUPPORTED);
    EXPECT_EQ(created.lun->SetStatus(VDS_LS_OFFLINE), VDS_E_NOT_SUPPORTED);
    EXPECT_EQ(created.lun->SetStatus(VDS_LS_NOT_READY), E_INVALIDARG);
    EXPECT_TRUE(control().requestCounts().empty() ||
                control().requestCount("ReconfigureVolume") == 0u);
    EXPECT_EQ(view(created.lun).size, kGiB);
}

TEST_F(LunSimTest, RenameReachesTheArrayAndTheProperties)
{
    auto subsystem = managedArray("127.88.2.4");
    const CreatedLun created = createLun(subsystem, VDS_LT_STRIPE, kGiB);
    ASSERT_EQ(created.outcome, S_OK);
    std::u16string name = u"payroll";
    CComPtr<IVdsLunNaming> naming;
    ASSERT_EQ(created.lun->QueryInterface(IID_IVdsLunNaming, naming.put_void()), S_OK);
    ASSERT_EQ(naming->SetFriendlyName(name.data()), S_OK);
    const LunView lun = view(created.lun);
    EXPECT_EQ(lun.friendlyName, "payroll");
    EXPECT_EQ(volumeNameOnArray(lun.identification), "payroll");
    EXPECT_EQ(naming->SetFriendlyName(nullptr), E_INVALIDARG);
    // The array's refusal of a name it has already is the LUN's failure.
    const CreatedLun other = createLun(subsystem, VDS_LT_SIMPLE, kGiB);
    CComPtr<IVdsLunNaming> otherNaming;
    ASSERT_EQ(other.lun->QueryInterface(IID_IVdsLunNaming, otherNaming.put_void()), S_OK);
    EXPECT_NE(otherNaming->SetFriendlyName(name.data()), S_OK);
}

TEST_F(LunSimTest, DeleteRemovesTheVolumeAndTheLunDepartsOnce)
{
    auto subsystem = managedArray("127.88.2.5");
    const CreatedLun created = createLun(subsystem, VDS_LT_SIMPLE, kGiB);
    ASSERT_EQ(created.outcome, S_OK);
    const LunView lun = view(created.lun);
    ASSERT_TRUE(volumeNameOnArray(lun.identification));
    const std::size_t before = lunIds(subsystem).size();

    ASSERT_EQ(created.lun->Delete(), S_OK);
    EXPECT_FALSE(volumeNameOnArray(lun.identification));
    EXPECT_EQ(notificationCount(VDS_NTT_LUN, VDS_NF_LUN_DEPART, lun.id), 1u);
    const auto after = lunIds(subsystem);
    EXPECT_EQ(after.size(), before - 1);
    EXPECT_EQ(std::find(after.begin(), after.end(), lun.id), after.end());
    // The array's own announcement of the deletion departs nothing twice.
    ASSERT_EQ(subsystem->Reenumerate(), S_OK);
    EXPECT_EQ(notificationCount(VDS_NTT_LUN, VDS_NF_LUN_DEPART, lun.id), 1u);
    EXPECT_EQ(lunIds(subsystem).size(), before - 1);
}

TEST_F(LunSimTest, HintsDescribeTheLayoutAndChangeIt)
{
    auto subsystem = managedArray("127.88.2.6");
    const CreatedLun parity = createLun(subsystem, VDS_LT_PARITY, kGiB);
    ASSERT_EQ(parity.outcome, S_OK);
    VDS_HINTS hints{};
    ASSERT_EQ(parity.lun->QueryHints(&hints), S_OK);
    EXPECT_TRUE(hints.bFastCrashRecoveryRequired);
    EXPECT_TRUE(hints.bOptimizeForSequentialReads);
    EXPECT_TRUE(hints.bOptimizeForSequentialWrites);
    EXPECT_TRUE(hints.bIsYankable);
    EXPECT_FALSE(hints.bMostlyReads);
    EXPECT_EQ(hints.sRebuildPriority, 16);
    EXPECT_GT(hints.ulStripeSize, 0u) << "the array's width";

    hints.sRebuildPriority = 17;
    control().resetRequestCounts();
    EXPECT_EQ(parity.lun->ApplyHints(&hints), E_INVALIDARG);
    EXPECT_EQ(control().requestCount("ReconfigureVolume"), 0u);

    // A simple LUN asked to serve mostly reads becomes a stripe.
    const CreatedLun simple = createLun(subsystem, VDS_LT_SIMPLE, kGiB);
    ASSERT_EQ(simple.outcome, S_OK);
    VDS_HINTS reads{};
    reads.bMostlyReads = TRUE;
    ASSERT_EQ(simple.lun->ApplyHints(&reads), S_OK);
    EXPECT_EQ(lastParameter("ReconfigureVolume", "VolumeOrganization").get<std::uint16_t>(), 2u);
    EXPECT_EQ(lastParameter("ReconfigureVolume", "StripeWidth").get<std::uint8_t>(), 3u);
    EXPECT_EQ(view(simple.lun).type, VDS_LT_STRIPE);
}

TEST_F(LunSimTest, IdentificationIsTheSameAfterTheProviderRestarted)
{
    auto subsystem = managedArray("127.88.2.7");
    CreatedLun created = createLun(subsystem, VDS_LT_SIMPLE, kGiB);
    ASSERT_EQ(created.outcome, S_OK);
    const Identification first = identify(created.lun);
    ASSERT_EQ(first.hr, S_OK);
    EXPECT_EQ(first.bus, VDSBusTypeiScsi);
    EXPECT_EQ(first.serialNumber, view(created.lun).identification);
    ASSERT_FALSE(first.identifiers.empty());

    // The host's disk carries the same identification: the provider finds its LUN.
    VDS_LUN_INFORMATION info{};
    ASSERT_EQ(created.lun->GetIdentificationData(&info), S_OK);
    CComPtr<IVdsHwProviderPrivate> hwPrivate;
    ASSERT_EQ(m_hw->QueryInterface(IID_IVdsHwProviderPrivate, hwPrivate.put_void()), S_OK);
    std::u16string device = u"\\\\?\\PhysicalDrive3";
    VDS_OBJECT_ID found{};
    EXPECT_EQ(hwPrivate->QueryIfCreatedLun(device.data(), &info, &found), S_OK);
    EXPECT_EQ(found, view(created.lun).id);
    COrvLun::FreeIdentificationData(info);

    // A new provider process sees the same LUN with the same identification.
    const std::string durable = first.serialNumber;
    hwPrivate.Release();
    created.lun.Release();
    created.async.Release();
    subsystem.Release();
    restartProvider();
    auto again = subsystemFor("127.88.2.7");
    ASSERT_TRUE(again);
    CComPtr<IVdsProviderPrivate> provider;
    ASSERT_EQ(m_host->provider()->QueryInterface(IID_IVdsProviderPrivate, provider.put_void()),
              S_OK);
    bool seen = false;
    for (const VDS_OBJECT_ID& id : lunIds(again)) {
        CComPtr<IUnknown> object;
        ASSERT_EQ(provider->GetObject(id, VDS_OT_LUN, object.put()), S_OK);
        CComPtr<IVdsLun> reloaded;
        ASSERT_EQ(object->QueryInterface(IID_IVdsLun, reloaded.put_void()), S_OK);
        const Identification later = identify(reloaded);
        if (later.serialNumber != durable)
            continue;
        seen = true;
        EXPECT_EQ(later.identifiers, first.identifiers);
        EXPECT_EQ(later.vendor, first.vendor);
    }
    EXPECT_TRUE(seen);
}

TEST_F(LunSimTest, ArrayChangesToTheVolumeBecomeModifyNotifications)
{
    auto subsystem = managedArray("127.88.2.8");
    const CreatedLun created = createLun(subsystem, VDS_LT_SIMPLE, kGiB);
    ASSERT_EQ(created.outcome, S_OK);
    const LunView lun = view(created.lun);
    // Renamed on the array by another client: the array's indication reaches VDS.
    control().model().update([&](Merrow::Sim::ModelTransaction& change) {
        for (auto& [id, volume] : change.state().volumes) {
            if (volume.durableName == lun.identification) {
                volume.name = "renamed-elsewhere";
                change.touchVolume(id);
            }
        }
    });
    ASSERT_TRUE(eventually(
        [&] { return notificationCount(VDS_NTT_LUN, VDS_NF_LUN_MODIFY, lun.id) >= 1u; }));
    ASSERT_TRUE(eventually([&] { return view(created.lun).friendlyName == "renamed-elsewhere"; }));
}

TEST_F(LunSimTest, SlowArrayStillAnswersAndAGoneArrayGivesAClearFailure)
{
    auto subsystem = managedArray("127.88.2.9");
    const CreatedLun created = createLun(subsystem, VDS_LT_SIMPLE, kGiB);
    ASSERT_EQ(created.outcome, S_OK);
    const LunView before = view(created.lun);

    control().setDelay(std::chrono::milliseconds(100));
    ASSERT_EQ(subsystem->Reenumerate(), S_OK);
    const LunView slow = view(created.lun);
    EXPECT_EQ(slow.hr, S_OK);
    EXPECT_EQ(slow.size, before.size);
    EXPECT_EQ(identify(created.lun).serialNumber, before.identification);
    control().setDelay(std::chrono::milliseconds(0));

    m_arrays.clear();
    m_array = nullptr;
    ASSERT_TRUE(eventually([&] { return view(created.lun).hr == E_FAIL; }));
    const Identification gone = identify(created.lun);
    EXPECT_EQ(gone.hr, S_OK);
    EXPECT_TRUE(gone.serialNumber.empty());
    EXPECT_TRUE(gone.identifiers.empty());
    CComPtr<IVdsAsync> async;
    ASSERT_EQ(created.lun->Extend(kGiB, nullptr, 0, async.put()), S_OK);
    EXPECT_EQ(waitFor(async), E_FAIL);
    EXPECT_EQ(created.lun->Delete(), E_FAIL);
}

} // namespace
} // namespace provider_test
