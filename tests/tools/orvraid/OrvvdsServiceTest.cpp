// The product's service as systemd starts it: "orvvds -Service" writes the unit, the test
// runs the unit's ExecStart line with the registry and the socket in a folder of its own,
// and the product's orvraid attaches to it, runs scripts, watches, and is turned away
// when it would host a second provider for the same registry.
#include "OrvvdsServiceFixture.h"

#include "SimArray.h"

#include <regex>

namespace {

using ::testing::HasSubstr;
using namespace orvraid::test;
using Merrow::UserAgent::Testing::SimArray;

// Object ids are made anew by every provider that presents the array.
std::string withoutIds(const std::string& text)
{
    return std::regex_replace(text, std::regex("\\{[0-9A-Fa-f-]{36}\\}"), "{id}");
}

using OrvvdsServiceTest = OrvvdsServiceFixture;

TEST_F(OrvvdsServiceTest, AScriptThroughTheServiceAnswersAsInProcess)
{
    SimArray array("127.91.1.1");
    const std::string script =
        "add array host=127.91.1.1 user=admin password=secret\n"
        "list arrays\n"
        "list subsystems\n"
        "select subsystem 0\n"
        "detail subsystem\n"
        "list drives\n"
        "list controllers\n"
        "list luns\n"
        "select subsystem 7\n";
    // In process: a registry of its own and no service.
    const std::string serviceRegistry = registryPath;
    registryPath = (directory.path() / "in-process.db").string();
    ::setenv("ORVDS_SOCKET", (directory.path() / "none.sock").c_str(), 1);
    const Outcome inProcess = runProduct(script);
    ::setenv("ORVDS_SOCKET", socket.c_str(), 1);
    registryPath = serviceRegistry;

    startService();
    const Outcome attached = runProduct(script);
    EXPECT_EQ(attached.status, inProcess.status);
    // What the provider itself prints on its standard output (the registry writer's "Key
    // not found." for a first array) belongs to the process that hosts it: the service's
    // log, not the front end.
    const std::string providerLine = "Key not found.\n";
    std::string inProcessOut = inProcess.out;
    ASSERT_EQ(inProcessOut.rfind(providerLine, 0), 0u) << inProcessOut;
    inProcessOut.erase(0, providerLine.size());
    EXPECT_EQ(withoutIds(attached.out), withoutIds(inProcessOut));
    EXPECT_EQ(attached.err, inProcess.err);
    EXPECT_THAT(attached.out, HasSubstr("Identification      : 127.91.1.1"));
    EXPECT_NE(attached.status, 0) << "the script ends with a selection that fails";

    // The array stays the service's: a later front end finds it logged in.
    const Outcome later = runProduct("list arrays\n");
    EXPECT_EQ(later.status, 0) << later.err;
    EXPECT_THAT(later.out, HasSubstr("127.91.1.1  admin  Connected"));

    EXPECT_EQ(stopService(), 0);
    EXPECT_FALSE(std::filesystem::exists(socket)) << "the service removes its socket when it stops";
    EXPECT_THAT(readFile(directory.path() / "service.out"), HasSubstr(providerLine));
}

TEST_F(OrvvdsServiceTest, AWatcherSeesWhatAnotherFrontEndDoes)
{
    SimArray array("127.91.1.2");
    startService();
    const pid_t watcher = spawn({ORVRAID_PROGRAM, "watch"}, "watch");
    ASSERT_TRUE(waitForOutput(watcher, "watch", "Watching")) << readFile(directory.path() / "watch.err");

    const Outcome added = runProduct("add array host=127.91.1.2 user=admin password=secret\n");
    EXPECT_EQ(added.status, 0) << added.err;
    EXPECT_TRUE(waitForOutput(watcher, "watch", "subsystem arrived {"));
    const Outcome removed = runProduct("remove array host=127.91.1.2\n");
    EXPECT_EQ(removed.status, 0) << removed.err;
    EXPECT_TRUE(waitForOutput(watcher, "watch", "subsystem departed {"));

    // Ctrl+C ends the watch cleanly.
    ::kill(watcher, SIGINT);
    int status = 0;
    ::waitpid(watcher, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST_F(OrvvdsServiceTest, ASecondHostOfTheSameRegistryIsRefusedWithTheHoldersName)
{
    startService();
    // Without the socket, orvraid would host the provider itself.
    ::setenv("ORVDS_SOCKET", (directory.path() / "elsewhere.sock").c_str(), 1);
    const Outcome refused = runProduct("list subsystems\n");
    EXPECT_EQ(refused.status, 1);
    EXPECT_THAT(refused.err, HasSubstr("orvvds (pid " + std::to_string(m_service) + ") hosts the provider for " +
                                       registryPath + " already"));
    // A second service is refused the same way.
    ::setenv("ORVDS_SOCKET", socket.c_str(), 1);
    const Outcome second = run(ORVVDS_PROGRAM, {});
    EXPECT_NE(second.status, 0);
    EXPECT_THAT(second.err, HasSubstr("hosts the provider for"));
    EXPECT_TRUE(answers(socket)) << "the first service keeps its socket";
}

TEST_F(OrvvdsServiceTest, WithoutTheServiceAWatchHostsTheProviderItselfUntilCtrlC)
{
    const pid_t watcher = spawn({ORVRAID_PROGRAM, "watch"}, "watch");
    ASSERT_TRUE(waitForOutput(watcher, "watch", "Watching")) << readFile(directory.path() / "watch.err");
    // The watching orvraid is the provider's host now; another one is turned away.
    const Outcome refused = runProduct("list subsystems\n");
    EXPECT_EQ(refused.status, 1);
    EXPECT_THAT(refused.err, HasSubstr("orvraid (pid " + std::to_string(watcher) + ") hosts the provider"));
    ::kill(watcher, SIGINT);
    int status = 0;
    ::waitpid(watcher, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(runProduct("list subsystems\n").status, 0) << "the lock went with the watcher";
}

}  // namespace
