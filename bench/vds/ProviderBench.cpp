// The provider end to end against simulated arrays embedded in this process:
//   1. from a change on the array (a volume made or deleted) to the LUN's own notification at
//      the advise sink (its arrival or its departure), over 1,000 changes (p50, p99). A change
//      brings more than one notification (the volume's target arrives and departs with it),
//      so counting any notification would take the last change's late ones for this one's
//      and delete a volume that the provider had not seen yet;
//   2. OnLoad with 4 arrays of 1,000 volumes each until every subsystem is connected and
//      QueryLuns has answered once;
//   3. a warm QuerySubSystems plus GetProperties of each subsystem;
//   4. the resident memory of the process (provider and, here, the 4 simulated arrays too).
//
// Run by hand: build/bin/provider_bench. The arrays listen on 127.84.250.1 to .5.
#include "ProviderBenchSupport.h"

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
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Merrow::UserAgent::Testing::SimArray;
using bench_support::listArrays;
using bench_support::LunEvents;
using bench_support::ScratchRegistry;
using bench_support::startArray;

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

std::vector<CComPtr<IVdsSubSystem>> subsystems(IVdsProvider* provider)
{
    CComPtr<IVdsHwProvider> hw;
    provider->QueryInterface(IID_IVdsHwProvider, hw.put_void());
    CComPtr<IEnumVdsObject> enumerator;
    hw->QuerySubSystems(enumerator.put());
    std::vector<CComPtr<IVdsSubSystem>> out;
    IUnknown* next = nullptr;
    ULONG fetched = 0;
    while (enumerator->Next(1, &next, &fetched) == S_OK && fetched == 1) {
        CComPtr<IUnknown> held;
        held.Attach(next);
        CComPtr<IVdsSubSystem> subsystem;
        held->QueryInterface(IID_IVdsSubSystem, subsystem.put_void());
        out.push_back(subsystem);
    }
    return out;
}

std::size_t lunCount(IVdsSubSystem* subsystem)
{
    CComPtr<IEnumVdsObject> enumerator;
    if (subsystem->QueryLuns(enumerator.put()) != S_OK)
        return 0;
    std::size_t count = 0;
    IUnknown* next = nullptr;
    ULONG fetched = 0;
    while (enumerator->Next(1, &next, &fetched) == S_OK && fetched == 1) {
        next->Release();
        ++count;
    }
    return count;
}

void changeToNotification()
{
    ScratchRegistry registry;
    auto array = startArray("127.84.250.5", 2);
    listArrays({"127.84.250.5"});
    orv::platform::VdsProviderHost host;
    if (host.load(CLSID_OrvVdsProvider) != S_OK)
        return;
    auto all = subsystems(host.provider());
    lunCount(all.front()); // the volume list is watched from the first query on
    LunEvents events(host.notifications());
    std::vector<double> latencies;
    std::string deviceId;
    int misses = 0;
    for (int i = 0; i < 1000; ++i) {
        const bool creation = i % 2 == 0;
        const ULONG event = creation ? VDS_NF_LUN_ARRIVE : VDS_NF_LUN_DEPART;
        const std::size_t before = events.count(event);
        const auto start = Clock::now();
        if (creation)
            array->control().addVolume("bench-" + std::to_string(i), 64ull << 20, deviceId);
        else
            array->control().removeVolume(deviceId);
        if (!events.waitFor(event, before + 1, std::chrono::seconds(10))) {
            std::printf("change %d: no LUN %s within 10 s\n", i, creation ? "arrival" : "departure");
            ++misses;
            continue;
        }
        latencies.push_back(ms(Clock::now() - start));
    }
    std::sort(latencies.begin(), latencies.end());
    if (latencies.empty())
        return;
    std::printf("change to LUN notification: %zu changes, %d missed, p50 %.2f ms, p99 %.2f ms, "
                "max %.2f ms\n",
                latencies.size(), misses, latencies[latencies.size() / 2],
                latencies[latencies.size() * 99 / 100], latencies.back());
}

void loadFourLargeArrays()
{
    ScratchRegistry registry;
    std::vector<std::unique_ptr<SimArray>> arrays;
    std::vector<std::string> hosts;
    for (int i = 1; i <= 4; ++i) {
        hosts.push_back("127.84.250." + std::to_string(i));
        arrays.push_back(startArray(hosts.back(), 1000));
    }
    listArrays(hosts);
    const long rssBefore = residentKiB();
    const auto start = Clock::now();
    orv::platform::VdsProviderHost host;
    if (host.load(CLSID_OrvVdsProvider) != S_OK) {
        std::printf("load failed\n");
        return;
    }
    auto all = subsystems(host.provider());
    std::size_t luns = 0;
    for (auto& subsystem : all)
        luns += lunCount(subsystem);
    const auto loaded = Clock::now() - start;
    std::printf("OnLoad with 4 arrays of 1,000 volumes until every QueryLuns answered: %.0f ms "
                "(%zu subsystems, %zu LUNs)\n",
                ms(loaded), all.size(), luns);

    constexpr int kRounds = 1000;
    std::size_t answered = 0;
    std::size_t online = 0;
    std::size_t asked = 0;
    const auto warmStart = Clock::now();
    for (int round = 0; round < kRounds; ++round) {
        for (auto& subsystem : subsystems(host.provider())) {
            VDS_SUB_SYSTEM_PROP prop{};
            ++asked;
            if (subsystem->GetProperties(&prop) == S_OK)
                ++answered;
            if (prop.status == VDS_SSS_ONLINE && prop.pwszFriendlyName != nullptr)
                ++online;
            CoTaskMemFree(prop.pwszFriendlyName);
            CoTaskMemFree(prop.pwszIdentification);
        }
    }
    std::printf("warm QuerySubSystems + GetProperties of each: %.3f ms per round "
                "(%zu of %zu answered S_OK, %zu online with a name)\n",
                ms(Clock::now() - warmStart) / kRounds, answered, asked, online);
    const long rssAfter = residentKiB();
    std::printf("resident memory: %ld KiB in all, %ld KiB added by loading the provider "
                "(the arrays are in this process too)\n",
                rssAfter, rssAfter - rssBefore);
}

} // namespace

int main()
{
    COrvVdsProvider::RegisterClassObject();
    changeToNotification();
    loadFourLargeArrays();
    return 0;
}
