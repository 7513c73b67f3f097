// What creating volumes costs end to end: 100 JBOD volumes of 1 GB through the array
// grouping's CreateVolume against the simulated array, once with volumes made at once and
// once with the array running each creation as a job (the library does not wait for jobs).
// Prints the total and the time per volume for each.

#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/groupings/FunctionalGrouping_CorvaneSystem.h"
#include "user_agent/root/MerrowUserAgent.h"

#include "ProfileTestService.h"
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
using SystemService = ProfileTestService<FunctionalGrouping_CorvaneSystem>;

constexpr unsigned kVolumes = 100;
constexpr std::uint64_t kVolumeBytes = 1'000'000'000ull;

bool run(const char* address, bool jobs) {
    MerrowUserAgent root(false);
    if (root.Start().isFailure())
        return false;
    SimArray array(address);
    array.control().setJobs(jobs, 600000);
    CorvaneConnection connection = root.GetConnection(address);
    cim::CIMObjectPath top;
    if (connection.Connect(kSimUser, kSimPassword).isFailure() ||
        connection.GetTopComputerSystem(top).isFailure())
        return false;
    auto system = std::make_shared<SystemService>(connection, top);
    if (system->Init().isFailure())
        return false;
    const cim::CIMObjectPath basePool = system->GetBasePoolObjectPath();
    const cim::CIMObjectPath availablePool = system->GetAvailPoolObjectPath();
    const UAEnums::VolumeCompositionName jbod(1);

    const Clock::time_point begin = Clock::now();
    for (unsigned i = 0; i < kVolumes; ++i) {
        cim::CIMObjectPath volume;
        const MerrowReturnValue result = system->profile().CreateVolume(
            "bench-" + std::to_string(i), kVolumeBytes, jbod, {}, 1, 65536, basePool,
            availablePool, volume);
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
