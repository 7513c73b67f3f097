// Configuration save and restore through the advanced settings facade against the simulated
// array: the file holds the array's data unchanged, restores and factory resets send the
// settings the caller chose, a restore the array must restart for takes it down and the
// connection comes back, and local file failures stop before the array is asked.

#include "user_agent/base/CIMValueConversions.h"
#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/root/MerrowUserAgent.h"
#include "user_agent/services/Service_AdvancedSettings.h"
#include "user_agent/services/Service_CorvaneSystem.h"
#include "user_agent/services/Service_ManagementPort.h"
#include "user_agent/services/Service_Volume.h"
#include "user_agent/services/Service_VolumeList.h"

#include "sim/ConfigurationData.h"

#include "ServiceIndicationCollector.h"
#include "SimArray.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace Merrow::UserAgent {
namespace {

using namespace Testing;
using R = MerrowReturnValue;
namespace fs = std::filesystem;

constexpr std::uint32_t kRestartMs = 300;

// A directory of the test's own, removed with everything in it.
class ScratchDirectory {
public:
    explicit ScratchDirectory(const std::string& name)
        : m_path(fs::temp_directory_path() / ("orv-config-" + name + "-" + std::to_string(::getpid()))) {
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    std::string file(const std::string& name) const { return (m_path / name).string(); }
    std::set<std::string> entries() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_path))
            names.insert(entry.path().filename().string());
        return names;
    }

private:
    fs::path m_path;
};

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

class ConfigurationSaveRestoreSimTest : public ::testing::Test {
protected:
    void start(const std::string& address) {
        Sim::SimulatorOptions options = simOptions(address);
        options.restartMilliseconds = kRestartMs;
        m_array = std::make_unique<SimArray>(options);
        MerrowUserAgentPeriods periods;
        periods.keepAliveIdle = std::chrono::milliseconds(100);
        periods.keepAlivePoll = std::chrono::milliseconds(10);
        periods.dispatcherWait = std::chrono::milliseconds(50);
        m_root = std::make_unique<MerrowUserAgent>(false, periods);
        ASSERT_EQ(m_root->Start().getCode(), R::UA_S_OK);
        m_connection = m_root->GetConnection(address);
        ASSERT_EQ(m_connection.Connect(kSimUser, kSimPassword).getCode(), R::UA_S_OK);
        ASSERT_NO_FATAL_FAILURE(openFacades());
    }
    void openFacades() {
        ASSERT_EQ(m_connection.GetCorvaneSystemService(m_system).getCode(), R::UA_S_OK);
        ASSERT_EQ(m_system.GetServiceAdvancedSettings(m_settings).getCode(), R::UA_S_OK);
    }

    Sim::SimulatorControl& control() { return m_array->control(); }
    Sim::ArrayState state() {
        return control().model().read([](const Sim::ModelView& view) { return view.state; });
    }
    std::set<std::string> volumeNames() {
        std::set<std::string> names;
        for (const auto& [id, volume] : state().volumes)
            names.insert(volume.name);
        return names;
    }
    std::int32_t connectionState() {
        std::int32_t value = -1;
        m_connection.GetConnectionState(value);
        return value;
    }
    std::uint64_t sentSetting() {
        const auto call = control().lastCall("WritePersistenceData");
        EXPECT_TRUE(call.has_value());
        return call ? CIMValueToUint64(call->parameters.at("PersistenceSetting")).value_or(0) : 0;
    }
    std::string sentData() {
        const auto call = control().lastCall("WritePersistenceData");
        return call ? call->parameters.at("Data").get<std::string>() : "<none>";
    }
    // What the library's holder does after an array restart: the keep-alive probe finds the
    // connection lost, then reconnects are tried until the array answers again.
    void awaitLossAndReconnect() {
        ASSERT_TRUE(eventually([&] { return connectionState() == UACIMClient::STATE_CONNECTION_LOST; }));
        ASSERT_TRUE(eventually([&] { return m_connection.Reconnect("").getCode() == R::UA_S_OK; }));
        EXPECT_EQ(connectionState(), UACIMClient::STATE_CONNECTED);
        ASSERT_NO_FATAL_FAILURE(openFacades());
    }

