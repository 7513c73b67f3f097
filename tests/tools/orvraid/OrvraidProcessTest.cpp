// The program itself, run as a child process with the tests' provider (the test host
// program): scripts, standard input, the switches and the exit statuses administrators'
// scripts rely on.
#include "OrvraidChildProcess.h"

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
using namespace orvraid::test;

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
