// The provider's iSCSI side against a simulated array embedded in this process:
//   1. SetMask of one LUN to 16 initiators the array does not know yet, then to none, and
//      the same again with the initiators known: time and CIM requests of each;
//   2. "list targets" and "list portals" as orvraid does them (Query, then GetProperties of
//      each object) on an array of 1,000 volumes: cold (first use after load) and warm.
//
// Run by hand: build/bench/vds/target_bench. The arrays listen on 127.90.250.1 and .2.
#include "ProviderBenchSupport.h"

#include "platform/com/CComPtr.h"
#include "platform/com/TaskMemory.h"
#include "platform/com/TextConversion.h"
#include "platform/registry/Registry.h"
#include "platform/vds/VdsProviderHost.h"
#include "vds/framework/CorvaneInfoListWriter.h"
#include "vds/framework/OrvVdsIds.h"
#include "vds/objects/COrvVdsProvider.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Merrow::UserAgent::Testing::SimArray;
using bench_support::listArrays;
using bench_support::ScratchRegistry;
using bench_support::startArray;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

template <class Interface>
std::vector<CComPtr<Interface>> drain(IEnumVdsObject* enumerator, const IID& iid)
{
    std::vector<CComPtr<Interface>> out;
    IUnknown* next = nullptr;
    ULONG fetched = 0;
    while (enumerator != nullptr && enumerator->Next(1, &next, &fetched) == S_OK && fetched == 1) {
        CComPtr<IUnknown> held;
        held.Attach(next);
        CComPtr<Interface> typed;
        held->QueryInterface(iid, typed.put_void());
        out.push_back(typed);
    }
    return out;
}

CComPtr<IVdsSubSystem> firstSubsystem(IVdsProvider* provider)
{
    CComPtr<IVdsHwProvider> hw;
    provider->QueryInterface(IID_IVdsHwProvider, hw.put_void());
    CComPtr<IEnumVdsObject> enumerator;
    hw->QuerySubSystems(enumerator.put());
    auto all = drain<IVdsSubSystem>(enumerator.get(), IID_IVdsSubSystem);
    return all.empty() ? CComPtr<IVdsSubSystem>() : all.front();
}

std::uint64_t totalRequests(SimArray& array)
{
    const auto counts = array.control().requestCounts();
    return std::accumulate(counts.begin(), counts.end(), std::uint64_t{0},
                           [](std::uint64_t sum, const auto& entry) { return sum + entry.second; });
}

void measureMask(SimArray& array, IVdsLun* lun, const std::string& what, const std::string& list)
{
    std::u16string wide = orv::platform::Utf8ToUtf16(list);
    array.control().resetRequestCounts();
    const auto start = Clock::now();
    const HRESULT hr = lun->SetMask(wide.data());
    const double took = ms(Clock::now() - start);
    std::printf("%-44s %8.1f ms %6llu CIM requests (hr 0x%08x)\n", what.c_str(), took,
                static_cast<unsigned long long>(totalRequests(array)), static_cast<unsigned>(hr));
}

void unmaskSixteen()
{
    ScratchRegistry registry;
    auto array = startArray("127.90.250.1", 2);
    listArrays({"127.90.250.1"});
    orv::platform::VdsProviderHost host;
    if (host.load(CLSID_OrvVdsProvider) != S_OK)
        return;
    CComPtr<IVdsSubSystem> subsystem = firstSubsystem(host.provider());
    CComPtr<IEnumVdsObject> enumerator;
    subsystem->QueryLuns(enumerator.put());
    auto luns = drain<IVdsLun>(enumerator.get(), IID_IVdsLun);
    if (luns.empty())
        return;
    std::string sixteen;
    for (int i = 0; i < 16; ++i)
        sixteen += (i == 0 ? "" : ";") + std::string("iqn.2026-11.com.example:bench-") + std::to_string(i);
    measureMask(*array, luns[0].get(), "16 unknown initiators", sixteen);
    measureMask(*array, luns[0].get(), "then none", "");
    measureMask(*array, luns[0].get(), "16 known initiators", sixteen);
    measureMask(*array, luns[0].get(), "the same 16 again (nothing to do)", sixteen);
    measureMask(*array, luns[0].get(), "then none", "");
}

template <class Interface, class Read>
void measureList(const char* what, IVdsSubSystemIscsi* iscsi,
                 HRESULT (IVdsSubSystemIscsi::*query)(IEnumVdsObject**), const IID& iid, Read read)
{
    for (const char* round : {"cold", "warm"}) {
        const auto start = Clock::now();
        CComPtr<IEnumVdsObject> enumerator;
        (iscsi->*query)(enumerator.put());
        auto objects = drain<Interface>(enumerator.get(), iid);
        for (auto& object : objects)
            read(object.get());
        std::printf("%-12s %s: %8.1f ms for %zu objects\n", what, round, ms(Clock::now() - start), objects.size());
    }
}

void listThousand()
{
    ScratchRegistry registry;
    auto array = startArray("127.90.250.2", 1000);
    listArrays({"127.90.250.2"});
    orv::platform::VdsProviderHost host;
    if (host.load(CLSID_OrvVdsProvider) != S_OK)
        return;
    CComPtr<IVdsSubSystem> subsystem = firstSubsystem(host.provider());
    CComPtr<IVdsSubSystemIscsi> iscsi;
    subsystem->QueryInterface(IID_IVdsSubSystemIscsi, iscsi.put_void());
    measureList<IVdsIscsiTarget>("list targets", iscsi.get(), &IVdsSubSystemIscsi::QueryTargets,
                                 IID_IVdsIscsiTarget, [](IVdsIscsiTarget* target) {
                                     VDS_ISCSI_TARGET_PROP prop{};
                                     target->GetProperties(&prop);
                                     CoTaskMemFree(prop.pwszIscsiName);
                                     CoTaskMemFree(prop.pwszFriendlyName);
                                 });
    measureList<IVdsIscsiPortal>("list portals", iscsi.get(), &IVdsSubSystemIscsi::QueryPortals,
                                 IID_IVdsIscsiPortal, [](IVdsIscsiPortal* portal) {
                                     VDS_ISCSI_PORTAL_PROP prop{};
                                     portal->GetProperties(&prop);
                                 });
}

} // namespace

int main()
{
    COrvVdsProvider::RegisterClassObject();
    unmaskSixteen();
    listThousand();
    return 0;
}
