// What creating volumes costs end to end: 100 JBOD volumes of 1 GB through
// Service_CorvaneSystem::CreateVolume against the simulated array, once with volumes made at
// once and once with the array running each creation as a job (the library does not wait for
// jobs). Each creation includes making the new volume's service. Prints the total and the
// time per volume for each.

#include "user_agent/root/MerrowUserAgent.h"
#include "user_agent/services/Service_CorvaneSystem.h"
#include "user_agent/services/Service_Disk.h"
#include "user_agent/services/Service_Volume.h"

#include "SimArray.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace Merrow::UserAgent;
using namespace Merrow::UserAgent::Testing;
using Clock = std::chrono::steady_clock;

constexpr unsigned kVolumes = 100;
constexpr std::uint64_t kVolumeBytes = 1'000'000'000ull;

bool run(const char* address, bool jobs) {
    MerrowUserAgent root(false);
    if (root.Start().isFailure())
        return false;
    SimArray array(address);
    array.control().setJobs(jobs, 600000);
    CorvaneConnection connection = root.GetConnection(address);
    Service_CorvaneSystem system;
    if (connection.Connect(kSimUser, kSimPassword).isFailure() ||
        connection.GetCorvaneSystemService(system).isFailure())
        return false;
    const UAEnums::VolumeCompositionName jbod(1);

    const Clock::time_point begin = Clock::now();
    for (unsigned i = 0; i < kVolumes; ++i) {
        Service_Volume volume;
        const MerrowReturnValue result = system.CreateVolume(
            "bench-" + std::to_string(i), kVolumeBytes, jbod, {}, 1, 65536, volume);
        if (result.isFailure()) {
            std::fprintf(stderr, "volume %u: %s\n", i, result.getMessage().c_str());
            return false;
        }
    }
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
    std::printf("%u volumes, jobs %s: %.1f ms total, %.2f ms per volume\n", kVolumes,
                jobs ? "on " : "off", ms, ms / kVolumes);
    return true;
}

} // namespace

int main() {
    const bool ok = run("127.77.41.1", false) && run("127.77.41.2", true);
    return ok ? 0 : 1;
}
