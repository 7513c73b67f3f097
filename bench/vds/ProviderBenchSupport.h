// What the provider benchmarks share: a scratch registry for the process, a simulated
// array sized for measuring, the managed-array list naming the arrays, and the LUN
// arrivals and departures counted at the advise sink.
#pragma once

#include "SimArray.h"

#include "platform/registry/Registry.h"
#include "platform/vds/RecordingAdviseSink.h"
#include "vds/framework/CorvaneInfoListWriter.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
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

// Counts the LUN notifications that reach the sink, by event. The sink's forwarder is ours
// while this lives. m_mutex guards m_counts; the sink calls in on the provider's threads.
class LunEvents {
public:
    explicit LunEvents(orv::platform::RecordingAdviseSink& sink) : m_sink(sink)
    {
        m_sink.setForwarder([this](const VDS_NOTIFICATION* records, std::size_t count) {
            std::lock_guard lock(m_mutex);
            for (std::size_t i = 0; i < count; ++i) {
                if (records[i].objectType == VDS_NTT_LUN)
                    ++m_counts[records[i].Lun.ulEvent];
            }
            m_arrived.notify_all();
        });
    }
    ~LunEvents() { m_sink.setForwarder({}); }
    LunEvents(const LunEvents&) = delete;
    LunEvents& operator=(const LunEvents&) = delete;

    std::size_t count(ULONG event)
    {
        std::lock_guard lock(m_mutex);
        return m_counts[event];
    }
    bool waitFor(ULONG event, std::size_t count, std::chrono::milliseconds limit)
    {
        std::unique_lock lock(m_mutex);
        return m_arrived.wait_for(lock, limit, [&] { return m_counts[event] >= count; });
    }

private:
    orv::platform::RecordingAdviseSink& m_sink;
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::map<ULONG, std::size_t> m_counts;
};

} // namespace bench_support
