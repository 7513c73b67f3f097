// The built corvane program against an embedded simulated array: the password never shows
// in any output or trace file, a password in the address is refused, and watch prints the
// array's changes until a signal ends it cleanly.

#include "CorvaneChildProgram.h"

#include "user_agent/attributes/ServiceAttributes.h"
#include "user_agent/root/MerrowUserAgent.h"
#include "user_agent/services/Service_CorvaneSystem.h"

#include "SimArray.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace corvane {
namespace {

using namespace Merrow::UserAgent;
using testing::ChildProgram;

std::string fileText(const std::string& path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class CorvaneProgramSimTest : public ::testing::Test {
protected:
    std::vector<std::string> arrayArgs(const Testing::SimArray& array) const {
        return {"--array", "admin@" + array.address()};
    }

    std::string tracePath(const std::string& name) {
        return (std::filesystem::temp_directory_path() / ("corvane-trace-" + name)).string();
    }
};

TEST_F(CorvaneProgramSimTest, TheWrongPasswordIsExitStatusThreeAndShowsNowhere) {
    Testing::SimArray array("127.82.3.1");
    const std::string wrong = "Wr0ngPassw0rd-4711";
    const std::string trace = tracePath("wrong");
    std::vector<std::string> args = arrayArgs(array);
    args.insert(args.end(), {"show", "system"});
    ChildProgram refused(args, {{"CORVANE_PASSWORD", wrong}, {"MWTRACE_OUTPUT_FILE", trace}, {"MWTRACE_VERBOSITY", "5"}});
    EXPECT_EQ(refused.exitStatus(), 3);
    EXPECT_NE(refused.err().find("cannot log in to 127.82.3.1 as admin"), std::string::npos) << refused.err();
    const std::string traced = fileText(trace);
    EXPECT_FALSE(traced.empty()); // the trace did record the attempt
    for (const std::string& text : {refused.out(), refused.err(), traced})
        EXPECT_EQ(text.find(wrong), std::string::npos);

    // The right one, given in a file, is not traced either.
    const std::string passwordFile = tracePath("password");
    std::ofstream(passwordFile) << Testing::kSimPassword << "\n";
    args.insert(args.begin(), {"--password-file", passwordFile});
    ChildProgram accepted(args, {{"MWTRACE_OUTPUT_FILE", trace}, {"MWTRACE_VERBOSITY", "5"}});
    EXPECT_EQ(accepted.exitStatus(), 0) << accepted.err();
    EXPECT_NE(accepted.out().find("SerialNumber"), std::string::npos);
    EXPECT_EQ(fileText(trace).find(std::string("\"") + Testing::kSimPassword), std::string::npos);
    EXPECT_EQ(fileText(trace).find(std::string(" ") + Testing::kSimPassword), std::string::npos);
    std::filesystem::remove(trace);
    std::filesystem::remove(passwordFile);
}

TEST_F(CorvaneProgramSimTest, APasswordInTheAddressIsRefusedBeforeAnyTraffic) {
    Testing::SimArray array("127.82.3.2");
    ChildProgram refused({"--array", "http://admin:secret@" + array.address(), "show", "system"}, {});
    EXPECT_EQ(refused.exitStatus(), 2);
    EXPECT_NE(refused.err().find("CORVANE_PASSWORD"), std::string::npos) << refused.err();
    EXPECT_NE(refused.err().find("--password-file"), std::string::npos);
    EXPECT_TRUE(array.control().requestCounts().empty() ||
                std::all_of(array.control().requestCounts().begin(), array.control().requestCounts().end(),
                            [](const auto& entry) { return entry.second == 0; }));

    ChildProgram noPassword({"--array", "admin@" + array.address(), "show", "system"}, {});
    EXPECT_EQ(noPassword.exitStatus(), 2); // no variable, no file and no terminal
}

class WatchTest : public CorvaneProgramSimTest, public ::testing::WithParamInterface<bool> {};

TEST_P(WatchTest, WatchSeesAVolumesCreationAndEndsOnASignal) {
    const bool json = GetParam();
    Testing::SimArray array(json ? "127.82.3.4" : "127.82.3.3");
    std::vector<std::string> args = arrayArgs(array);
    if (json)
        args.push_back("--json");
    args.push_back("watch");
    ChildProgram watch(args, {{"CORVANE_PASSWORD", Testing::kSimPassword}});
    if (!json) {
        ASSERT_TRUE(watch.waitForOutput("watching")) << watch.out() << watch.err();
    }

    // Another client creates a volume; the watcher may still be settling, so create until
    // it reports one (each creation is a fresh volume).
    MerrowUserAgent root;
    ASSERT_EQ(root.Start().getCode(), MerrowReturnValue::UA_S_OK);
    CorvaneConnection connection = root.GetConnection(array.address());
    ASSERT_EQ(connection.Connect(Testing::kSimUser, Testing::kSimPassword).getCode(), MerrowReturnValue::UA_S_OK);
    Service_CorvaneSystem system;
    ASSERT_EQ(connection.GetCorvaneSystemService(system).getCode(), MerrowReturnValue::UA_S_OK);
    // The array announces the volume and the association that puts it on the system's list;
    // the list's service reports the new member.
    const std::string expected = json ? "\"service\":\"Service_VolumeList\"" : "(Service_VolumeList)";
    bool seen = false;
    for (int attempt = 0; attempt < 10 && !seen; ++attempt) {
        std::vector<AttributeValue> results;
        ASSERT_EQ(ServiceAttributes::Invoke(system, "CreateVolume", {"w" + std::to_string(attempt), "1GB", "JBOD"}, {}, results)
                      .getCode(),
                  MerrowReturnValue::UA_S_OK);
        seen = watch.waitForOutput(expected, std::chrono::seconds(3));
    }
    EXPECT_TRUE(seen) << watch.out() << watch.err();
    std::istringstream printed(watch.out());
    bool created = false;
    for (std::string line; std::getline(printed, line);)
        created = created || (line.find(expected) != std::string::npos && line.find("created") != std::string::npos);
    EXPECT_TRUE(created) << watch.out();

    watch.signal(SIGTERM);
    EXPECT_EQ(watch.exitStatus(), 0) << watch.err();
    if (json) {
        std::istringstream lines(watch.out());
        for (std::string line; std::getline(lines, line);)
            EXPECT_TRUE(nlohmann::json::accept(line)) << line;
    }
}

INSTANTIATE_TEST_SUITE_P(TextAndJson, WatchTest, ::testing::Bool());

} // namespace
} // namespace corvane