    std::unique_ptr<SimArray> m_array;
    std::unique_ptr<MerrowUserAgent> m_root;
    CorvaneConnection m_connection;
    Service_CorvaneSystem m_system;
    Service_AdvancedSettings m_settings;
};

// ---- save and restore ------------------------------------------------------------------------

TEST_F(ConfigurationSaveRestoreSimTest, RestoreRestartsTheArrayWithTheSavedConfiguration) {
    ASSERT_NO_FATAL_FAILURE(start("127.81.10.1"));
    ScratchDirectory directory("roundtrip");
    const std::string file = directory.file("array.cfg");
    const std::set<std::string> savedNames = volumeNames();
    ASSERT_FALSE(savedNames.empty());

    ASSERT_EQ(m_settings.SaveCvnConfiguration(file).getCode(), R::UA_S_OK);
    EXPECT_EQ(contentOf(file), Sim::ConfigurationData::exportText(state()));
    EXPECT_EQ(directory.entries(), std::set<std::string>{"array.cfg"});

    Service_VolumeList list;
    ASSERT_EQ(m_system.GetServiceVolumeList(list).getCode(), R::UA_S_OK);
    std::vector<Service_Volume> volumes;
    ASSERT_EQ(list.GetVolumes(volumes).getCode(), R::UA_S_OK);
    ASSERT_FALSE(volumes.empty());
    ASSERT_EQ(volumes[0].SetName("renamed-after-save").getCode(), R::UA_S_OK);
    std::string made;
    ASSERT_EQ(control().addVolume("made-after-save", 1ull << 30, made), Sim::ControlResult::Ok);
    ASSERT_NE(volumeNames(), savedNames);

    ASSERT_EQ(m_settings.RestoreCvnConfiguration(file, false).getCode(), R::UA_S_OK);
    EXPECT_EQ(sentSetting(), 4u);
    EXPECT_EQ(sentData(), contentOf(file));
    const auto restart = control().lastCall("InitiateShutdown");
    ASSERT_TRUE(restart.has_value());
    EXPECT_TRUE(restart->parameters.at("Restart").get<bool>());

    ASSERT_NO_FATAL_FAILURE(awaitLossAndReconnect());
    EXPECT_EQ(volumeNames(), savedNames);
    std::vector<Service_Volume> restored;
    ASSERT_EQ(m_system.GetServiceVolumeList(list).getCode(), R::UA_S_OK);
    ASSERT_EQ(list.GetVolumes(restored).getCode(), R::UA_S_OK);
    std::set<std::string> seen;
    for (const Service_Volume& volume : restored) {
        std::string name;
        ASSERT_EQ(volume.GetName(name).getCode(), R::UA_S_OK);
        seen.insert(name);
    }
    EXPECT_EQ(seen, savedNames);
}

TEST_F(ConfigurationSaveRestoreSimTest, RestoreTheArrayTakesWhileRunningNeedsNoRestart) {
    ASSERT_NO_FATAL_FAILURE(start("127.81.10.2"));
    ScratchDirectory directory("applied");
    const std::string file = directory.file("array.cfg");
    ASSERT_EQ(m_settings.SaveCvnConfiguration(file).getCode(), R::UA_S_OK);
    ASSERT_EQ(m_system.SetName("renamed-array").getCode(), R::UA_S_OK);

    const R replaced = m_settings.RestoreCvnConfiguration(file, false);
    EXPECT_EQ(replaced.getCode(), R::UA_S_FALSE);
    EXPECT_EQ(sentSetting(), 4u);
    EXPECT_NE(state().system.name, "renamed-array");

    EXPECT_EQ(m_settings.RestoreCvnConfiguration(file, true).getCode(), R::UA_S_FALSE);
    EXPECT_EQ(sentSetting(), 5u);
    EXPECT_FALSE(control().lastCall("InitiateShutdown").has_value());
    EXPECT_TRUE(m_array->simulator().poweredOn());
    cim::CIMObjectPath top;
    EXPECT_EQ(m_connection.GetTopComputerSystem(top).getCode(), R::UA_S_OK);
}

