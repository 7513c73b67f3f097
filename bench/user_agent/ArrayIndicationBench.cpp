// From a change in the simulated array to the service indication on the provider's side:
// latency of single changes and the rate of a burst, with the array's real indication
// sender, our listener, the dispatcher and the routing in between.

#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/indications/MerrowServiceWeakRef.h"
#include "user_agent/root/MerrowUserAgent.h"

#include "ServiceIndicationCollector.h"
#include "SimArray.h"
#include "UATestDoubles.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using namespace Merrow::UserAgent;
using namespace Merrow::UserAgent::Testing;
using Clock = std::chrono::steady_clock;
using I = UAIndication;

constexpr std::uint64_t kVolumeBytes = 1ull << 26;

// A connected root with one service for creations of one class and one for its deletions.
struct ArrayPipeline {
    ArrayPipeline(const std::string& address, std::string className, std::string keyName)
        : array(address), watchedClass(std::move(className)), key(std::move(keyName)) {
        root.Start();
        connection = root.GetConnection(address);
        if (connection.Connect(kSimUser, kSimPassword).isFailure())
            throw std::runtime_error("log-in failed");
        created = serviceFor(I::CIMIndicationType_Creation);
        deleted = serviceFor(I::CIMIndicationType_Deletion);
        ServiceIndication none;
        root.GetNextServiceIndication(none, 0);
    }

    std::shared_ptr<TestService> serviceFor(std::int32_t type) {
        auto service = std::make_shared<TestService>(CorvaneConnectionWeakRef(connection),
                                                     profiles(MerrowReturnValue()));
        connection.GetConnectionImpl()->AddIndicationConsumer(type, watchedClass,
                                                              MerrowServiceWeakRef(service));
        return service;
    }

    // Waits for the service indication of `service` about the object with key value `id`.
    void await(const std::shared_ptr<TestService>& service, const std::string& id) {
        const auto taken = takeUntil(root, [&](const ServiceIndication& indication) {
            const auto* binding =
                indication.GetIndication().GetSourceObjectPath().findKeyBinding(key);
            return indication.GetService().IsSameService(MerrowService(service)) && binding &&
                   binding->getValue() == id;
        });
        if (taken.empty())
            throw std::runtime_error("no service indication for " + id);
    }

    std::uint64_t indicationsSent() { return array.simulator().indications().delivered(); }

    SimArray array;
    const std::string watchedClass;
    const std::string key;
    MerrowUserAgent root;
    CorvaneConnection connection;
    std::shared_ptr<TestService> created;
    std::shared_ptr<TestService> deleted;
};

double percentile(std::vector<double> samples, double fraction) {
    std::sort(samples.begin(), samples.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1));
    return samples[index];
}

void reportLatency(benchmark::State& state, const std::vector<double>& microseconds,
                   std::uint64_t indications) {
    state.counters["changes"] = static_cast<double>(microseconds.size());
    state.counters["indications_per_change"] =
        static_cast<double>(indications) / static_cast<double>(microseconds.size());
    state.counters["p50_us"] = percentile(microseconds, 0.50);
    state.counters["p99_us"] = percentile(microseconds, 0.99);
}

// Times `change` from the control call to its service indication taken from the root's queue.
template <typename Change> void timeChange(std::vector<double>& microseconds, Change&& change) {
    const auto start = Clock::now();
    change();
    microseconds.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
}

// 1,000 changes one after the other (a volume added, then removed again). A volume change
// touches many objects (settings, target, pool, ...), each reported with an indication of
// its own, and the volume's own indication is not the first of them.
void BM_VolumeChangeLatency(benchmark::State& state) {
    ArrayPipeline pipeline("127.77.9.1", "CIM_StorageVolume", "DeviceID");
    std::vector<double> microseconds;
    const std::uint64_t sentBefore = pipeline.indicationsSent();
    for (auto _ : state) {
        for (int i = 0; i < 500; ++i) {
            std::string id;
            timeChange(microseconds, [&] {
                if (pipeline.array.control().addVolume("lat" + std::to_string(i), kVolumeBytes,
                                                       id) != Merrow::Sim::ControlResult::Ok)
                    throw std::runtime_error("volume not added");
                pipeline.await(pipeline.created, id);
            });
            timeChange(microseconds, [&] {
                pipeline.array.control().removeVolume(id);
                pipeline.await(pipeline.deleted, id);
            });
        }
    }
    reportLatency(state, microseconds, pipeline.indicationsSent() - sentBefore);
}
BENCHMARK(BM_VolumeChangeLatency)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same with initiators, which the array reports with one indication per change.
void BM_InitiatorChangeLatency(benchmark::State& state) {
    ArrayPipeline pipeline("127.77.9.3", "CIM_StorageHardwareID", "InstanceID");
    std::vector<double> microseconds;
    const std::uint64_t sentBefore = pipeline.indicationsSent();
    for (auto _ : state) {
        for (int i = 0; i < 500; ++i) {
            const std::string name = "iqn.2026-01.com.example:bench-" + std::to_string(i);
            std::string id;
            timeChange(microseconds, [&] {
                if (pipeline.array.control().addInitiator(name, id) !=
                    Merrow::Sim::ControlResult::Ok)
                    throw std::runtime_error("initiator not added");
                pipeline.await(pipeline.created, id);
            });
            timeChange(microseconds, [&] {
                pipeline.array.control().removeInitiator(name);
                pipeline.await(pipeline.deleted, id);
            });
        }
    }
    reportLatency(state, microseconds, pipeline.indicationsSent() - sentBefore);
}
BENCHMARK(BM_InitiatorChangeLatency)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// A burst of volume additions made as fast as the array takes them; the time runs until the
// last one's service indication is taken. Reports the array's indications (every object the
// changes touch) and the service indications per second.
void BM_ArrayChangeBurst(benchmark::State& state) {
    ArrayPipeline pipeline("127.77.9.2", "CIM_StorageVolume", "DeviceID");
    const int burst = static_cast<int>(state.range(0));
    std::uint64_t indications = 0;
    std::uint64_t serviceIndications = 0;
    int round = 0;
    for (auto _ : state) {
        const std::uint64_t sentBefore = pipeline.indicationsSent();
        std::vector<std::string> ids(burst);
        for (int i = 0; i < burst; ++i)
            pipeline.array.control().addVolume(
                // Appended rather than a literal + std::string: GCC 12 warns falsely (-Wrestrict) on that at -O2.
                (std::string(1, 'b') += std::to_string(round)) + "-" + std::to_string(i), kVolumeBytes, ids[i]);
        for (const std::string& id : ids)
            pipeline.await(pipeline.created, id);
        indications += pipeline.indicationsSent() - sentBefore;
        serviceIndications += burst;
        state.PauseTiming();
        for (const std::string& id : ids)
            pipeline.array.control().removeVolume(id);
        for (const std::string& id : ids)
            pipeline.await(pipeline.deleted, id);
        ++round;
        state.ResumeTiming();
    }
    state.counters["indications_per_s"] =
        benchmark::Counter(static_cast<double>(indications), benchmark::Counter::kIsRate);
    state.counters["service_indications_per_s"] =
        benchmark::Counter(static_cast<double>(serviceIndications), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ArrayChangeBurst)
    ->Arg(200)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
