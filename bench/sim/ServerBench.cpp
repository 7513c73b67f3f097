// The simulated array over the network: GetInstance round trips on one keep-alive
// connection, and EnumerateInstances of every volume of a large array, both with the
// project's CIM client against an embedded simulator on a loopback address of its own.

#include "sim/Simulator.h"

#include "cim/client/CIMClient.h"
#include "cim/value/CIMInstance.h"
#include "cim/value/CIMObjectPath.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace Merrow::Sim;

std::unique_ptr<Simulator> startSimulator(const char* address, unsigned volumes)
{
    SimulatorOptions options;
    options.array.address = address;
    options.array.volumes = volumes;
    options.array.volumeBytes = 64ull << 20;
    options.user = "admin";
    options.password = "secret";
    options.jobs = false;
    auto simulator = std::make_unique<Simulator>(std::move(options));
    simulator->start();
    return simulator;
}

void connect(cim::CIMClient& client, const Simulator& simulator)
{
    client.connect(simulator.address(), simulator.port(), "admin", "secret");
}

// Round trips per second on one connection: each iteration is one GetInstance of a volume.
void GetInstanceKeepAlive(benchmark::State& state)
{
    const auto simulator = startSimulator("127.0.0.211", 16);
    cim::CIMClient client;
    connect(client, *simulator);
    const cim::CIMObjectPath volume = client.enumerateInstanceNames(Namespaces::Storage, "CIM_StorageVolume").front();
    for (auto _ : state)
        benchmark::DoNotOptimize(client.getInstance(Namespaces::Storage, volume));
    state.SetItemsProcessed(state.iterations());
    client.disconnect();
    simulator->stop();
}
BENCHMARK(GetInstanceKeepAlive)->UseRealTime()->Unit(benchmark::kMicrosecond);

// One EnumerateInstances of every volume: request, encoding, transfer and decoding.
void EnumerateVolumes(benchmark::State& state)
{
    const auto volumes = static_cast<unsigned>(state.range(0));
    const auto simulator = startSimulator("127.0.0.212", volumes);
    cim::CIMClient client;
    connect(client, *simulator);
    for (auto _ : state) {
        const auto instances = client.enumerateInstances(Namespaces::Storage, "CIM_StorageVolume");
        if (instances.size() != volumes)
            state.SkipWithError("wrong number of volumes");
    }
    state.SetItemsProcessed(state.iterations() * volumes);
    client.disconnect();
    simulator->stop();
}
BENCHMARK(EnumerateVolumes)->Arg(1000)->Arg(10000)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
