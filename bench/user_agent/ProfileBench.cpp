// What the volume profiles cost on a large array: for every one of 1,000 volumes, construct
// and Init the volume profile and the volume-composition profile, then read every container
// once cold (requests counted by the simulator) and again warm (must send none). Prints
// the request counts and the time per read; a warm read should stay under 50 us.

#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/profiles/Profile_BlockServices_Volume.h"
#include "user_agent/profiles/Profile_BlockServices_VolumeComposition.h"
#include "user_agent/root/MerrowUserAgent.h"

#include "ProfileTestService.h"
#include "SimArray.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <type_traits>
#include <vector>

namespace {

using namespace Merrow::UserAgent;
using namespace Merrow::UserAgent::Testing;
using Clock = std::chrono::steady_clock;

constexpr unsigned kVolumes = 1000;

using VolumeService = ProfileTestService<Profile_BlockServices_Volume>;
using CompositionService = ProfileTestService<Profile_BlockServices_VolumeComposition>;

std::uint64_t totalRequests(Merrow::Sim::SimulatorControl& control) {
    std::uint64_t total = 0;
    for (const auto& [operation, count] : control.requestCounts()) {
        if (operation != "InvokeMethod" && operation.find('_') == std::string::npos)
            total += count;
    }
    return total;
}

// One property of each object container and every list: the reads a facade makes.
template <typename Service>
unsigned readEverything(Service& service) {
    unsigned reads = 0;
    auto& profile = service.profile();
    std::vector<cim::CIMObject> objects;
    std::string text;
    std::uint16_t number = 0;
    if constexpr (std::is_same_v<Service, VolumeService>) {
        profile.Get_Volume_ElementName(text);
        profile.Get_StorageSetting_ExtentStripeLength(number);
        profile.Get_Pool_InstanceID(text);
        profile.Get_Tasks_List(objects);
        profile.Get_Targets_List(objects);
        profile.Get_Initiators_List(objects);
        profile.Get_ShadowVolume_List(objects);
        profile.Get_Merrow_StorageConfigurationService_Name(text);
        profile.Get_CIM_ControllerConfigurationService_Name(text);
        reads = 9;
    } else {
        profile.Get_Volume_ElementName(text);
        profile.Get_StorageSetting_ExtentStripeLength(number);
        profile.Get_Extents_List(objects);
        reads = 3;
    }
    return reads;
}

struct Pass {
    double seconds = 0;
    std::uint64_t requests = 0;
    unsigned reads = 0;
};

template <typename Services>
Pass readAll(Services& services, Merrow::Sim::SimulatorControl& control) {
    const std::uint64_t before = totalRequests(control);
    const auto start = Clock::now();
    Pass pass;
    for (auto& service : services)
        pass.reads += readEverything(*service);
    pass.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    pass.requests = totalRequests(control) - before;
    return pass;
}

void print(const char* what, const Pass& pass) {
    std::printf("%-34s %8u reads %8llu requests %9.3f s %9.2f us/read\n", what, pass.reads,
                static_cast<unsigned long long>(pass.requests), pass.seconds,
                pass.seconds * 1e6 / pass.reads);
}

} // namespace

int main() {
    Merrow::Sim::SimulatorOptions options = simOptions("127.77.99.1");
    options.array.volumes = kVolumes;
    options.array.volumeBytes = 64ull << 20;
    Merrow::Sim::Simulator simulator(options);
    simulator.start();
    MerrowUserAgent root(false);
    root.Start();
    CorvaneConnection connection = root.GetConnection(simulator.address());
    if (connection.Connect(kSimUser, kSimPassword).isFailure()) {
        std::fprintf(stderr, "cannot log in to the simulated array\n");
        return 1;
    }
    std::vector<cim::CIMObjectPath> volumes = connection.GetConnectionImpl()->enumerateInstanceNames(
        cim::CIMNamespaceName("root/snia"), "CIM_StorageVolume");
    std::printf("%zu volumes\n", volumes.size());

    std::vector<std::shared_ptr<VolumeService>> volumeServices;
    std::vector<std::shared_ptr<CompositionService>> compositionServices;
    const auto start = Clock::now();
    for (const cim::CIMObjectPath& path : volumes) {
        volumeServices.push_back(std::make_shared<VolumeService>(connection, path));
        volumeServices.back()->Init();
        compositionServices.push_back(std::make_shared<CompositionService>(connection, path));
        compositionServices.back()->Init();
    }
    std::printf("construct and Init 2 x %zu profiles: %.3f s\n", volumes.size(),
                std::chrono::duration<double>(Clock::now() - start).count());

    Merrow::Sim::SimulatorControl& control = simulator.control();
    print("volume profile, cold", readAll(volumeServices, control));
    print("volume composition, cold", readAll(compositionServices, control));
    print("volume profile, warm", readAll(volumeServices, control));
    print("volume composition, warm", readAll(compositionServices, control));
    connection.Logoff();
    root.Stop();
    return 0;
}
