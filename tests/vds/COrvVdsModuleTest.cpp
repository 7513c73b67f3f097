#include "vds/framework/COrvVdsModule.h"

#include "MinimalProvider.h"
#include "ScratchRegistry.h"
#include "TraceCapture.h"

#include "platform/com/ComClassRegistry.h"
#include "platform/com/TextConversion.h"
#include "platform/registry/RegistryKey.h"
#include "platform/service/EventLog.h"
#include "platform/vds/VdsProviderHost.h"
#include "platform/vds/VdsService.h"
#include "vds/framework/OrvVdsIds.h"
#include "vds/framework/OrvVdsRegistrar.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

using orv::platform::RegistryKey;
using orv::platform::Utf16ToUtf8;

namespace {

using Action = COrvVdsModule::Action;

struct SwitchCase {
    std::vector<std::string> arguments;
    Action expected;
};

// Ends a death test's child with a message when `condition` does not hold.
void require(bool condition, const char* what)
{
    if (condition)
        return;
    std::fprintf(stderr, "requirement failed: %s\n", what);
    std::fflush(stderr);
    std::_Exit(2);
}

std::u16string stringValue(orv::platform::RegistryRoot root, const std::u16string& key, const std::u16string& name)
{
    RegistryKey opened;
    std::u16string text;
    if (opened.open(RegistryKey::root(root), key) != ERROR_SUCCESS ||
        opened.queryString(name, text) != ERROR_SUCCESS)
        return u"<missing>";
    return text;
}

// Every key path below `key` that holds a value or has a name of ours.
void collectOurs(const RegistryKey& key, const std::u16string& path, std::vector<std::string>& out)
{
    std::u16string name;
    DWORD type;
    std::vector<BYTE> data;
    for (DWORD i = 0; key.enumValue(i, name, type, data) == ERROR_SUCCESS; ++i)
        out.push_back(Utf16ToUtf8(path) + " value " + Utf16ToUtf8(name));
    for (DWORD i = 0; key.enumKey(i, name) == ERROR_SUCCESS; ++i) {
        const std::u16string child = path + u"\\" + name;
        if (Utf16ToUtf8(name).find("Orv") != std::string::npos || name.starts_with(u"{"))
            out.push_back(Utf16ToUtf8(child));
        RegistryKey opened;
        if (opened.open(key, name) == ERROR_SUCCESS)
            collectOurs(opened, child, out);
    }
}

class COrvVdsModuleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_units = m_registry.directory() / "units";
        std::filesystem::create_directories(m_units);
        ::setenv("ORVDS_UNIT_DIR", m_units.c_str(), 1);
        ::setenv("ORVDS_REGISTRY", m_registry.registryPath().c_str(), 1);
    }
    void TearDown() override
    {
        ::unsetenv("ORVDS_UNIT_DIR");
        ::unsetenv("ORVDS_REGISTRY");
    }

    // Runs the program with `argument` (the environment names this test's registry and
    // unit directory) and answers its exit code.
    static int runProgram(const std::string& argument, std::string program = ORVVDS_PROGRAM)
    {
        std::vector<char*> argv = {program.data(), const_cast<char*>(argument.c_str()), nullptr};
        pid_t child = 0;
        if (::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
            return -1;
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    struct Outcome {
        int exitCode;
        std::string out;
        std::string err;
    };

    // As runProgram, keeping what the program wrote.
    Outcome runCapturing(const std::string& argument) const
    {
        const std::filesystem::path out = m_registry.directory() / "stdout";
        const std::filesystem::path err = m_registry.directory() / "stderr";
        std::string program = ORVVDS_PROGRAM;
        std::vector<char*> argv = {program.data(), const_cast<char*>(argument.c_str()), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        pid_t child = 0;
        const int spawned = ::posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0)
            return {-1, "", ""};
        int status = 0;
        ::waitpid(child, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readText(out), readText(err)};
    }

    static std::string readText(const std::filesystem::path& file)
    {
        std::ifstream in(file);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    bool unitInstalled() const { return std::filesystem::exists(m_units / "OrvVds.service"); }

    ScratchRegistry m_registry;
    std::filesystem::path m_units;
};

} // namespace

TEST(COrvVdsModuleCommandLineTest, SwitchesAfterDashOrSlashInAnyCase)
{
    const SwitchCase cases[] = {
        {{"/regserver"}, Action::RegServer},
        {{"-RegServer"}, Action::RegServer},
        {{"/REGSERVER"}, Action::RegServer},
        {{"-UnregServer"}, Action::UnregServer},
        {{"/unregserver"}, Action::UnregServer},
        {{"-Service"}, Action::Service},
        {{"/sErViCe"}, Action::Service},
        {{}, Action::Run},
        {{"RegServer"}, Action::Run},
        {{"--RegServer"}, Action::Run},
        {{"-RegServ"}, Action::Run},
        {{"-"}, Action::Run},
        {{"/Embedding", "-UnregServer", "/RegServer"}, Action::UnregServer},
        {{"--help"}, Action::Help},
        {{"-h"}, Action::Help},
        {{"/?"}, Action::Help},
        {{"-HELP"}, Action::Help},
        {{"--h"}, Action::Run},
    };
    for (const SwitchCase& row : cases) {
        EXPECT_EQ(COrvVdsModule::ParseCommandLine(row.arguments), row.expected)
            << testing::PrintToString(row.arguments);
    }
}

TEST_F(COrvVdsModuleTest, RegistrationSwitchesRegisterEverything)
{
    struct Case {
        std::string argument;
        bool installsService;
    };
    for (const Case& row : {Case{"/regserver", false}, Case{"-RegServer", false},
                            Case{"-Service", true}, Case{"/SERVICE", true}}) {
        SCOPED_TRACE(row.argument);
        ASSERT_EQ(runProgram(row.argument), 0);
        const std::u16string program = orv::platform::Utf8ToUtf16(ORVVDS_PROGRAM);
        for (const OrvComClassScript& script : OrvVdsRegistrar::ClassScripts()) {
            const std::u16string classKey = u"CLSID\\" + GuidToWString(script.clsid);
            const std::u16string progId = u"OrvVds." + std::u16string(script.name);
            EXPECT_EQ(stringValue(HKEY_CLASSES_ROOT, classKey + u"\\LocalServer32", u""), program);
            EXPECT_EQ(stringValue(HKEY_CLASSES_ROOT, classKey + u"\\ProgID", u""), progId + u".1");
            EXPECT_EQ(stringValue(HKEY_CLASSES_ROOT, classKey, u"AppID"), GuidToWString(APPID_OrvVds));
            EXPECT_EQ(stringValue(HKEY_CLASSES_ROOT, progId + u"\\CurVer", u""), progId + u".1");
        }
        const std::u16string appId = OrvVdsRegistrar::AppIdKeyPath();
        EXPECT_EQ(stringValue(HKEY_CLASSES_ROOT, appId, u"LocalService"), u"OrvVds");
        EXPECT_EQ(stringValue(HKEY_CLASSES_ROOT, appId, u"ServiceParameters"), u"-Service");
        EXPECT_EQ(stringValue(HKEY_CLASSES_ROOT, u"AppID\\orvvds", u"AppID"),
                  GuidToWString(APPID_OrvVds));
        EXPECT_EQ(stringValue(HKEY_CLASSES_ROOT,
                              u"TypeLib\\" + GuidToWString(LIBID_OrvVdsLib) + u"\\1.0", u""),
                  u"OrvVds 1.0 Type Library");

        orv::platform::VdsProviderRegistration provider;
        ASSERT_EQ(orv::platform::VdsService::findProvider(ORV_PROVIDER_ID, provider), S_OK);
        EXPECT_EQ(provider.clsid, CLSID_OrvVdsProvider);
        EXPECT_EQ(provider.name, u"OrvVds VDS Provider for the Corvane Array");
        EXPECT_EQ(provider.version, u"2.8.2.2");
        EXPECT_EQ(provider.type, VDS_PT_HARDWARE);
        EXPECT_EQ(provider.versionId, ORV_PROVIDER_VERSION_ID);
        EXPECT_EQ(unitInstalled(), row.installsService);

        ASSERT_EQ(runProgram("-UnregServer"), 0);
    }
}

// Asking for help explains the switches and touches nothing: no registry, no server.
TEST_F(COrvVdsModuleTest, HelpSwitchesExplainTheProgramAndChangeNothing)
{
    const std::filesystem::path registry = m_registry.directory() / "untouched" / "registry.db";
    ::setenv("ORVDS_REGISTRY", registry.c_str(), 1);
    for (const char* argument : {"--help", "-h", "/?"}) {
        SCOPED_TRACE(argument);
        const Outcome outcome = runCapturing(argument);
        EXPECT_EQ(outcome.exitCode, 0);
        EXPECT_NE(outcome.out.find("-RegServer"), std::string::npos) << outcome.out;
        EXPECT_NE(outcome.out.find("ORVDS_REGISTRY"), std::string::npos);
        EXPECT_EQ(outcome.err, "");
    }
    EXPECT_FALSE(std::filesystem::exists(registry.parent_path()));
    EXPECT_FALSE(unitInstalled());
}

// What cannot serve as the registry or the unit folder is named with its problem, not
// reported as a bare code.
TEST_F(COrvVdsModuleTest, UnusablePathsAreNamedWithTheirProblem)
{
    const std::filesystem::path folder = m_registry.directory() / "a-folder";
    const std::filesystem::path text = m_registry.directory() / "notes.txt";
    const std::filesystem::path noUnits = m_registry.directory() / "no-such-units";
    std::filesystem::create_directories(folder);
    std::ofstream(text) << "this is not a database, it only sits where one should be\n";
    struct Case {
        const char* variable;
        std::filesystem::path value;
        const char* argument;
        std::string problem;
    };
    const Case cases[] = {
        {"ORVDS_REGISTRY", folder, "-RegServer", "it is a folder, not a registry file"},
        {"ORVDS_REGISTRY", folder, "", "it is a folder, not a registry file"},
        {"ORVDS_REGISTRY", text, "-RegServer", "it is not a registry database"},
        {"ORVDS_REGISTRY", text / "registry.db", "-RegServer", "is a file"},
        {"ORVDS_UNIT_DIR", noUnits, "-Service", "does not exist"},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.value.string() + " " + row.argument);
        SetUp();
        ::setenv(row.variable, row.value.c_str(), 1);
        const Outcome outcome = runCapturing(row.argument);
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_NE(outcome.err.find(row.value.string()), std::string::npos) << outcome.err;
        EXPECT_NE(outcome.err.find(row.problem), std::string::npos) << outcome.err;
    }
    EXPECT_FALSE(std::filesystem::exists(noUnits));
}

