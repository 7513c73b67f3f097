// orvraid through the running service, against a simulated array of 1,000 volumes:
//   1. "list luns" of the array's subsystem over a connection held open (warm: the
//      provider has listed them once), p50 and p99 of 50 runs;
//   2. the whole orvraid program attaching and running "select subsystem 0" and
//      "list luns" from a script, p50 and p99 of 20 runs;
//   3. the resident memory of the service.
// When the provider cannot list LUNs yet, "list drives" is measured instead, or else "list
// subsystems", and the program says so.
//
// Run by hand: build/bin/service_bench. The array listens on 127.91.250.1; the service
// runs as a child with a registry and socket in a folder of its own.
#include "ServiceBenchSupport.h"
#include "SimArray.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace service_bench;

int main()
{
    auto options = Merrow::UserAgent::Testing::simOptions("127.91.250.1");
    options.array.volumes = 1000;
    options.array.volumeBytes = 64ull << 20;
    Merrow::UserAgent::Testing::SimArray array(std::move(options));

    ScratchService service;
    std::ostringstream out;
    std::ostringstream err;
    std::unique_ptr<orvraid::ServiceClient> client = service.connect(out, err);

    client->execute("add array host=127.91.250.1 user=admin password=secret");
    client->execute("select subsystem 0");
    // The first command of these that the provider answers is measured.
    std::string command;
    const Clock::time_point coldStart = Clock::now();
    for (const char* candidate : {"list luns", "list drives", "list subsystems"}) {
        command = candidate;
        out.str("");
        err.str("");
        if (client->execute(command) == orvraid::ExitCode::Success)
            break;
        std::printf("%s fails on this build: %s", candidate, err.str().c_str());
    }
    std::printf("%-58s %8.2f ms\n", ("first " + command + " (cold)").c_str(), ms(Clock::now() - coldStart));
    const std::string listing = out.str();
    std::printf("lines of output: %zd\n", std::count(listing.begin(), listing.end(), '\n'));

    std::vector<double> held;
    for (int i = 0; i < 50; ++i) {
        const Clock::time_point start = Clock::now();
        client->execute(command);
        held.push_back(ms(Clock::now() - start));
    }
    report(command + ", connection held (warm)", held);

    const std::filesystem::path script = service.dir() / "script.txt";
    std::ofstream(script) << "select subsystem 0\n" << command << "\n";
    std::vector<double> whole;
    for (int i = 0; i < 20; ++i) {
        const Clock::time_point start = Clock::now();
        const int status = waitFor(spawn({ORVRAID_PROGRAM, "/s", script.string()}, (service.dir() / "orvraid.out").c_str()));
        if (status != 0)
            std::printf("orvraid ended with %d: %s\n", status, fileText(service.dir() / "orvraid.out").c_str());
        whole.push_back(ms(Clock::now() - start));
    }
    report("orvraid /s (attach, select, " + command + ")", whole);
    std::printf("%-58s %8ld KiB\n", "service resident memory", residentKiB(service.servicePid()));

    client.reset();
    return 0;
}
