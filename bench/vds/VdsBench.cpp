// Costs of the VDS framework's hot paths: a scoped lock taken and released (every VDS call
// takes a few), an ordered GUID vector (every Query... call makes one), and the managed-array
// list's registry load and save (the provider reloads it every 10 s of idleness).
//
// Run by hand: build/bench/vds/vds_bench (traces go nowhere unless MWTRACE_OUTPUT_FILE is set).
#include "vds/framework/CorvaneInfoListWriter.h"
#include "vds/framework/PasswordProtector.h"
#include "vds/framework/VDSScopedLock.h"
#include "vds/framework/VdsLunList.h"

#include "TestListMembers.h"
#include "TestVdsObjects.h"

#include "platform/registry/Registry.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

void ScopedLockUncontended(benchmark::State& state)
{
    auto provider = TestProvider::Make();
    auto lun = TestLun::Make();
    for (auto _ : state) {
        VDSScopedLock providerLock(provider.get());
        VDSScopedLock lunLock(lun.get());
        benchmark::DoNotOptimize(lunLock.IsLocked());
    }
}
BENCHMARK(ScopedLockUncontended);

void OrderedLunGuidVector(benchmark::State& state)
{
    VdsLunListOf<ListLun> list(ListLun::kProvider);
    for (int i = 0; i < state.range(0); ++i) {
        GUID id{};
        CoCreateGuid(&id);
        auto lun = ListLun::Make(id);
        lun->m_answer.key = "volume-" + std::to_string(i * 7919 % 1000);
        list.InsertListObject(id, lun.get());
    }
    std::vector<VDS_OBJECT_ID> ids;
    for (auto _ : state) {
        ids.clear();
        list.GetGuidVector(ids);
        benchmark::DoNotOptimize(ids.data());
    }
}
BENCHMARK(OrderedLunGuidVector)->Arg(16)->Arg(256);


// A registry of its own in a scratch directory, as the process registry.
class ScratchStore {
public:
    ScratchStore()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvds-bench-XXXXXX").string();
        m_directory = ::mkdtemp(pattern.data());
        orv::platform::Registry::open(m_directory / "registry.db", m_registry);
        orv::platform::Registry::setProcessRegistry(m_registry);
    }
    ~ScratchStore()
    {
        orv::platform::Registry::setProcessRegistry(nullptr);
        m_registry.reset();
        std::filesystem::remove_all(m_directory);
    }

private:
    std::filesystem::path m_directory;
    std::shared_ptr<orv::platform::Registry> m_registry;
};

void ProtectAndUnprotect(benchmark::State& state)
{
    ScratchStore store; // the machine key lives beside the registry
    BYTE blob[128];
    WCHAR text[64];
    for (auto _ : state) {
        PasswordProtector::Protect(u"a password of some length", blob, sizeof blob);
        PasswordProtector::Unprotect(blob, sizeof blob, text, sizeof text);
    }
}
BENCHMARK(ProtectAndUnprotect);

CorvaneInfoListWriter listOf(int entries)
{
    CorvaneInfoListWriter list;
    for (int i = 0; i < entries; ++i)
        list.Add({u"10.0.0." + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) +
                      std::u16string(1, static_cast<char16_t>(u'a' + i / 26)),
                  u"admin", u"secret", 0});
    return list;
}

void ArrayListSave(benchmark::State& state)
{
    ScratchStore store;
    CorvaneInfoListWriter list = listOf(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(list.Save());
}
BENCHMARK(ArrayListSave)->Arg(1)->Arg(16);

// The idle reload: every host is known already, so only the key names are read.
void ArrayListReloadKnownHosts(benchmark::State& state)
{
    ScratchStore store;
    CorvaneInfoListWriter list = listOf(static_cast<int>(state.range(0)));
    list.Save();
    for (auto _ : state)
        benchmark::DoNotOptimize(list.Load());
}
BENCHMARK(ArrayListReloadKnownHosts)->Arg(1)->Arg(16);

} // namespace

BENCHMARK_MAIN();
