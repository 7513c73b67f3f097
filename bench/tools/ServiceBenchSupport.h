// What the service benchmarks share: the service (orvvds, started as its unit starts it:
// no arguments) in a scratch folder of its own with its registry and socket, a connection
// to it as orvraid makes one, child processes, their resident memory and percentiles.
#pragma once

#include "ServiceClient.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace service_bench {

using Clock = std::chrono::steady_clock;

inline double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

inline long residentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

inline pid_t spawn(const std::vector<std::string>& argv, const char* quietOutput)
{
    std::fflush(stdout);  // the child must not write this process's buffered lines again
    const pid_t child = ::fork();
    if (child == 0) {
        // The simulated arrays' listening sockets stay with this process: a service that
        // outlived the bench and held them would take their connections and never answer.
        ::close_range(3, ~0u, 0);
        if (quietOutput != nullptr) {
            if (std::freopen(quietOutput, "w", stdout) != nullptr)
                ::dup2(STDOUT_FILENO, STDERR_FILENO);
        }
        std::vector<char*> pointers;
        for (const std::string& argument : argv)
            pointers.push_back(const_cast<char*>(argument.c_str()));
        pointers.push_back(nullptr);
        ::execvp(pointers[0], pointers.data());
        ::_exit(127);
    }
    return child;
}

inline std::string fileText(const std::filesystem::path& path)
{
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline int waitFor(pid_t child)
{
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline void report(const std::string& what, std::vector<double> samples)
{
    if (samples.empty())
        return;
    std::sort(samples.begin(), samples.end());
    std::printf("%-58s p50 %8.2f ms   p99 %8.2f ms   (%zu runs)\n", what.c_str(), samples[samples.size() / 2],
                samples[std::min(samples.size() - 1, samples.size() * 99 / 100)], samples.size());
}

// The service in a scratch folder; ended and the folder removed on destruction. A
// command in $SERVICE_BENCH_WRAPPER (for example "heaptrack") runs the service under it.
class ScratchService {
public:
    ScratchService()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvds-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::exit(1);
        m_dir = pattern;
        ::setenv("ORVDS_REGISTRY", (m_dir / "registry.db").c_str(), 1);
        ::setenv("ORVDS_SOCKET", socket().c_str(), 1);
        ::setenv("ORVDS_UNIT_DIR", m_dir.c_str(), 1);
        if (waitFor(spawn({ORVVDS_PROGRAM, "-RegServer"}, "/dev/null")) != 0)
            std::exit(1);
        std::vector<std::string> command;
        if (const char* wrapper = std::getenv("SERVICE_BENCH_WRAPPER"); wrapper != nullptr && *wrapper != '\0')
            command.emplace_back(wrapper);
        command.emplace_back(ORVVDS_PROGRAM);
        m_pid = spawn(command, (m_dir / "service.out").c_str());
    }
    ~ScratchService()
    {
        ::kill(m_pid, SIGTERM);
        waitFor(m_pid);
        std::filesystem::remove_all(m_dir);
    }
    ScratchService(const ScratchService&) = delete;
    ScratchService& operator=(const ScratchService&) = delete;

    // A new connection, as orvraid makes one; waits for the service to listen.
    std::unique_ptr<orvraid::ServiceClient> connect(std::ostream& out, std::ostream& err) const
    {
        std::unique_ptr<orvraid::ServiceClient> client;
        std::string error;
        while (orvraid::ServiceClient::connect(socket(), "", out, err, client, error) !=
               orvraid::ServiceClient::Connect::Connected)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return client;
    }

    // The service itself, also when it runs under a wrapper: the wrapper's child.
    pid_t servicePid() const
    {
        std::ifstream children("/proc/" + std::to_string(m_pid) + "/task/" + std::to_string(m_pid) + "/children");
        pid_t child = 0;
        return children >> child ? child : m_pid;
    }
    const std::filesystem::path& dir() const { return m_dir; }
    std::filesystem::path socket() const { return m_dir / "orvvds.sock"; }

private:
    std::filesystem::path m_dir;
    pid_t m_pid = -1;
};

}  // namespace service_bench
