// The program itself, run as a child process with the tests' provider (the test host
// program): scripts, standard input, the switches and the exit statuses administrators'
// scripts rely on.
#include "TempDirectory.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using orv::platform::test::TempDirectory;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string readFile(const std::filesystem::path& path)
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

    Outcome runScript(const std::string& script, const std::vector<std::string>& more = {})
    {
        const std::filesystem::path path = directory.path() / "script.txt";
        std::ofstream(path) << script;
        std::vector<std::string> arguments{"/s", path.string()};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return run(ORVRAID_TEST_HOST, arguments);
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
        ::setenv("ORVDS_REGISTRY", registryPath.c_str(), 1);
        ::unsetenv("ORVRAID_PASSWORD");
        std::vector<char*> pointers;
        for (const std::string& argument : argv)
            pointers.push_back(const_cast<char*>(argument.c_str()));
        pointers.push_back(nullptr);
        ::execv(pointers[0], pointers.data());
        ::_exit(127);
    }
};

TEST_F(OrvraidProcessTest, AScriptAddsAnArraySelectsItsSubsystemAndListsItsLuns)
{
    const Outcome outcome = runScript(
        "rem the first array\n"
        "add array host=127.85.1.1 user=admin password=secret\n"
        "list subsystems\n"
        "select subsystem 0\r\n"
        "detail subsystem\n"
        "list luns\n");
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_THAT(outcome.out, HasSubstr("Subsystem 0 is now the selected subsystem."));
    EXPECT_THAT(outcome.out, HasSubstr("  Subsystem 0    Fake@127.85.1.1  Online  Healthy"));
    EXPECT_THAT(outcome.out, HasSubstr("Identification      : 127.85.1.1"));
    EXPECT_THAT(outcome.out, HasSubstr("  LUN 1    Online  Healthy  512 MB  Simple  Logs"));
    EXPECT_EQ(outcome.err, "");
}

TEST_F(OrvraidProcessTest, ASyntaxErrorEndsTheScriptWithFive)
{
    const Outcome outcome = runScript("list subsystems\nlist frobs noerr\nadd array host=127.85.1.2 user=u password=p\n");
    EXPECT_EQ(outcome.status, 5);
    EXPECT_THAT(outcome.err, HasSubstr("frobs"));
    EXPECT_THAT(outcome.out, Not(HasSubstr("127.85.1.2")));
}

TEST_F(OrvraidProcessTest, ASelectionErrorEndsTheScriptWithFive)
{
    const Outcome outcome = runScript("add array host=127.85.1.3 user=u password=p\nlist luns\nlist arrays\n");
    EXPECT_EQ(outcome.status, 5);
    EXPECT_THAT(outcome.err, HasSubstr("no selected subsystem"));
    EXPECT_THAT(outcome.out, Not(HasSubstr("Array 0")));
}

TEST_F(OrvraidProcessTest, AFailedProviderCallEndsTheScriptWithFourUnlessNoerr)
{
    const std::string start = "add array host=127.85.1.4badluns user=u password=p\nselect subsystem 0\n";
    const Outcome failed = runScript(start + "list luns\nlist drives\n");
    EXPECT_EQ(failed.status, 4);
    EXPECT_THAT(failed.err, HasSubstr("Could not list the LUNs"));
    EXPECT_THAT(failed.out, Not(HasSubstr("Drive 0")));

    const Outcome ignored = runScript(start + "list luns noerr\nlist drives\n");
    EXPECT_EQ(ignored.status, 0);
    EXPECT_THAT(ignored.out, HasSubstr("Drive 0"));
}

TEST_F(OrvraidProcessTest, ExitEndsTheScriptWithSuccess)
{
    const Outcome outcome = runScript("list arrays\nexit\nlist frobs\n");
    EXPECT_EQ(outcome.status, 0);
    EXPECT_THAT(outcome.out, HasSubstr("There are no managed arrays."));
}

TEST_F(OrvraidProcessTest, StandardInputThatIsNoTerminalIsAScript)
{
    const Outcome outcome = run(ORVRAID_TEST_HOST, {}, "list providers\nselect subsystem 0\n");
    EXPECT_EQ(outcome.status, 5);
    EXPECT_THAT(outcome.out, HasSubstr("Prov 0    Test Provider"));
}

TEST_F(OrvraidProcessTest, SwitchesAndScriptFiles)
{
    const Outcome missing = run(ORVRAID_TEST_HOST, {"/S", (directory.path() / "none.txt").string()});
    EXPECT_EQ(missing.status, 3);
    EXPECT_THAT(missing.err, HasSubstr("none.txt"));

    EXPECT_EQ(run(ORVRAID_TEST_HOST, {"/x"}).status, 2);
    EXPECT_EQ(run(ORVRAID_TEST_HOST, {"-s"}).status, 2);
    EXPECT_EQ(run(ORVRAID_TEST_HOST, {"/s", "a", "/s", "b"}).status, 2);

    const Outcome help = run(ORVRAID_TEST_HOST, {"/?"});
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.out, HasSubstr("/s <script>"));
}

TEST_F(OrvraidProcessTest, ARegistryThatCannotBeOpenedIsFatal)
{
    registryPath = directory.path().string();
    const Outcome outcome = run(ORVRAID_PROGRAM, {}, "list providers\n");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_THAT(outcome.err, HasSubstr(directory.path().string()));
    EXPECT_EQ(outcome.out, "");
}

}  // namespace