TEST_F(ConfigurationSaveRestoreSimTest, DataFromAnotherChassisIsRefusedOnlyWhenAskedTo) {
    ASSERT_NO_FATAL_FAILURE(start("127.81.10.3"));
    ScratchDirectory directory("chassis");
    const std::string file = directory.file("array.cfg");
    ASSERT_EQ(m_settings.SaveCvnConfiguration(file).getCode(), R::UA_S_OK);
    auto data = nlohmann::json::parse(contentOf(file));
    data["serialNumber"] = "another-chassis";
    writeFile(file, data.dump());

    const R refused = m_settings.RestoreCvnConfiguration(file, true);
    EXPECT_EQ(refused.getCode(), R::UA_E_REQUEST_FAILED);
    EXPECT_EQ(refused.getFailureCode(), 23);
    EXPECT_EQ(m_settings.RestoreCvnConfiguration(file, false).getCode(), R::UA_S_FALSE);

    writeFile(file, "not a configuration");
    const R garbage = m_settings.RestoreCvnConfiguration(file, false);
    EXPECT_EQ(garbage.getCode(), R::UA_E_REQUEST_FAILED);
    EXPECT_EQ(garbage.getFailureCode(), 22);
    EXPECT_FALSE(control().lastCall("InitiateShutdown").has_value());
}

TEST_F(ConfigurationSaveRestoreSimTest, FactoryResetsSendEmptyDataAndRestart) {
    ASSERT_NO_FATAL_FAILURE(start("127.81.10.4"));
    auto hostName = [&] {
        Service_ManagementPort port;
        std::string name;
        EXPECT_EQ(m_system.GetServiceManagementPort(port).getCode(), R::UA_S_OK);
        EXPECT_EQ(port.GetHostName(name).getCode(), R::UA_S_OK);
        return name;
    };
    Service_ManagementPort port;
    ASSERT_EQ(m_system.GetServiceManagementPort(port).getCode(), R::UA_S_OK);
    const std::string factoryHostName = hostName();
    ASSERT_EQ(port.SetHostName("kept-host").getCode(), R::UA_S_OK);

    ASSERT_EQ(m_settings.RestoreCvnConfigurationToFactoryDefaults(true).getCode(), R::UA_S_OK);
    EXPECT_EQ(sentSetting(), 3u);
    EXPECT_EQ(sentData(), "");
    EXPECT_TRUE(state().volumes.empty());
    ASSERT_NO_FATAL_FAILURE(awaitLossAndReconnect());
    EXPECT_EQ(hostName(), "kept-host");

    control().clearCalls();
    ASSERT_EQ(m_settings.RestoreCvnConfigurationToFactoryDefaults(false).getCode(), R::UA_S_OK);
    EXPECT_EQ(sentSetting(), 2u);
    EXPECT_EQ(sentData(), "");
    EXPECT_TRUE(control().lastCall("InitiateShutdown").has_value());
    ASSERT_NO_FATAL_FAILURE(awaitLossAndReconnect());
    EXPECT_EQ(hostName(), factoryHostName);
}

// ---- local files -----------------------------------------------------------------------------