TEST_F(COrvVdsModuleTest, RegServerTakesBackAnInstalledService)
{
    ASSERT_EQ(runProgram("-Service"), 0);
    ASSERT_TRUE(unitInstalled());
    ASSERT_EQ(runProgram("-RegServer"), 0);
    EXPECT_FALSE(unitInstalled());
    // RegisterServer writes "LocalService" back whatever the switch.
    EXPECT_EQ(stringValue(HKEY_CLASSES_ROOT, OrvVdsRegistrar::AppIdKeyPath(), u"LocalService"),
              u"OrvVds");
}

TEST_F(COrvVdsModuleTest, UnregServerLeavesNothingOfOursBehind)
{
    ASSERT_EQ(runProgram("-Service"), 0);
    ASSERT_EQ(runProgram("-UnregServer"), 0);
    std::vector<std::string> left;
    collectOurs(RegistryKey::root(HKEY_CLASSES_ROOT), u"HKCR", left);
    collectOurs(RegistryKey::root(HKEY_LOCAL_MACHINE), u"HKLM", left);
    EXPECT_EQ(left, std::vector<std::string>{});
    EXPECT_TRUE(std::filesystem::is_empty(m_units));
}

namespace {

// The words of a unit's ExecStart line, with systemd's quoting undone (quotes, backslash
// escapes, "%%" and "$$").
std::vector<std::string> execStartWords(const std::filesystem::path& unit)
{
    std::ifstream file(unit);
    std::string line;
    while (std::getline(file, line) && !line.starts_with("ExecStart=")) {
    }
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    bool inWord = false;
    for (std::size_t i = std::string("ExecStart=").size(); i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (c == '\\' && i + 1 < line.size()) {
            word += line[++i];
        } else if ((c == '%' || c == '$') && i + 1 < line.size() && line[i + 1] == c) {
            word += line[++i];
        } else if (c == ' ' && !quoted) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

// Waits until `file` exists or `child` ended; true when the file came while it ran.
bool cameUpWhileRunning(pid_t child, const std::filesystem::path& file)
{
    for (int i = 0; i < 600; ++i) {
        if (std::filesystem::exists(file))
            return true;
        if (::waitpid(child, nullptr, WNOHANG) == child)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

// The exit status of `child` once it ended; one that does not end on its own within a
// minute is killed, so a server deaf to SIGTERM fails the test instead of hanging it.
int statusAfterStop(pid_t child)
{
    int status = 0;
    for (int i = 0; i < 600; ++i) {
        if (::waitpid(child, &status, WNOHANG) == child)
            return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    return status;
}

} // namespace

// systemd starts the installed service with the unit's own ExecStart line: that must run
// the server (service mode coming from "LocalService"), not register the program again.
TEST_F(COrvVdsModuleTest, TheInstalledUnitStartsTheServer)
{
    ASSERT_EQ(runProgram("-Service", ORVVDS_TEST_SERVER), 0);
    ASSERT_TRUE(unitInstalled());
    std::vector<std::string> words = execStartWords(m_units / "OrvVds.service");
    ASSERT_FALSE(words.empty());
    EXPECT_EQ(words[0], ORVVDS_TEST_SERVER);

    const std::filesystem::path loaded = m_registry.directory() / "loaded";
    ::setenv("ORVDS_TEST_LOADED_FILE", loaded.c_str(), 1);
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t server = 0;
    const int spawned = ::posix_spawn(&server, argv[0], nullptr, nullptr, argv.data(), environ);
    ::unsetenv("ORVDS_TEST_LOADED_FILE");
    ASSERT_EQ(spawned, 0);

    const bool running = cameUpWhileRunning(server, loaded);
    ::kill(server, SIGTERM);
    const int status = statusAfterStop(server);
    EXPECT_TRUE(running) << "the unit's command did not bring up a server";
    // Stopped like a service: the loop ends and the provider's departure ends the process.
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(unitInstalled());
    ASSERT_EQ(runProgram("-UnregServer", ORVVDS_TEST_SERVER), 0);
}

TEST(COrvVdsModuleVersionTest, VdsMustBeNewerThanOnePointZero)
{
    const std::pair<std::u16string, HRESULT> cases[] = {
        {u"1.0", E_FAIL}, {u"1.1", S_OK},   {u"0.9", E_FAIL}, {u"2", S_OK},
        {u"1.00", E_FAIL}, {u"", E_FAIL},  {u"abc", E_FAIL}, {u"1.01 beta", S_OK},
    };
    for (const auto& [version, expected] : cases) {
        orv::platform::VdsService::setVersionText(version);
        EXPECT_EQ(COrvVdsModule::instance().TestVDSVersion(), expected)
            << Utf16ToUtf8(version);
    }
    orv::platform::VdsService::setVersionText(u"1.1");
}

TEST_F(COrvVdsModuleTest, MissingTraceSettingsGetTheirDefaultsWrittenBack)
{
    COrvVdsModule& module = COrvVdsModule::instance();
    const std::u16string path = COrvVdsModule::TraceSettingsKeyPath();
    EXPECT_EQ(path, u"Software\\OrvVds\\VDS");
    const COrvVdsModule::TraceSettings first = module.LoadTraceSettings();
    EXPECT_FALSE(first.useNativeTraceFiles);
    EXPECT_EQ(first.severityFilter, 2u);
    EXPECT_EQ(first.categoryFilter, u".*");

    RegistryKey key;
    ASSERT_EQ(key.open(RegistryKey::root(HKEY_LOCAL_MACHINE), path, KEY_ALL_ACCESS), ERROR_SUCCESS);
    DWORD severity = 0;
    std::u16string category;
    EXPECT_EQ(key.queryDword(u"SeverityFilter", severity), ERROR_SUCCESS);
    EXPECT_EQ(severity, 2u);
    EXPECT_EQ(key.queryString(u"CategoryFilter", category), ERROR_SUCCESS);
    EXPECT_EQ(category, u".*");
    EXPECT_EQ(key.queryString(u"UseNativeTraceFiles", category), ERROR_FILE_NOT_FOUND);

    struct Case {
        std::u16string useNative;
        bool expected;
    };
    for (const Case& row : {Case{u"1", true}, Case{u"0", false}, Case{u"7", true},
                            Case{u"1234", true} /* ten bytes with its end */, Case{u"12345", false} /* twelve */,
                            Case{u"yes", false}}) {
        ASSERT_EQ(key.setString(u"UseNativeTraceFiles", row.useNative), ERROR_SUCCESS);
        EXPECT_EQ(module.LoadTraceSettings().useNativeTraceFiles, row.expected)
            << Utf16ToUtf8(row.useNative);
    }

    ASSERT_EQ(key.setDword(u"SeverityFilter", 4), ERROR_SUCCESS);
    ASSERT_EQ(key.setString(u"CategoryFilter", u"TC\\.VDS\\..*"), ERROR_SUCCESS);
    const COrvVdsModule::TraceSettings set = module.LoadTraceSettings();
    EXPECT_EQ(set.severityFilter, 4u);
    EXPECT_EQ(set.categoryFilter, u"TC\\.VDS\\..*");

    // Too long to read: the default is used and the stored text is left alone.
    const std::u16string tooLong(130, u'x');
    ASSERT_EQ(key.setString(u"CategoryFilter", tooLong), ERROR_SUCCESS);
    EXPECT_EQ(module.LoadTraceSettings().categoryFilter, u".*");
    EXPECT_EQ(key.queryString(u"CategoryFilter", category), ERROR_SUCCESS);
    EXPECT_EQ(category, tooLong);
}

// ---- the provider map and the end of the process ---------------------------------------
//
// Removing the last provider ends a server process, and the server needs the process's
// signal handling, so these run in child processes.

namespace {

class MapEntry : public CVdsObjectBase<VDS_OT_PROVIDER> {
public:
    explicit MapEntry(unsigned char n) { m_Id = GUID{n, 0, 0, {0, 0, 0, 0, 0, 0, 0, n}}; }
};

bool traced(const std::vector<std::string>& messages, const std::string& text)
{
    return std::find(messages.begin(), messages.end(), text) != messages.end();
}

void exerciseProviderMap()
{
    COrvVdsModule& module = COrvVdsModule::instance();
    MapEntry a(1), b(2), stranger(3);
    module.AddProvider(&a);
    module.AddProvider(&b);
    require(module.GetProvider(a.GetGuid()) == &a, "a is found");
    require(module.GetProviderAs<MapEntry>(b.GetGuid()) == &b, "b is found as its class");
    require(module.GetProvider(stranger.GetGuid()) == nullptr, "an unknown id finds nothing");

    TraceCapture::instance().clear();
    module.AddProvider(&a);
    require(module.RemoveProvider(stranger.GetGuid()) == E_FAIL, "unknown id: E_FAIL");
    const auto messages = TraceCapture::instance().takeMessages("TC.VDS.Module");
    require(traced(messages, "Insert into provider map failed!"), "double insert traced");
    require(traced(messages, "Remove from provider map failed!"), "failed removal traced");

    require(module.RemoveProvider(a.GetGuid()) == S_OK, "a leaves while b stays");
    require(module.GetProvider(a.GetGuid()) == nullptr && module.ProviderCount() == 1,
            "only b is left");
    require(module.RemoveProvider(b.GetGuid()) == S_OK, "the last one leaves");
    require(module.ProviderCount() == 0, "the map is empty");
    // No server runs in this process, so it goes on.
    std::fputs("the process outlived its last provider\n", stderr);
    std::_Exit(3);
}

void releaseProvidersOneByOne()
{
    ScratchRegistry registry;
    orv::platform::ComClassRegistry::instance().registerClass(
        CLSID_OrvVdsProvider, CreateComInstance<MinimalProvider>);
    orv::platform::VdsProviderHost first;
    orv::platform::VdsProviderHost second;
    require(SUCCEEDED(first.load(CLSID_OrvVdsProvider)), "VDS loads the first provider");
    require(SUCCEEDED(second.load(CLSID_OrvVdsProvider)), "and a second one");
    require(COrvVdsModule::instance().ProviderCount() == 2, "both are in the map");
    second.unload();
    require(COrvVdsModule::instance().ProviderCount() == 1, "the second one left");
    first.unload(); // VDS lets go of the only provider left
    require(COrvVdsModule::instance().ProviderCount() == 0, "the map is empty");
    std::fputs("the process outlived its last provider\n", stderr);
    std::_Exit(3);
}

// The server whose provider fails OnLoad: the error is returned and logged, and the
// provider's release on the way out does not end the process first.
void serveAProviderThatFailsToLoad()
{
    ScratchRegistry registry;
    const std::filesystem::path units = registry.directory() / "units";
    std::filesystem::create_directories(units);
    ::setenv("ORVDS_UNIT_DIR", units.c_str(), 1);
    std::vector<std::string> errors;
    orv::platform::EventLog::setObserver([&](WORD type, std::string_view message) {
        if (type == EVENTLOG_ERROR_TYPE)
            errors.emplace_back(message);
    });
    COrvVdsModule& module = COrvVdsModule::instance();
    module.SetProviderClass(CreateComInstance<MinimalProvider>);
    require(SUCCEEDED(module.RegServer(false)), "the program registers");
    MinimalProvider::s_onLoadResult = E_ACCESSDENIED;
    require(module.Start() == E_ACCESSDENIED, "the server answers OnLoad's failure");
    require(MinimalProvider::s_loads == 1, "VDS tried to load the provider");
    require(errors == std::vector<std::string>{"The provider could not be loaded (0x80070005)"},
            "the failure is in the event log");
    std::_Exit(4);
}

void serveUntilStopped()
{
    ScratchRegistry registry;
    const std::filesystem::path units = registry.directory() / "units";
    std::filesystem::create_directories(units);
    ::setenv("ORVDS_UNIT_DIR", units.c_str(), 1);
    COrvVdsModule& module = COrvVdsModule::instance();
    module.SetProviderClass(CreateComInstance<MinimalProvider>);
    require(SUCCEEDED(module.RegServer(false)), "the program registers");
    MinimalProvider::s_stopServerOnLoad = true;
    module.Start();
    std::fputs("the server returned instead of ending the process\n", stderr);
    std::_Exit(3);
}

} // namespace

TEST(COrvVdsModuleDeathTest, ProviderMapAndItsLastEntry)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ScratchRoot scratch; // the child ends with _exit: its scratch files go with this
    EXPECT_EXIT(exerciseProviderMap(), ::testing::ExitedWithCode(3),
                "the process outlived its last provider");
}

// A program that hosts the provider itself (the front end, the tests) is not the server:
// the last provider's release leaves it running.
TEST(COrvVdsModuleDeathTest, AnInProcessHostOutlivesItsLastProvider)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ScratchRoot scratch; // the child ends with _exit: its scratch files go with this
    EXPECT_EXIT(releaseProvidersOneByOne(), ::testing::ExitedWithCode(3),
                "the process outlived its last provider");
}

TEST(COrvVdsModuleDeathTest, AProviderThatFailsToLoadEndsTheServerWithItsError)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ScratchRoot scratch; // the child ends with _exit: its scratch files go with this
    EXPECT_EXIT(serveAProviderThatFailsToLoad(), ::testing::ExitedWithCode(4), "");
}

TEST(COrvVdsModuleDeathTest, ServerActivatesTheRegisteredProviderAndEndsWithIt)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ScratchRoot scratch; // the child ends with _exit: its scratch files go with this
    // SIGTERM (raised by the provider once VDS loaded it) stops the server loop; VDS then
    // releases the provider, whose departure ends the process with 0.
    EXPECT_EXIT(serveUntilStopped(), ::testing::ExitedWithCode(0), "");
}
