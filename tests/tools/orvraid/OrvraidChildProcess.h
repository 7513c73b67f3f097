#pragma once

// orvraid run as a child process with a registry of the test's own: its standard input,
// output and error go through files, and the test waits for its exit status.
#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace orvraid::test {

using orv::platform::test::TempDirectory;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string readFile(const std::filesystem::path& path)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class OrvraidProcessTest : public ::testing::Test {
protected:
    // Runs `program` with `arguments`, standard input from `input`, and this test's own
    // registry; waits for it to end.
    Outcome run(const char* program, const std::vector<std::string>& arguments, const std::string& input = "")
    {
        const std::filesystem::path in = directory.path() / "stdin";
        const std::filesystem::path out = directory.path() / "stdout";
        const std::filesystem::path err = directory.path() / "stderr";
        std::ofstream(in) << input;
        std::vector<std::string> argv{program};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        const pid_t child = ::fork();
        if (child == 0)
            execChild(argv, in, out, err);
        int status = 0;
        ::waitpid(child, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(out), readFile(err)};
    }

    Outcome runScript(const std::string& script, const std::vector<std::string>& more = {},
                      const char* program = ORVRAID_TEST_HOST)
    {
        const std::filesystem::path path = directory.path() / "script.txt";
        std::ofstream(path) << script;
        std::vector<std::string> arguments{"/s", path.string()};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return run(program, arguments);
    }

    TempDirectory directory;
    std::string registryPath = (directory.path() / "registry.db").string();

private:
    [[noreturn]] void execChild(const std::vector<std::string>& argv, const std::filesystem::path& in,
                                const std::filesystem::path& out, const std::filesystem::path& err)
    {
        ::dup2(::open(in.c_str(), O_RDONLY), STDIN_FILENO);
        ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
        ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
        ::unsetenv("ORVRAID_PASSWORD");
        execWithRegistry(argv);
    }

protected:
    // In a child: runs `argv` with this test's registry; never returns.
    [[noreturn]] void execWithRegistry(const std::vector<std::string>& argv) const
    {
        // Only the standard streams go to the child: a simulated array's listening socket
        // kept open in a service would outlive the array and take its connections.
        ::close_range(3, ~0u, 0);
        ::setenv("ORVDS_REGISTRY", registryPath.c_str(), 1);
        std::vector<char*> pointers;
        for (const std::string& argument : argv)
            pointers.push_back(const_cast<char*>(argument.c_str()));
        pointers.push_back(nullptr);
        ::execv(pointers[0], pointers.data());
        ::_exit(127);
    }
};

}  // namespace orvraid::test
