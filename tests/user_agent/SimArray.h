#pragma once

// A simulated array embedded in a test, on a loopback address of the test's own (port 5988),
// with credentials, instant volume operations and quick indication delivery.

#include "sim/Simulator.h"

#include <set>
#include <string>

namespace Merrow::UserAgent::Testing {

inline constexpr const char* kSimUser = "admin";
inline constexpr const char* kSimPassword = "secret";

inline Sim::SimulatorOptions simOptions(const std::string& address,
                                        const std::string& firmware = "2.8.2.2") {
    Sim::SimulatorOptions options;
    options.array.address = address;
    options.array.firmwareVersion = firmware;
    options.array.disks = 8;
    options.array.diskBytes = 200'000'000'000ull;
    options.user = kSimUser;
    options.password = kSimPassword;
    options.jobs = false;
    return options;
}

class SimArray {
public:
    explicit SimArray(const std::string& address, const std::string& firmware = "2.8.2.2")
        : m_simulator(simOptions(address, firmware)) {
        m_simulator.start();
    }
    explicit SimArray(Sim::SimulatorOptions options) : m_simulator(std::move(options)) {
        m_simulator.start();
    }

    Sim::Simulator& simulator() { return m_simulator; }
    Sim::SimulatorControl& control() { return m_simulator.control(); }
    const std::string& address() const { return m_simulator.address(); }

    // The names of the volumes the array holds now.
    std::set<std::string> volumeNames() {
        return control().model().read([](const Sim::ModelView& view) {
            std::set<std::string> names;
            for (const auto& [id, volume] : view.state.volumes)
                names.insert(volume.name);
            return names;
        });
    }

private:
    Sim::Simulator m_simulator;
};

} // namespace Merrow::UserAgent::Testing
