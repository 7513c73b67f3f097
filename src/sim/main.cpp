// corvane-sim: a simulated Corvane iSCSI array answering CIM-XML on <address>:5988.
//
//   corvane-sim --address 127.0.0.2 [--user U --password P] [--disks N --volumes N
//               --initiators N ...] [--state FILE] [--job-ms N] [--restart-ms N]
//
// Runs until SIGTERM or SIGINT.

#include "sim/ArrayNameRules.h"
#include "sim/Simulator.h"

#include <CLI/CLI.hpp>
#include <boost/system/system_error.hpp>

#include <csignal>
#include <iostream>
#include <pthread.h>

namespace {

using Merrow::Sim::Simulator;
using Merrow::Sim::SimulatorOptions;

// Texts the array reports about itself must be ones it would accept as names.
const CLI::Validator kArrayText(
    [](std::string& text) { return Merrow::Sim::ArrayNameRules::problem(text).value_or(std::string()); }, "TEXT");

void addOptions(CLI::App& app, SimulatorOptions& options, std::uint64_t& diskGigabytes, std::uint64_t& volumeMegabytes,
                std::uint32_t& idleMilliseconds, bool& noJobs)
{
    app.add_option("--address", options.array.address, "Address to listen on (port 5988), e.g. 127.0.0.2")->required();
    app.add_option("--user", options.user, "User name clients must log in with (none: no log-in needed)");
    app.add_option("--password", options.password, "Password for --user");
    app.add_option("--disks", options.array.disks, "Disks of a new array")->check(CLI::Range(1u, 96u));
    app.add_option("--disk-gb", diskGigabytes, "Size of each disk of a new array, in GB")->check(CLI::Range(1, 100000));
    app.add_option("--volumes", options.array.volumes, "Volumes of a new array");
    app.add_option("--volume-mb", volumeMegabytes, "Size of each volume of a new array, in MiB")
        ->check(CLI::Range(1, 100000000));
    app.add_option("--initiators", options.array.initiators, "Registered initiators of a new array");
    app.add_option("--serial", options.array.serialNumber, "Serial number (default: derived from the address)")
        ->check(kArrayText);
    app.add_option("--name", options.array.name, "Array name (default: Corvane-<serial>)")->check(kArrayText);
    app.add_option("--firmware", options.array.firmwareVersion, "Firmware version a new array reports")->check(kArrayText);
    app.add_option("--state", options.stateFile, "Keep the array's state in this file (read at start, written on change)");
    app.add_option("--job-ms", options.jobMilliseconds, "How long a job runs, in milliseconds");
    app.add_option("--job-keep-ms", options.jobKeepMilliseconds, "How long a finished job stays, in milliseconds");
    app.add_option("--restart-ms", options.restartMilliseconds,
                   "How long the array stays down when it restarts, in milliseconds");
    app.add_flag("--no-jobs", noJobs, "Finish volume work at once instead of starting jobs");
    app.add_option("--idle-ms", idleMilliseconds, "Close keep-alive connections idle this long, in milliseconds");
}

// Blocks SIGTERM and SIGINT in every thread (the simulator's threads inherit the mask) so
// the main thread can wait for them with sigwait.
sigset_t blockStopSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    return signals;
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Simulated Corvane iSCSI storage array (CIM-XML on port 5988)", "corvane-sim"};
    SimulatorOptions options;
    std::uint64_t diskGigabytes = options.array.diskBytes / 1'000'000'000ull;
    std::uint64_t volumeMegabytes = options.array.volumeBytes >> 20;
    std::uint32_t idleMilliseconds = static_cast<std::uint32_t>(options.idleTimeout.count());
    bool noJobs = false;
    addOptions(app, options, diskGigabytes, volumeMegabytes, idleMilliseconds, noJobs);
    CLI11_PARSE(app, argc, argv);
    if (!options.password.empty() && options.user.empty()) {
        std::cerr << "corvane-sim: --password needs --user\n";
        return 2;
    }
    options.array.diskBytes = diskGigabytes * 1'000'000'000ull;
    options.array.volumeBytes = volumeMegabytes << 20;
    options.idleTimeout = std::chrono::milliseconds(idleMilliseconds);
    options.jobs = !noJobs;

    const sigset_t signals = blockStopSignals();
    try {
        Simulator simulator(options);
        simulator.start();
        const auto summary = simulator.model().read([](const Merrow::Sim::ModelView& view) {
            return view.names.systemName() + " \"" + view.state.system.name + "\", " +
                   std::to_string(view.state.disks.size()) + " disks, " + std::to_string(view.state.volumes.size()) +
                   " volumes, firmware " + view.state.system.firmwareVersion;
        });
        std::cout << "corvane-sim: listening on http://" << simulator.address() << ":" << simulator.port() << "/ ("
                  << summary << ")" << std::endl;
        int received = 0;
        sigwait(&signals, &received);
        std::cout << "corvane-sim: " << (received == SIGINT ? "interrupted" : "terminated") << ", stopping"
                  << std::endl;
        simulator.stop();
    } catch (const boost::system::system_error& e) {
        std::cerr << "corvane-sim: cannot listen on " << options.array.address << ":" << options.port << ": "
                  << e.what() << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "corvane-sim: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
