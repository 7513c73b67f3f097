#include "platform/registry/RegistryKey.h"
#include "platform/service/EventSourceRegistration.h"
#include "platform/service/ServiceLoop.h"
#include "platform/service/ServiceUnit.h"
#include "trace/WindowsTraceStreamSinkClass.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <thread>

namespace orv::platform {
namespace {

std::string contentsOf(const std::filesystem::path& path)
{
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

ServiceDefinition orvVdsService()
{
    return {"OrvVds", "/usr/sbin/orvvds", {"-Service"}, {}, "", ""};
}

TEST(ServiceUnit, InstallWritesAStartableUnitAndUninstallRemovesIt)
{
    test::TempDirectory directory;
    ServiceUnit unit("OrvVds", directory.path());
    EXPECT_FALSE(unit.isInstalled());
    ASSERT_EQ(unit.install(orvVdsService()), S_OK);
    EXPECT_EQ(unit.unitPath(), directory.path() / "OrvVds.service");
    EXPECT_TRUE(unit.isInstalled());

    const std::string text = contentsOf(unit.unitPath());
    EXPECT_NE(text.find("Description=OrvVds\n"), std::string::npos);
    EXPECT_NE(text.find("ExecStart=\"/usr/sbin/orvvds\" \"-Service\"\n"), std::string::npos);
    struct stat info {};
    ASSERT_EQ(::stat(unit.unitPath().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);

    EXPECT_EQ(unit.uninstall(), S_OK);
    EXPECT_FALSE(std::filesystem::exists(unit.unitPath()));
    EXPECT_EQ(unit.uninstall(), S_FALSE);
    EXPECT_TRUE(std::filesystem::is_empty(directory.path()));
}

TEST(ServiceUnit, AnInstalledServiceIsLeftAsItIs)
{
    test::TempDirectory directory;
    ServiceUnit unit("OrvVds", directory.path());
    ASSERT_EQ(unit.install(orvVdsService()), S_OK);
    ServiceDefinition other = orvVdsService();
    other.program = "/opt/other";
    EXPECT_EQ(unit.install(other), S_FALSE);
    EXPECT_EQ(contentsOf(unit.unitPath()).find("/opt/other"), std::string::npos);
}

TEST(ServiceUnit, CommandWordsAreQuotedAgainstSystemdExpansion)
{
    ServiceDefinition definition{"Odd", "/opt/My Programs/orv\"vds", {"-Service", "50%$HOME\\x"}, {}, "", ""};
    const std::string text = ServiceUnit::unitText(definition);
    EXPECT_NE(text.find(R"(ExecStart="/opt/My Programs/orv\"vds" "-Service" "50%%$$HOME\\x")"),
              std::string::npos)
        << text;
}

TEST(ServiceUnit, DependenciesOrderTheStart)
{
    ServiceDefinition definition = orvVdsService();
    definition.dependencies = {"network-online.target", "iscsid.service"};
    const std::string text = ServiceUnit::unitText(definition);
    EXPECT_NE(text.find("After=network-online.target iscsid.service\n"), std::string::npos);
    EXPECT_NE(text.find("Wants=network-online.target iscsid.service\n"), std::string::npos);
    EXPECT_EQ(ServiceUnit::unitText(orvVdsService()).find("After="), std::string::npos);
}

TEST(ServiceUnit, UnsafeNamesAndArgumentsAreRefused)
{
    test::TempDirectory directory;
    for (const char* name : {"", "..", "../escape", "a/b", "with space"})
        EXPECT_EQ(ServiceUnit(name, directory.path()).install(orvVdsService()), E_INVALIDARG) << name;

    ServiceDefinition injected = orvVdsService();
    injected.arguments.push_back("-x\nExecStartPre=/bin/rm");
    EXPECT_EQ(ServiceUnit("OrvVds", directory.path()).install(injected), E_INVALIDARG);
    ServiceDefinition badDependency = orvVdsService();
    badDependency.dependencies = {"a b"};
    EXPECT_EQ(ServiceUnit("OrvVds", directory.path()).install(badDependency), E_INVALIDARG);
    EXPECT_TRUE(std::filesystem::is_empty(directory.path()));
}

TEST(ServiceUnit, MissingDirectoryIsReported)
{
    test::TempDirectory directory;
    ServiceUnit unit("OrvVds", directory.path() / "absent");
    EXPECT_EQ(unit.install(orvVdsService()), HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND));
}

TEST(ServiceUnit, DirectoryComesFromTheEnvironment)
{
    ::setenv("ORVDS_UNIT_DIR", "/tmp/units", 1);
    EXPECT_EQ(ServiceUnit::defaultUnitDirectory(), "/tmp/units");
    ::unsetenv("ORVDS_UNIT_DIR");
    EXPECT_EQ(ServiceUnit::defaultUnitDirectory(), "/etc/systemd/system");
}

// ---- service loop ----------------------------------------------------------------------

TEST(ServiceLoop, QuitFromAnotherThreadEndsTheLoopWithItsCode)
{
    ServiceLoop loop;
    std::thread quitter([&loop] { loop.quit(7); });
    const ServiceLoop::Result result = loop.run();
    quitter.join();
    EXPECT_EQ(result.reason, ServiceLoop::Reason::Quit);
    EXPECT_EQ(result.value, 7);
}

TEST(ServiceLoop, QuitBeforeRunIsNotLostAndTheFirstCodeCounts)
{
    ServiceLoop loop;
    loop.quit(3);
    loop.quit(4);
    const ServiceLoop::Result result = loop.run();
    EXPECT_EQ(result.reason, ServiceLoop::Reason::Quit);
    EXPECT_EQ(result.value, 3);
}

TEST(ServiceLoop, TermAndIntSignalsEndTheLoop)
{
    for (int signal : {SIGTERM, SIGINT}) {
        ServiceLoop loop;
        ASSERT_EQ(::raise(signal), 0);
        const ServiceLoop::Result result = loop.run();
        EXPECT_EQ(result.reason, ServiceLoop::Reason::Signal);
        EXPECT_EQ(result.value, signal);
    }
}

TEST(ServiceLoop, SignalOnAnotherThreadReachesTheLoop)
{
    ServiceLoop loop;
    std::thread([] { ::kill(::getpid(), SIGTERM); }).join();
    EXPECT_EQ(loop.run().value, SIGTERM);
}

std::atomic<int> g_previousHandlerCalls{0};
extern "C" void previousHandler(int) { ++g_previousHandlerCalls; }

TEST(ServiceLoop, PreviousHandlersReturnAfterTheLoop)
{
    struct sigaction mine {};
    mine.sa_handler = previousHandler;
    sigemptyset(&mine.sa_mask);
    struct sigaction saved {};
    ASSERT_EQ(::sigaction(SIGTERM, &mine, &saved), 0);
    {
        ServiceLoop loop;
        ::raise(SIGTERM);
        EXPECT_EQ(loop.run().reason, ServiceLoop::Reason::Signal);
        EXPECT_EQ(g_previousHandlerCalls, 0);
    }
    ::raise(SIGTERM);
    EXPECT_EQ(g_previousHandlerCalls, 1);
    ::sigaction(SIGTERM, &saved, nullptr);
}

TEST(ServiceLoop, OnlyOneLoopAtATime)
{
    ServiceLoop loop;
    EXPECT_THROW(ServiceLoop second, std::logic_error);
    loop.quit();
    EXPECT_EQ(loop.run().reason, ServiceLoop::Reason::Quit);
}

// ---- event source ----------------------------------------------------------------------

class EventSourceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::shared_ptr<Registry> registry;
        ASSERT_EQ(Registry::open(m_directory.path() / "registry.db", registry), ERROR_SUCCESS);
        Registry::setProcessRegistry(registry);
    }
    void TearDown() override
    {
        Merrow::Trace::setEventSourceRegistrar(nullptr);
        Registry::setProcessRegistry(nullptr);
    }

