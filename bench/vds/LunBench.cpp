// The LUN side of the provider against simulated arrays embedded in this process:
//   1. an array of 1,000 volumes: QueryLuns and GetProperties of every LUN from a freshly
//      loaded provider (cold: the first query fetches every volume), then the same again
//      (warm: the cached volumes);
//   2. CreateLun of a simple 1 GB LUN until its IVdsAsync completes, 100 times (p50, p99),
//      on an array that finishes volume creation at once and on one that runs it as a job.
//
// Run by hand: build/bin/lun_bench. The arrays listen on 127.88.250.1 and .2.
#include "ProviderBenchSupport.h"
#include "SimArray.h"

#include "platform/com/CComPtr.h"
#include "platform/com/TaskMemory.h"
#include "platform/registry/Registry.h"
#include "platform/vds/VdsProviderHost.h"
#include "vds/framework/CorvaneInfoListWriter.h"
#include "vds/framework/OrvVdsIds.h"
#include "vds/objects/COrvVdsProvider.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Merrow::UserAgent::Testing::SimArray;

constexpr ULONGLONG kGiB = 1ull << 30;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void listArray(const std::string& host)
{
    CorvaneInfoListWriter list;
    CorvaneInfo info;
    info.host = std::u16string(host.begin(), host.end());
    info.userName = u"admin";
    info.password = u"secret";
    list.AddOrUpdate(info);
    list.Save();
}

CComPtr<IVdsSubSystem> firstSubsystem(IVdsProvider* provider)
{
    CComPtr<IVdsHwProvider> hw;
    provider->QueryInterface(IID_IVdsHwProvider, hw.put_void());
    CComPtr<IEnumVdsObject> enumerator;
    hw->QuerySubSystems(enumerator.put());
    CComPtr<IUnknown> first;
    ULONG fetched = 0;
    CComPtr<IVdsSubSystem> subsystem;
    if (enumerator && enumerator->Next(1, first.put(), &fetched) == S_OK && fetched == 1)
        first->QueryInterface(IID_IVdsSubSystem, subsystem.put_void());
    return subsystem;
}

// QueryLuns and GetProperties of each LUN; the number of LUNs whose properties came.
std::size_t readEveryLun(IVdsSubSystem* subsystem)
{
    CComPtr<IEnumVdsObject> enumerator;
    if (subsystem->QueryLuns(enumerator.put()) != S_OK)
        return 0;
    std::size_t read = 0;
    for (;;) {
        CComPtr<IUnknown> object;
        ULONG fetched = 0;
        if (enumerator->Next(1, object.put(), &fetched) != S_OK || fetched != 1)
            break;
        CComPtr<IVdsLun> lun;
        object->QueryInterface(IID_IVdsLun, lun.put_void());
        VDS_LUN_PROP prop{};
        if (lun && lun->GetProperties(&prop) == S_OK)
            ++read;
        CoTaskMemFree(prop.pwszFriendlyName);
        CoTaskMemFree(prop.pwszIdentification);
        CoTaskMemFree(prop.pwszUnmaskingList);
    }
    return read;
}

void propertiesOfAThousandLuns()
{
    bench_support::ScratchRegistry registry;
    auto options = Merrow::UserAgent::Testing::simOptions("127.88.250.1");
    options.array.volumes = 1000;
    options.array.volumeBytes = 64ull << 20;
    options.array.disks = 16;
    options.array.diskBytes = 600'000'000'000ull;
    SimArray array(options);
    listArray("127.88.250.1");

    orv::platform::VdsProviderHost host;
    if (host.load(CLSID_OrvVdsProvider) != S_OK) {
        std::printf("load failed\n");
        return;
    }
    CComPtr<IVdsSubSystem> subsystem = firstSubsystem(host.provider());
    if (!subsystem)
        return;
    const auto coldStart = Clock::now();
    const std::size_t cold = readEveryLun(subsystem);
    const double coldMs = ms(Clock::now() - coldStart);
    constexpr int kWarmRounds = 10;
    std::vector<double> warm;
    for (int i = 0; i < kWarmRounds; ++i) {
        const auto start = Clock::now();
        readEveryLun(subsystem);
        warm.push_back(ms(Clock::now() - start));
    }
    std::sort(warm.begin(), warm.end());
    std::vector<double> queries;
    for (int i = 0; i < kWarmRounds; ++i) {
        const auto start = Clock::now();
        CComPtr<IEnumVdsObject> enumerator;
        subsystem->QueryLuns(enumerator.put());
        queries.push_back(ms(Clock::now() - start));
    }
    std::sort(queries.begin(), queries.end());
    std::printf("of which QueryLuns alone, warm median %.1f ms\n", queries[queries.size() / 2]);
    std::printf("QueryLuns + GetProperties of %zu LUNs: cold %.0f ms, warm median %.1f ms "
                "(of %d rounds)\n",
                cold, coldMs, warm[warm.size() / 2], kWarmRounds);
}

void createLuns(bool jobs)
{
    bench_support::ScratchRegistry registry;
    auto options = Merrow::UserAgent::Testing::simOptions("127.88.250.2");
    options.array.disks = 16;
    options.array.diskBytes = 600'000'000'000ull;
    options.jobs = jobs;
    options.jobMilliseconds = 200;
    SimArray array(options);
    listArray("127.88.250.2");
    orv::platform::VdsProviderHost host;
    if (host.load(CLSID_OrvVdsProvider) != S_OK)
        return;
    CComPtr<IVdsSubSystem> subsystem = firstSubsystem(host.provider());
    if (!subsystem)
        return;
    readEveryLun(subsystem);
    std::vector<double> times;
    std::u16string nobody;
    for (int i = 0; i < 100; ++i) {
        VDS_HINTS hints{};
        CComPtr<IVdsAsync> async;
        const auto start = Clock::now();
        if (subsystem->CreateLun(VDS_LT_SIMPLE, kGiB, nullptr, 0, nobody.data(), &hints,
                                 async.put()) != S_OK)
            continue;
        HRESULT outcome = E_FAIL;
        VDS_ASYNC_OUTPUT output{};
        async->Wait(&outcome, &output);
        times.push_back(ms(Clock::now() - start));
        if (output.cl.pLunUnk != nullptr)
            output.cl.pLunUnk->Release();
        if (FAILED(outcome))
            std::printf("create %d failed: 0x%08X\n", i, static_cast<unsigned>(outcome));
    }
    std::sort(times.begin(), times.end());
    if (times.empty())
        return;
    std::printf("CreateLun 1 GB simple until complete (%s): %zu runs, p50 %.1f ms, p99 %.1f ms\n",
                jobs ? "array runs a 200 ms job" : "array finishes at once", times.size(),
                times[times.size() / 2], times[times.size() * 99 / 100]);
}

} // namespace

int main()
{
    COrvVdsProvider::RegisterClassObject();
    propertiesOfAThousandLuns();
    createLuns(false);
    createLuns(true);
    return 0;
}
