// How fast indications get from the wire to the provider's queue: latency of one indication
// and the sustained rate through listener, dispatcher and routing; and how long Stop takes
// right after Start with the product's periods.

#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/indications/MerrowServiceWeakRef.h"
#include "user_agent/root/MerrowUserAgent.h"

#include "IndicationPoster.h"
#include "UATestDoubles.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using namespace Merrow::UserAgent;
using namespace Merrow::UserAgent::Testing;
using Clock = std::chrono::steady_clock;

constexpr const char* kHost = "bench-array";
constexpr std::uint32_t kPatienceMs = 30000;

// A started root with one connection and a service that takes every volume creation.
struct Pipeline {
    Pipeline() {
        root.Start();
        // The posters stand in for an array that subscribed from the loopback address.
        root.GetImpl().AllowIndicationSender("127.0.0.1");
        CorvaneConnection connection = root.GetConnection(kHost);
        service = std::make_shared<TestService>(CorvaneConnectionWeakRef(connection),
                                                profiles(MerrowReturnValue()));
        connection.GetConnectionImpl()->AddIndicationConsumer(
            UAIndication::CIMIndicationType_Creation, "CIM_StorageVolume",
            MerrowServiceWeakRef(service));
        ServiceIndication none;
        root.GetNextServiceIndication(none, 0);
    }

    void takeOne() {
        ServiceIndication indication;
        if (!root.GetNextServiceIndication(indication, kPatienceMs))
            throw std::runtime_error("no service indication");
    }

    MerrowUserAgent root;
    std::shared_ptr<TestService> service;
};

double percentile(std::vector<double> samples, double fraction) {
    std::sort(samples.begin(), samples.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1));
    return samples[index];
}

// One indication posted, then its service indication taken, 1,000 times.
void BM_PostedIndicationLatency(benchmark::State& state) {
    Pipeline pipeline;
    IndicationPoster poster(pipeline.root.GetImpl().GetListenerPort());
    const cim::CIMInstance indication =
        makeIndicationInstance("CIM_InstCreation", makeVolume("v1"));
    std::vector<double> microseconds;
    for (auto _ : state) {
        microseconds.clear();
        for (int i = 0; i < 1000; ++i) {
            const auto start = Clock::now();
            poster.post(kHost, indication);
            pipeline.takeOne();
            microseconds.push_back(
                std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        }
    }
    state.counters["p50_us"] = percentile(microseconds, 0.50);
    state.counters["p99_us"] = percentile(microseconds, 0.99);
}
BENCHMARK(BM_PostedIndicationLatency)->Iterations(1)->Unit(benchmark::kMillisecond);

// Senders on their own connections post as fast as the listener answers; the provider side
// takes the service indications. Each iteration moves 4,000 indications.
void BM_PostedIndicationRate(benchmark::State& state) {
    constexpr int kBatch = 4000;
    const int senders = static_cast<int>(state.range(0));
    Pipeline pipeline;
    const std::uint16_t port = pipeline.root.GetImpl().GetListenerPort();
    const cim::CIMInstance indication =
        makeIndicationInstance("CIM_InstCreation", makeVolume("v1"));
    for (auto _ : state) {
        std::vector<std::thread> threads;
        for (int s = 0; s < senders; ++s)
            threads.emplace_back([&] {
                IndicationPoster poster(port);
                for (int i = 0; i < kBatch / senders; ++i)
                    poster.post(kHost, indication);
            });
        for (int i = 0; i < kBatch / senders * senders; ++i)
            pipeline.takeOne();
        for (auto& thread : threads)
            thread.join();
    }
    state.SetItemsProcessed(state.iterations() * (kBatch / senders * senders));
}
BENCHMARK(BM_PostedIndicationRate)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Stop right after Start, with the product's periods (10 s idle, 1 s poll and wait).
void BM_StartThenStop(benchmark::State& state) {
    MerrowUserAgent root;
    for (auto _ : state) {
        root.Start();
        root.Stop();
    }
}
BENCHMARK(BM_StartThenStop)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
