// The corvane command line run in-process against an embedded simulated array: what it
// shows and changes is what the array holds, jobs are followed to their end, and bad input
// is one line on the error stream with nothing sent to the array, not even a log-in.

#include "CorvaneCommandLine.h"

#include "user_agent/attributes/AttributeRegistry.h"

#include "SimArray.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace corvane {
namespace {

using Merrow::UserAgent::AttributeDescriptor;
using Merrow::UserAgent::AttributeRegistry;
namespace Sim = Merrow::Sim;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

bool registryHas(const char* typeName, std::int32_t kind, const char* name) {
    const AttributeRegistry* registry = AttributeRegistry::Find(typeName);
    return registry && registry->find(kind, name) != nullptr;
}

std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

class CorvaneCommandLineSimTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("CORVANE_PASSWORD", Merrow::UserAgent::Testing::kSimPassword, 1); }

    // An array whose volume jobs take `jobMs` (0: volume work finishes at once).
    void start(const std::string& address, std::uint32_t jobMs = 0) {
        Sim::SimulatorOptions options = Merrow::UserAgent::Testing::simOptions(address);
        options.jobs = jobMs > 0;
        options.jobMilliseconds = jobMs;
        m_simulator = std::make_unique<Sim::Simulator>(options);
        m_simulator->start();
        m_address = address;
    }

    Outcome run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--array", std::string("admin@") + m_address});
        return runBare(args);
    }

    Outcome runBare(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        CorvaneCommandLine commandLine(out, err, false);
        const int status = commandLine.run(args);
        return {status, out.str(), err.str()};
    }

    std::uint64_t requests() const {
        std::uint64_t total = 0;
        for (const auto& [operation, count] : m_simulator->control().requestCounts())
            total += count;
        return total;
    }

    Sim::ArrayState state() {
        return m_simulator->control().model().read([](const Sim::ModelView& view) { return view.state; });
    }

    std::unique_ptr<Sim::Simulator> m_simulator;
    std::string m_address;
};

TEST_F(CorvaneCommandLineSimTest, ShowsTheSystemAsTheArrayHoldsIt) {
    start("127.82.2.1");
    const Outcome shown = run({"show", "system"});
    ASSERT_EQ(shown.status, 0) << shown.err;
    // The value column's width follows the longest name, so only the order on the line counts.
    EXPECT_TRUE(std::regex_search(shown.out, std::regex("\n  SerialNumber +" + state().system.serialNumber + "\n")))
        << shown.out;
    EXPECT_TRUE(std::regex_search(shown.out, std::regex("\n  Controllers +\\[")));

    const Outcome json = run({"--json", "show", "system"});
    ASSERT_EQ(json.status, 0) << json.err;
    const nlohmann::json parsed = nlohmann::json::parse(json.out);
    ASSERT_EQ(parsed.size(), 1u);
    bool sawName = false;
    for (const auto& attribute : parsed[0]["attributes"])
        if (attribute["name"] == "Name") {
            sawName = true;
            EXPECT_EQ(attribute["value"], state().system.name);
        }
    EXPECT_TRUE(sawName);

    const Outcome disks = run({"--json", "get", "disks", "SlotNumber"});
    ASSERT_EQ(disks.status, 0) << disks.err;
    EXPECT_EQ(nlohmann::json::parse(disks.out)["value"].size(), state().disks.size());
    const Outcome target = run({"get", "volume", "#1", "target", "DurableName"});
    ASSERT_EQ(target.status, 0) << target.err;
    EXPECT_EQ(target.out.rfind("iqn.", 0), 0u) << target.out;
}

TEST_F(CorvaneCommandLineSimTest, CreatesAVolumeAndWaitsForTheArraysJob) {
    start("127.82.2.2", 600);
    const Outcome created = run({"--wait", "do", "system", "CreateVolume", "made", "1GB", "Mirror", "[1,2]"});
    ASSERT_EQ(created.status, 0) << created.err;
    EXPECT_NE(created.out.find("CreateVolume: done"), std::string::npos);
    // Not a terminal: plain progress lines, ending at the job's end.
    EXPECT_NE(created.err.find("%\n"), std::string::npos) << created.err;
    EXPECT_NE(created.err.find(": 100%\n"), std::string::npos) << created.err;

    const Outcome task = run({"--json", "get", "tasks", "State"});
    ASSERT_EQ(task.status, 0) << task.err;
    EXPECT_EQ(nlohmann::json::parse(task.out)["value"], nlohmann::json({"Completed"}));
    const Outcome size = run({"get", "volume", "made", "Size"});
    EXPECT_EQ(size.out, "1 GB\n");

    // Without --wait the command says the job runs on and returns.
    const Outcome grown = run({"do", "volume", "made", "GrowTo", "2GB"});
    ASSERT_EQ(grown.status, 0) << grown.err;
    EXPECT_NE(grown.err.find("runs on the array"), std::string::npos) << grown.err;
}

