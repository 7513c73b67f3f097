// What listing volumes through the facades costs on a large array: on a simulated array with
// 1,000 volumes, Service_VolumeList::GetVolumes and, for each volume, its name, durable name,
// stripe width, composition extents and target's durable name; once cold (a fresh library),
// once warm (again through the handles the cold pass made, as the layer above keeps them),
// and a relisting through the same list. Prints requests (counted by the simulator), time,
// and the client's resident memory per cached volume.
// Aims: cold under 3 s, warm under 100 ms, under 50 KB per volume.

#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/root/MerrowUserAgent.h"
#include "user_agent/services/Service_CorvaneSystem.h"
#include "user_agent/services/Service_Extent.h"
#include "user_agent/services/Service_Volume.h"
#include "user_agent/services/Service_VolumeComposition.h"
#include "user_agent/services/Service_VolumeList.h"
#include "user_agent/services/Service_iSCSITarget.h"

#include "SimArray.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace Merrow::UserAgent;
using namespace Merrow::UserAgent::Testing;
using Clock = std::chrono::steady_clock;

constexpr unsigned kVolumes = 1000;

std::uint64_t totalRequests(Merrow::Sim::SimulatorControl& control) {
    std::uint64_t total = 0;
    for (const auto& [operation, count] : control.requestCounts()) {
        if (operation != "InvokeMethod" && operation.find('_') == std::string::npos)
            total += count;
    }
    return total;
}

long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return 0;
}

// A volume as the layer above keeps it: the volume and its composition handle.
struct HeldVolume {
    Service_Volume volume;
    Service_VolumeComposition composition;
};

// Everything the layer above reads of a volume when it lists LUNs; false on any failure.
bool readVolume(HeldVolume& held) {
    std::string text;
    std::uint16_t stripe = 0;
    std::vector<Service_Extent> extents;
    Service_iSCSITarget target;
    if (!held.composition.IsValid() &&
        held.volume.GetVolumeComposition(held.composition).isFailure())
        return false;
    return !held.volume.GetName(text).isFailure() && !held.volume.GetDurableName(text).isFailure() &&
           !held.volume.GetStripeWidth(stripe).isFailure() &&
           !held.composition.GetExtents(extents).isFailure() &&
           !held.volume.GetTarget(target).isFailure() && !target.GetDurableName(text).isFailure();
}

struct Pass {
    double seconds = 0;
    std::uint64_t requests = 0;
    unsigned failures = 0;
};

template <typename Work>
Pass measure(Merrow::Sim::SimulatorControl& control, Work&& work) {
    const std::uint64_t before = totalRequests(control);
    const auto start = Clock::now();
    Pass pass;
    pass.failures = work();
    pass.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    pass.requests = totalRequests(control) - before;
    return pass;
}

unsigned readAll(std::vector<HeldVolume>& volumes) {
    unsigned failures = 0;
    for (HeldVolume& held : volumes)
        failures += readVolume(held) ? 0 : 1;
    return failures;
}

// Lists through `list` and reads the names of the new handles; the handles are kept.
unsigned listAndReadNames(const Service_VolumeList& list, std::vector<HeldVolume>& volumes) {
    std::vector<Service_Volume> listed;
    if (list.GetVolumes(listed).isFailure())
        return 1;
    unsigned failures = 0;
    volumes.clear();
    std::string text;
    for (Service_Volume& volume : listed) {
        failures += volume.GetName(text).isFailure() || volume.GetDurableName(text).isFailure();
        volumes.push_back({std::move(volume), {}});
    }
    return failures;
}

void print(const char* what, const Pass& pass, std::size_t volumes) {
    std::printf("%-44s %5zu volumes %7llu requests %8.3f s %3u failures\n", what, volumes,
                static_cast<unsigned long long>(pass.requests), pass.seconds, pass.failures);
}

} // namespace

int main() {
    Merrow::Sim::SimulatorOptions options = simOptions("127.77.99.2");
    options.array.volumes = kVolumes;
    options.array.volumeBytes = 64ull << 20;
    Merrow::Sim::Simulator simulator(options);
    simulator.start();
    MerrowUserAgent root(false);
    root.Start();
    CorvaneConnection connection = root.GetConnection(simulator.address());
    Service_CorvaneSystem system;
    if (connection.Connect(kSimUser, kSimPassword).isFailure() ||
        connection.GetCorvaneSystemService(system).isFailure()) {
        std::fprintf(stderr, "cannot log in to the simulated array\n");
        return 1;
    }
    Merrow::Sim::SimulatorControl& control = simulator.control();
    std::vector<HeldVolume> volumes;
    Service_VolumeList list;
    const long rssBefore = residentKilobytes();
    const Pass cold = measure(control, [&] {
        if (system.GetServiceVolumeList(list).isFailure())
            return 1u;
        return listAndReadNames(list, volumes) + readAll(volumes);
    });
    const long rssAfter = residentKilobytes();
    print("cold: list, then read every volume", cold, volumes.size());
    print("warm: read every volume again", measure(control, [&] { return readAll(volumes); }),
          volumes.size());
    print("relist: same list, names of the new handles",
          measure(control, [&] { return listAndReadNames(list, volumes); }), volumes.size());
    std::printf("resident memory: %ld KB before, %ld KB after, %.1f KB per cached volume\n",
                rssBefore, rssAfter,
                volumes.empty() ? 0.0 : double(rssAfter - rssBefore) / double(volumes.size()));
    volumes.clear();
    system = Service_CorvaneSystem();
    connection.Logoff();
    root.Stop();
    return 0;
}
