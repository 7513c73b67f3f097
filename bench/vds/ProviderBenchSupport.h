// What the provider benchmarks share: a scratch registry for the process, a simulated
// array sized for measuring, and the managed-array list naming the arrays.
#pragma once

#include "SimArray.h"

#include "platform/registry/Registry.h"
#include "vds/framework/CorvaneInfoListWriter.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace bench_support {

using Merrow::UserAgent::Testing::SimArray;

class ScratchRegistry {
public:
    ScratchRegistry()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvds-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::exit(1);
        m_dir = pattern;
        orv::platform::Registry::open(m_dir / "registry.db", m_registry);
        orv::platform::Registry::setProcessRegistry(m_registry);
    }
    ~ScratchRegistry()
    {
        orv::platform::Registry::setProcessRegistry(nullptr);
        m_registry.reset();
        std::filesystem::remove_all(m_dir);
    }

private:
    std::filesystem::path m_dir;
    std::shared_ptr<orv::platform::Registry> m_registry;
};

inline std::unique_ptr<SimArray> startArray(const std::string& address, unsigned volumes)
{
    auto options = Merrow::UserAgent::Testing::simOptions(address);
    options.array.volumes = volumes;
    options.array.volumeBytes = 64ull << 20;
    options.array.disks = 16;
    options.array.diskBytes = 600'000'000'000ull;
    return std::make_unique<SimArray>(options);
}

inline void listArrays(const std::vector<std::string>& hosts)
{
    CorvaneInfoListWriter list;
    for (const auto& host : hosts) {
        CorvaneInfo info;
        info.host = std::u16string(host.begin(), host.end());
        info.userName = u"admin";
        info.password = u"secret";
        list.AddOrUpdate(info);
    }
    list.Save();
}

} // namespace bench_support