TEST_F(ConfigurationSaveRestoreSimTest, UnusableRestoreFilesAreRefusedBeforeTheArrayIsAsked) {
    ASSERT_NO_FATAL_FAILURE(start("127.81.11.1"));
    ScratchDirectory directory("unusable");
    const std::string empty = directory.file("empty.cfg");
    writeFile(empty, "");
    control().resetRequestCounts();

    const R emptyFile = m_settings.RestoreCvnConfiguration(empty, false);
    EXPECT_EQ(emptyFile.getCode(), R::UA_E_REQUEST_FAILED);
    EXPECT_EQ(emptyFile.getMessage(), "Invalid file size for local file");
    const R missing = m_settings.RestoreCvnConfiguration(directory.file("missing.cfg"), true);
    EXPECT_EQ(missing.getCode(), R::UA_E_REQUEST_FAILED);
    EXPECT_EQ(missing.getMessage(), "Cannot open local file for reading");
    EXPECT_EQ(control().requestCount("InvokeMethod"), 0u);
}

TEST_F(ConfigurationSaveRestoreSimTest, SaveThatCannotWriteLeavesNothingBehind) {
    ASSERT_NO_FATAL_FAILURE(start("127.81.11.2"));
    ScratchDirectory directory("unwritable");
    const std::string intoMissingDirectory = directory.file("missing/array.cfg");

    const R failed = m_settings.SaveCvnConfiguration(intoMissingDirectory);
    EXPECT_EQ(failed.getCode(), R::UA_E_REQUEST_FAILED);
    EXPECT_EQ(failed.getMessage(), "Cannot open local file for writing");
    EXPECT_TRUE(directory.entries().empty());
}

TEST_F(ConfigurationSaveRestoreSimTest, RefusedSaveKeepsThePreviousFile) {
    ASSERT_NO_FATAL_FAILURE(start("127.81.11.3"));
    ScratchDirectory directory("refused");
    const std::string file = directory.file("array.cfg");
    writeFile(file, "previous configuration");
    control().failNextCalls("ReadPersistenceData", 1, 16);

    const R refused = m_settings.SaveCvnConfiguration(file);
    EXPECT_EQ(refused.getCode(), R::UA_E_REQUEST_FAILED);
    EXPECT_EQ(refused.getFailureCode(), 16);
    EXPECT_EQ(refused.getMessage(), "Invalid Object handle");
    EXPECT_EQ(contentOf(file), "previous configuration");

    // A successful save replaces the file whole and leaves no temporary file.
    ASSERT_EQ(m_settings.SaveCvnConfiguration(file).getCode(), R::UA_S_OK);
    EXPECT_EQ(contentOf(file), Sim::ConfigurationData::exportText(state()));
    EXPECT_EQ(directory.entries(), std::set<std::string>{"array.cfg"});
}

// ---- restart and shut-down -------------------------------------------------------------------

TEST_F(ConfigurationSaveRestoreSimTest, ShutDownArrayStaysDownUntilPoweredOn) {
    ASSERT_NO_FATAL_FAILURE(start("127.81.12.1"));
    ASSERT_EQ(m_system.SystemShutdown().getCode(), R::UA_S_OK);
    ASSERT_TRUE(eventually([&] { return connectionState() == UACIMClient::STATE_CONNECTION_LOST; }));
    EXPECT_FALSE(m_array->simulator().poweredOn());
    EXPECT_EQ(m_connection.Reconnect("").getCode(), R::UA_E_FAIL);

    control().powerOn();
    ASSERT_TRUE(eventually([&] { return m_connection.Reconnect("").getCode() == R::UA_S_OK; }));
    EXPECT_TRUE(m_array->simulator().poweredOn());
}

TEST_F(ConfigurationSaveRestoreSimTest, ForcedRestartComesBackByItself) {
    ASSERT_NO_FATAL_FAILURE(start("127.81.12.2"));
    ASSERT_EQ(m_settings.ForceSystemRestart().getCode(), R::UA_S_OK);
    ASSERT_NO_FATAL_FAILURE(awaitLossAndReconnect());
    EXPECT_TRUE(m_array->simulator().poweredOn());
}

} // namespace
} // namespace Merrow::UserAgent
