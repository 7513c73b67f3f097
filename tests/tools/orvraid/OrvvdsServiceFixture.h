#pragma once

// The product's service run as a child of the test: "orvvds -Service" writes the unit and
// the test runs its ExecStart line (or another server program) with the registry and the
// socket in a folder of its own; orvraid runs as further children against it.
#include "OrvraidChildProcess.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <chrono>
#include <cstring>
#include <regex>
#include <thread>

namespace orvraid::test {

// The words of an ExecStart line, as systemd splits them: each in double quotes with
// backslash escapes, "%%" and "$$" for a literal "%" and "$".
inline std::vector<std::string> execStartWords(const std::string& unit)
{
    std::smatch match;
    if (!std::regex_search(unit, match, std::regex("\nExecStart=([^\n]*)")))
        return {};
    std::vector<std::string> words;
    const std::string line = match[1];
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '"')
            continue;
        std::string word;
        for (++i; i < line.size() && line[i] != '"'; ++i) {
            if (line[i] == '\\' || ((line[i] == '%' || line[i] == '$') && i + 1 < line.size() && line[i + 1] == line[i]))
                ++i;
            word += line[i];
        }
        words.push_back(word);
    }
    return words;
}

inline bool answers(const std::filesystem::path& socket)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, socket.c_str());
    const bool answered = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return answered;
}

class OrvvdsServiceFixture : public OrvraidProcessTest {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(units);
        ::setenv("ORVDS_UNIT_DIR", units.c_str(), 1);
        ::setenv("ORVDS_SOCKET", socket.c_str(), 1);
    }
    void TearDown() override
    {
        if (m_service > 0)
            stopService();
        ::unsetenv("ORVDS_UNIT_DIR");
        ::unsetenv("ORVDS_SOCKET");
    }

    // Installs the service into the test's unit folder and starts what its ExecStart says;
    // returns once the socket answers.
    void startService()
    {
        const Outcome installed = run(ORVVDS_PROGRAM, {"-Service"});
        ASSERT_EQ(installed.status, 0) << installed.err;
        const std::string unit = readFile(units / "OrvVds.service");
        EXPECT_THAT(unit, ::testing::HasSubstr("RuntimeDirectory=orvvds\n"));
        const std::vector<std::string> command = execStartWords(unit);
        ASSERT_FALSE(command.empty()) << unit;
        startServer(command);
    }

    // Starts `command` as the service; returns once the socket answers.
    void startServer(const std::vector<std::string>& command)
    {
        m_service = spawn(command, "service");
        // Waits for the service, not for a time: it stops waiting only when the service
        // answers or has died.
        while (!answers(socket)) {
            int status = 0;
            ASSERT_EQ(::waitpid(m_service, &status, WNOHANG), 0)
                << "the service ended: " << readFile(directory.path() / "service.err");
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    // Ends the service the way a crash or an out-of-memory kill would: no clean-up at all.
    void killService()
    {
        ::kill(m_service, SIGKILL);
        int status = 0;
        ::waitpid(m_service, &status, 0);
        m_service = -1;
    }

    int stopService()
    {
        ::kill(m_service, SIGTERM);
        int status = 0;
        ::waitpid(m_service, &status, 0);
        m_service = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // `argv` with the test's registry, output into "<name>.out" and "<name>.err".
    pid_t spawn(const std::vector<std::string>& argv, const std::string& name)
    {
        const std::filesystem::path out = directory.path() / (name + ".out");
        const std::filesystem::path err = directory.path() / (name + ".err");
        const pid_t child = ::fork();
        if (child == 0) {
            ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
            ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
            execWithRegistry(argv);
        }
        return child;
    }

    // Waits until the child's output holds `text`; false when the child ended first, or
    // when a minute passed (only so that a lost notification fails the test instead of
    // hanging it).
    bool waitForOutput(pid_t child, const std::string& name, const std::string& text)
    {
        for (int attempt = 0; attempt < 3000; ++attempt) {
            if (readFile(directory.path() / (name + ".out")).find(text) != std::string::npos)
                return true;
            int status = 0;
            if (::waitpid(child, &status, WNOHANG) != 0)
                return readFile(directory.path() / (name + ".out")).find(text) != std::string::npos;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    Outcome runProduct(const std::string& script) { return runScript(script, {}, ORVRAID_PROGRAM); }

    std::filesystem::path units = directory.path() / "units";
    std::filesystem::path socket = directory.path() / "orvvds.sock";
    pid_t m_service = -1;
};

}  // namespace orvraid::test
