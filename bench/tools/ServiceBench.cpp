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
#include "ServiceClient.h"
#include "SimArray.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

long residentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

pid_t spawn(const std::vector<std::string>& argv, const char* quietOutput)
{
    std::fflush(stdout);  // the child must not write this process's buffered lines again
    const pid_t child = ::fork();
    if (child == 0) {
        if (quietOutput != nullptr) {
            if (std::freopen(quietOutput, "w", stdout) != nullptr)
                ::dup2(STDOUT_FILENO, STDERR_FILENO);
        }
        std::vector<char*> pointers;
        for (const std::string& argument : argv)
            pointers.push_back(const_cast<char*>(argument.c_str()));
        pointers.push_back(nullptr);
        ::execv(pointers[0], pointers.data());
        ::_exit(127);
    }
    return child;
}

std::string fileText(const std::filesystem::path& path)
{
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

int waitFor(pid_t child)
{
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void report(const char* what, std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    std::printf("%-58s p50 %8.2f ms   p99 %8.2f ms   (%zu runs)\n", what, samples[samples.size() / 2],
                samples[std::min(samples.size() - 1, samples.size() * 99 / 100)], samples.size());
}

}  // namespace

int main()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "orvds-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        return 1;
    const std::filesystem::path dir = pattern;
    const std::filesystem::path socket = dir / "orvvds.sock";
    ::setenv("ORVDS_REGISTRY", (dir / "registry.db").c_str(), 1);
    ::setenv("ORVDS_SOCKET", socket.c_str(), 1);
    ::setenv("ORVDS_UNIT_DIR", dir.c_str(), 1);

    auto options = Merrow::UserAgent::Testing::simOptions("127.91.250.1");
    options.array.volumes = 1000;
    options.array.volumeBytes = 64ull << 20;
    Merrow::UserAgent::Testing::SimArray array(std::move(options));

    if (waitFor(spawn({ORVVDS_PROGRAM, "-RegServer"}, "/dev/null")) != 0)
        return 1;
    const pid_t service = spawn({ORVVDS_PROGRAM}, (dir / "service.out").c_str());
    std::unique_ptr<orvraid::ServiceClient> client;
    std::ostringstream out;
    std::ostringstream err;
    std::string error;
    while (orvraid::ServiceClient::connect(socket, "", out, err, client, error) != orvraid::ServiceClient::Connect::Connected)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));

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
    report((command + ", connection held (warm)").c_str(), held);

    const std::filesystem::path script = dir / "script.txt";
    std::ofstream(script) << "select subsystem 0\n" << command << "\n";
    std::vector<double> whole;
    for (int i = 0; i < 20; ++i) {
        const Clock::time_point start = Clock::now();
        const int status = waitFor(spawn({ORVRAID_PROGRAM, "/s", script.string()}, (dir / "orvraid.out").c_str()));
        if (status != 0)
            std::printf("orvraid ended with %d: %s\n", status, fileText(dir / "orvraid.out").c_str());
        whole.push_back(ms(Clock::now() - start));
    }
    report(("orvraid /s (attach, select, " + command + ")").c_str(), whole);
    std::printf("%-58s %8ld KiB\n", "service resident memory", residentKiB(service));

    client.reset();
    ::kill(service, SIGTERM);
    waitFor(service);
    std::filesystem::remove_all(dir);
    return 0;
}