    static RegistryKey sourceKey()
    {
        RegistryKey key;
        key.open(RegistryKey::root(HKEY_LOCAL_MACHINE), EventSourceRegistration::kKey);
        return key;
    }

    test::TempDirectory m_directory;
};

TEST_F(EventSourceTest, RegistrationWritesTheSourceValues)
{
    ASSERT_EQ(EventSourceRegistration::registerSource("/usr/sbin/orvvds"), ERROR_SUCCESS);
    RegistryKey key = sourceKey();
    ASSERT_TRUE(key.isOpen());
    DWORD number = 0;
    std::u16string text;
    DWORD type = REG_NONE;
    EXPECT_EQ(key.queryDword(u"MaxSize", number), ERROR_SUCCESS);
    EXPECT_EQ(number, 1048576u);
    EXPECT_EQ(key.queryDword(u"CategoryCount", number), ERROR_SUCCESS);
    EXPECT_EQ(number, 11u);
    EXPECT_EQ(key.queryDword(u"TypesSupported", number), ERROR_SUCCESS);
    EXPECT_EQ(number, 7u);
    EXPECT_EQ(key.queryValue(u"File", &type, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_EXPAND_SZ);
    EXPECT_EQ(key.queryString(u"File", text), ERROR_SUCCESS);
    EXPECT_EQ(text, u"%SystemRoot%\\system32\\config\\VDS_Provider.evt");
    EXPECT_EQ(key.queryString(u"CategoryMessageFile", text), ERROR_SUCCESS);
    EXPECT_EQ(text, u"/usr/sbin/orvvds");
    EXPECT_EQ(key.queryString(u"EventMessageFile", text), ERROR_SUCCESS);
    EXPECT_EQ(text, u"/usr/sbin/orvvds");
}

TEST_F(EventSourceTest, UnregisteringRemovesTheSource)
{
    ASSERT_EQ(EventSourceRegistration::registerSource(), ERROR_SUCCESS);
    EXPECT_EQ(EventSourceRegistration::unregisterSource(), ERROR_SUCCESS);
    EXPECT_FALSE(sourceKey().isOpen());
    EXPECT_EQ(EventSourceRegistration::unregisterSource(), ERROR_FILE_NOT_FOUND);
}

TEST_F(EventSourceTest, BuildingTheEventLogSinkRegistersTheRunningProgram)
{
    EventSourceRegistration::installAsTraceRegistrar();
    Merrow::Trace::WindowsTraceStreamSinkClass sink(2, ".*");
    RegistryKey key = sourceKey();
    ASSERT_TRUE(key.isOpen());
    std::u16string text;
    ASSERT_EQ(key.queryString(u"EventMessageFile", text), ERROR_SUCCESS);
    EXPECT_NE(text.find(u"platform_tests"), std::u16string::npos);
}

}  // namespace
}  // namespace orv::platform