TEST_F(CorvaneCommandLineSimTest, BadInputIsOneLineAndNothingReachesTheArray) {
    start("127.82.2.3");
    const std::uint64_t before = requests();
    const std::vector<std::vector<std::string>> bad{
        {"show", "volumez"},
        {"get", "system", "Colour"},
        {"set", "system", "SerialNumber", "x"},
        {"do", "volume", "#1", "GrowTo", "1GB", "2GB"},
        {"do", "system", "CreateVolume", "v", "lots", "Mirror"},
        {"do", "system", "CreateVolume", "v", "1GB", "Stripe", "[1,2]"},
        {"do", "system", "CreateVolume", "v", "1GB", "Raid9"},
        {"get", "volume"},
        {"frobnicate"},
    };
    for (const auto& args : bad) {
        const Outcome outcome = run(args);
        EXPECT_EQ(outcome.status, 2) << args[0] << " " << args[1];
        EXPECT_EQ(lineCount(outcome.err), 1u) << outcome.err;
        EXPECT_EQ(outcome.err.rfind("corvane: ", 0), 0u) << outcome.err;
        EXPECT_TRUE(outcome.out.empty()) << outcome.out;
    }
    EXPECT_NE(run({"do", "volume", "#1", "GrowTo", "1GB", "2GB"}).err.find("Expected 1 arguments"), std::string::npos);
    EXPECT_NE(run({"do", "system", "CreateVolume", "v", "lots", "Mirror"}).err.find("sizeInBytes"), std::string::npos);
    EXPECT_NE(run({"get", "system", "Colour"}).err.find("'Colour'"), std::string::npos);
    EXPECT_EQ(requests(), before);
}

TEST_F(CorvaneCommandLineSimTest, SetsAChapSecretWithinTheAllowedLengths) {
    start("127.82.2.4");
    ASSERT_TRUE(registryHas("Service_iSCSITarget", AttributeDescriptor::kWritable, "Secret"));
    const std::uint64_t before = requests();
    const Outcome tooShort = run({"set", "volume", "#1", "target", "Secret", "12345678901"});
    EXPECT_EQ(tooShort.status, 2);
    EXPECT_EQ(tooShort.err, "corvane: Secret: Secret must be 12-16 chars in length\n");
    EXPECT_EQ(requests(), before);
    const Outcome set = run({"set", "volume", "#1", "target", "Secret", "123456789012"});
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(run({"--json", "get", "volume", "#1", "target", "IsChapRequired"}).status, 0);
}

TEST_F(CorvaneCommandLineSimTest, GrantsAnInitiatorAccessToAVolume) {
    start("127.82.2.5");
    ASSERT_TRUE(registryHas("Service_iSCSITarget", AttributeDescriptor::kAction, "GrantInitiatorAccess"));
    const Outcome initiators = run({"--json", "get", "initiators", "GlobalID"});
    ASSERT_EQ(initiators.status, 0) << initiators.err;
    const std::string name = nlohmann::json::parse(initiators.out)["value"].at(0);
    const Outcome granted = run({"do", "volume", "#1", "target", "GrantInitiatorAccess", name});
    ASSERT_EQ(granted.status, 0) << granted.err;
    const Outcome reached = run({"--json", "get", "volume", "#1", "target", "initiators", "GlobalID"});
    ASSERT_EQ(reached.status, 0) << reached.err;
    const nlohmann::json values = nlohmann::json::parse(reached.out)["value"];
    EXPECT_NE(std::find(values.begin(), values.end(), name), values.end()) << reached.out;
}

TEST_F(CorvaneCommandLineSimTest, SavesAndRestoresTheConfiguration) {
    start("127.82.2.6");
    const std::filesystem::path directory = std::filesystem::temp_directory_path() / "corvane-config-127.82.2.6";
    std::filesystem::create_directories(directory);
    const std::string empty = (directory / "empty").string();
    const std::string binary = (directory / "binary").string();
    std::ofstream(empty).close();
    std::ofstream(binary, std::ios::binary) << std::string("\x7f" "ELF\x02\x01\x00\x00", 8);
    const std::uint64_t before = requests();
    for (const std::string& file : {empty, binary}) {
        const Outcome refused = run({"restore", file});
        EXPECT_EQ(refused.status, 2) << file;
        EXPECT_EQ(lineCount(refused.err), 1u) << refused.err;
    }
    EXPECT_EQ(requests(), before);
    const Outcome unconfirmed = run({"factory-reset"});
    EXPECT_EQ(unconfirmed.status, 2);
    EXPECT_EQ(requests(), before);

    ASSERT_TRUE(registryHas("Service_AdvancedSettings", AttributeDescriptor::kAction, "SaveCvnConfiguration"));
    const std::string saved = (directory / "saved").string();
    ASSERT_EQ(run({"save", saved}).status, 0);
    ASSERT_GT(std::filesystem::file_size(saved), 0u);
    ASSERT_EQ(run({"set", "system", "Name", "renamed"}).status, 0);
    const Outcome restored = run({"restore", saved});
    EXPECT_EQ(restored.status, 0) << restored.err;
    EXPECT_EQ(run({"get", "system", "Name"}).out, state().system.name + "\n");
    EXPECT_NE(state().system.name, "renamed");
    EXPECT_EQ(run({"--yes", "factory-reset"}).status, 0);
    std::filesystem::remove_all(directory);
}

TEST_F(CorvaneCommandLineSimTest, HelpNeedsNoArray) {
    const Outcome usage = runBare({"help"});
    EXPECT_EQ(usage.status, 0);
    EXPECT_EQ(usage.out.rfind("usage: corvane ", 0), 0u) << usage.out;
    EXPECT_NE(usage.out.find("volume NAME|#N"), std::string::npos) << usage.out;
    EXPECT_EQ(runBare({"--help"}).out, usage.out);
    const Outcome volume = runBare({"help", "volume"});
    EXPECT_EQ(volume.status, 0) << volume.err;
    EXPECT_NE(volume.out.find("GrowTo (action) - "), std::string::npos);
    EXPECT_EQ(runBare({"help", "nothing"}).status, 2);
    EXPECT_EQ(runBare({"show", "system"}).status, 2); // no array named
}

} // namespace
} // namespace corvane
