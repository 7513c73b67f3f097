// How long arrays that never answer hold up the service's other arrays: orvvds with the
// product's periods manages two good simulated arrays and an address whose port never
// answers a connection (and, with --silent, a simulated array that takes connections but
// never answers). For a while the provider's background thread keeps logging them in; each
// orvraid command on the good arrays is timed meanwhile:
//   1. "add array" of each kind;
//   2. "list subsystems" over and over for the given seconds, p50 and max;
//   3. "select subsystem <good>" and "create lun simple size=64MB", three times, each after
//      12 s without commands (the reconciliation runs after 10 s without indications).
// A command that has not ended after two minutes (--hung=<seconds>) counts as hung and is
// killed.
//
// Run by hand: build/bin/unanswering_array_bench [--silent] [--hung=<s>] [seconds] [orvvds orvraid]
// (another build's programs measure that build). The arrays listen on 127.97.250.1-4; the
// service runs as a child with a registry and socket in a folder of its own.
#include "SimArray.h"
#include "UnansweringAddress.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Merrow::UserAgent::Testing::SimArray;

// A command that has not ended after this long counts as hung (--hung=<seconds>).
std::chrono::seconds g_hung{120};

struct Programs {
    std::string orvvds = ORVVDS_PROGRAM;
    std::string orvraid = ORVRAID_PROGRAM;
};

pid_t spawn(const std::vector<std::string>& argv, const std::filesystem::path& output)
{
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) {
        if (std::freopen(output.c_str(), "w", stdout) != nullptr)
            ::dup2(STDOUT_FILENO, STDERR_FILENO);
        std::vector<char*> pointers;
        for (const std::string& argument : argv)
            pointers.push_back(const_cast<char*>(argument.c_str()));
        pointers.push_back(nullptr);
        ::execv(pointers[0], pointers.data());
        ::_exit(127);
    }
    return child;
}

// Seconds the script took, or nullopt when it hung (it is killed then).
std::optional<double> timedScript(const Programs& programs, const std::filesystem::path& dir,
                                  const std::string& script)
{
    const std::filesystem::path path = dir / "script.txt";
    std::ofstream(path) << script;
    const Clock::time_point start = Clock::now();
    const pid_t child = spawn({programs.orvraid, "/s", path.string()}, dir / "orvraid.out");
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) != child) {
        if (Clock::now() - start > g_hung) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string fileText(const std::filesystem::path& path)
{
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void reportOne(const std::string& what, std::optional<double> seconds)
{
    if (seconds)
        std::printf("%-52s %9.3f s\n", what.c_str(), *seconds);
    else
        std::printf("%-52s      hung (killed after %lld s)\n", what.c_str(),
                    static_cast<long long>(g_hung.count()));
}

void report(const std::string& what, std::vector<double> samples, int hung)
{
    if (samples.empty()) {
        std::printf("%-52s every run hung (%d)\n", what.c_str(), hung);
        return;
    }
    std::sort(samples.begin(), samples.end());
    std::printf("%-52s p50 %8.3f s   max %8.3f s   (%zu runs, %d hung)\n", what.c_str(),
                samples[samples.size() / 2], samples.back(), samples.size(), hung);
}

}  // namespace

int main(int argc, char** argv)
{
    bool silent = false;
    int seconds = 60;
    Programs programs;
    std::vector<std::string> rest;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--silent")
            silent = true;
        else if (argument.rfind("--hung=", 0) == 0)
            g_hung = std::chrono::seconds(std::stoi(argument.substr(7)));
        else if (std::all_of(argument.begin(), argument.end(), ::isdigit))
            seconds = std::stoi(argument);
        else
            rest.push_back(argument);
    }
    if (rest.size() == 2) {
        programs.orvvds = rest[0];
        programs.orvraid = rest[1];
    }

    std::string pattern = (std::filesystem::temp_directory_path() / "orvds-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        return 1;
    const std::filesystem::path dir = pattern;
    const std::filesystem::path socket = dir / "orvvds.sock";
    ::setenv("ORVDS_REGISTRY", (dir / "registry.db").c_str(), 1);
    ::setenv("ORVDS_SOCKET", socket.c_str(), 1);
    ::setenv("ORVDS_UNIT_DIR", dir.c_str(), 1);

    SimArray first("127.97.250.1");
    SimArray second("127.97.250.2");
    SimArray quiet("127.97.250.3");
    quiet.control().setHang(true);
    const Merrow::UserAgent::Testing::UnansweringAddress unanswering("127.97.250.4");

    int status = 0;
    ::waitpid(spawn({programs.orvvds, "-RegServer"}, dir / "register.out"), &status, 0);
    const pid_t service = spawn({programs.orvvds}, dir / "service.out");
    while (!std::filesystem::exists(socket))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));

    const auto add = [&](const char* host) {
        return timedScript(programs, dir, std::string("add array host=") + host + " user=admin password=secret\n");
    };
    reportOne("add array (good)", add("127.97.250.1"));
    reportOne("add array (good)", add("127.97.250.2"));
    reportOne("add array (address that never answers)", add("127.97.250.4"));
    if (silent)
        reportOne("add array (array that takes connections, never answers)", add("127.97.250.3"));

    timedScript(programs, dir, "list subsystems\n");
    std::smatch match;
    const std::string listing = fileText(dir / "orvraid.out");
    const std::string select = std::regex_search(listing, match, std::regex("\n *Subsystem ([0-9]+) +[^\n]*127\\.97\\.250\\.1[ \n]"))
                                   ? "select subsystem " + match[1].str() + "\n"
                                   : "select subsystem 0\n";

    // Commands that change an array make it post indications, and the background thread
    // reconciles (and logs in) only after a quiet period: "list subsystems" changes nothing,
    // and each LUN creation comes after a quiet period of its own.
    std::vector<double> lists;
    std::vector<double> creates;
    int listsHung = 0;
    int createsHung = 0;
    const Clock::time_point end = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < end) {
        if (const auto took = timedScript(programs, dir, "list subsystems\n"))
            lists.push_back(*took);
        else
            ++listsHung;
    }
    for (int run = 0; run < 3; ++run) {
        std::this_thread::sleep_for(std::chrono::seconds(12));
        if (const auto took = timedScript(programs, dir, select + "create lun simple size=64MB\n"))
            creates.push_back(*took);
        else
            ++createsHung;
    }
    std::printf("while the background thread logs in the unanswering arrays:\n");
    report("list subsystems (for the given seconds)", lists, listsHung);
    report("create lun on a good array (after 12 s quiet)", creates, createsHung);

    ::kill(service, SIGKILL);
    ::waitpid(service, &status, 0);
    std::filesystem::remove_all(dir);
    return 0;
}
