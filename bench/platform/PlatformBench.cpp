// Costs of the platform pieces the provider uses on its hot paths: registry reads and
// writes (the managed-array list is reloaded every 10 s and saved on each change), GUID
// text and UTF conversion (every property record).
#include "platform/com/Guid.h"
#include "platform/com/TextConversion.h"
#include "platform/registry/RegistryKey.h"
#include "platform/registry/RegistryTransaction.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace orv::platform;

// A registry in a fresh temporary directory for one benchmark run.
class ScratchRegistry {
public:
    ScratchRegistry()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvds-bench-XXXXXX").string();
        m_directory = ::mkdtemp(pattern.data());
        Registry::open(m_directory / "registry.db", m_registry);
        m_hklm = RegistryKey::root(HKEY_LOCAL_MACHINE, m_registry);
    }
    ~ScratchRegistry()
    {
        m_hklm.close();
        m_registry.reset();
        std::filesystem::remove_all(m_directory);
    }
    const RegistryKey& hklm() const { return m_hklm; }
    const std::shared_ptr<Registry>& registry() const { return m_registry; }

private:
    std::filesystem::path m_directory;
    std::shared_ptr<Registry> m_registry;
    RegistryKey m_hklm;
};

void RegistryQueryString(benchmark::State& state)
{
    ScratchRegistry scratch;
    RegistryKey key;
    key.create(scratch.hklm(), u"Software\\OrvVds\\connections\\10.0.0.2");
    key.setString(u"UserName", u"administrator");
    std::u16string text;
    for (auto _ : state)
        benchmark::DoNotOptimize(key.queryString(u"UserName", text));
}
BENCHMARK(RegistryQueryString);

void RegistrySetDword(benchmark::State& state)
{
    ScratchRegistry scratch;
    RegistryKey key;
    key.create(scratch.hklm(), u"Software\\OrvVds\\VDS");
    DWORD value = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(key.setDword(u"SeverityFilter", ++value));
}
BENCHMARK(RegistrySetDword);

void RegistryOpenNestedKey(benchmark::State& state)
{
    ScratchRegistry scratch;
    RegistryKey created;
    created.create(scratch.hklm(), u"Software\\OrvVds\\connections\\10.0.0.2");
    for (auto _ : state) {
        RegistryKey key;
        benchmark::DoNotOptimize(key.open(scratch.hklm(), u"Software\\OrvVds\\connections\\10.0.0.2"));
    }
}
BENCHMARK(RegistryOpenNestedKey);

// A whole save of the managed-array list: empty the key, then one host key with a user
// name and a 128-byte password per array, as one transaction.
void RegistrySaveArrayList(benchmark::State& state)
{
    ScratchRegistry scratch;
    RegistryKey connections;
    connections.create(scratch.hklm(), u"Software\\OrvVds\\connections");
    const BYTE blob[128] = {};
    for (auto _ : state) {
        RegistryTransaction transaction(scratch.registry());
        connections.deleteTree(u"");
        for (int64_t i = 0; i < state.range(0); ++i) {
            const std::string host = "10.0.0." + std::to_string(i);
            RegistryKey key;
            key.create(connections, Utf8ToUtf16(host));
            key.setString(u"UserName", u"administrator");
            key.setBinary(u"Password", blob, sizeof(blob));
        }
        benchmark::DoNotOptimize(transaction.commit());
    }
}
BENCHMARK(RegistrySaveArrayList)->Arg(1)->Arg(16);

// A reload: enumerate the host keys and read both values of each.
void RegistryLoadArrayList(benchmark::State& state)
{
    ScratchRegistry scratch;
    RegistryKey connections;
    connections.create(scratch.hklm(), u"Software\\OrvVds\\connections");
    const BYTE blob[128] = {};
    for (int64_t i = 0; i < state.range(0); ++i) {
        RegistryKey key;
        key.create(connections, Utf8ToUtf16("10.0.0." + std::to_string(i)));
        key.setString(u"UserName", u"administrator");
        key.setBinary(u"Password", blob, sizeof(blob));
    }
    for (auto _ : state) {
        std::u16string host;
        for (DWORD index = 0; connections.enumKey(index, host) == ERROR_SUCCESS; ++index) {
            RegistryKey key;
            key.open(connections, host);
            std::u16string user;
            std::vector<BYTE> password;
            key.queryString(u"UserName", user);
            key.queryBinary(u"Password", password);
        }
    }
}
BENCHMARK(RegistryLoadArrayList)->Arg(1)->Arg(16);

void GuidTextRoundTrip(benchmark::State& state)
{
    GUID guid;
    CoCreateGuid(&guid);
    for (auto _ : state)
        benchmark::DoNotOptimize(GuidFromString(GuidToString(guid)));
}
BENCHMARK(GuidTextRoundTrip);

void CreateGuid(benchmark::State& state)
{
    GUID guid;
    for (auto _ : state)
        benchmark::DoNotOptimize(CoCreateGuid(&guid));
}
BENCHMARK(CreateGuid);

void Utf8ToUtf16Name(benchmark::State& state)
{
    const std::string name = "iqn.2001-05.com.corvane:array1.target.volume-0042";
    for (auto _ : state)
        benchmark::DoNotOptimize(Utf8ToUtf16(name));
}
BENCHMARK(Utf8ToUtf16Name);

}  // namespace

BENCHMARK_MAIN();
