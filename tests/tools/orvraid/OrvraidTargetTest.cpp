// orvraid with the product's provider against a simulated array: the iSCSI commands
// (targets, portals, portal groups), LUN masking and CHAP, as an administrator's scripts
// run them. What the array holds afterwards is read from the simulated array itself.
#include "OrvraidChildProcess.h"

#include "SimArray.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <set>

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::UnorderedElementsAre;
using namespace orvraid::test;
using Merrow::Sim::ArrayState;
using Merrow::Sim::ModelView;
using Merrow::UserAgent::Testing::SimArray;

constexpr const char* kHostA = "iqn.2024-01.org.example:host1";
constexpr const char* kHostB = "iqn.2026-11.com.example:new-host";

class OrvraidTargetTest : public OrvraidProcessTest {
protected:
    explicit OrvraidTargetTest() = default;

    void start(const std::string& address)
    {
        m_array = std::make_unique<SimArray>(address);
        m_prelude = "add array host=" + address + " user=admin password=secret\nselect subsystem 0\n";
    }

    Outcome orvraid(const std::string& commands) { return runScript(m_prelude + commands, {}, ORVRAID_PROGRAM); }

    // A change, then a read: the array's indications of the change reach the program while
    // the read runs, not while it leaves. A program that leaves while the client library's
    // dispatcher thread still handles an indication can abort in the static destructors,
    // as that thread outlives the unloaded provider.
    Outcome change(const std::string& commands) { return orvraid(commands + "list targets\n"); }

    template <class Result> Result fromArray(const std::function<Result(const ArrayState&)>& read)
    {
        return m_array->control().model().read([&](const ModelView& view) { return read(view.state); });
    }

    // LUN 0 is the volume with the smallest durable name (the LUN list's order).
    std::string firstVolume()
    {
        return fromArray<std::string>([](const ArrayState& state) {
            std::string id, durable;
            for (const auto& [volumeId, volume] : state.volumes) {
                if (id.empty() || volume.durableName < durable) {
                    id = volumeId;
                    durable = volume.durableName;
                }
            }
            return id;
        });
    }

    std::set<std::string> granted(const std::string& volumeId)
    {
        return fromArray<std::set<std::string>>([&](const ArrayState& state) {
            std::set<std::string> names;
            for (const auto& [id, grant] : state.grants) {
                if (grant.volumeId == volumeId)
                    names.insert(state.initiators.at(grant.initiatorId).name);
            }
            return names;
        });
    }

    std::unique_ptr<SimArray> m_array;
    std::string m_prelude;
};

TEST_F(OrvraidTargetTest, UnmaskLunGrantsRevokesAndRefusesAsAsked)
{
    start("127.90.2.1");
    const std::string volume = firstVolume();

    Outcome outcome = change("select lun 0\nunmask lun initiator=" + std::string(kHostA) + ";" + kHostB + "\n");
    ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    EXPECT_THAT(outcome.out, HasSubstr("LUN 0 is now the selected LUN."));
    EXPECT_THAT(granted(volume), UnorderedElementsAre(kHostA, kHostB)) << "the unknown one was registered";

    outcome = change("select lun 0\nunmask lun initiator=" + std::string(kHostB) + "\n");
    ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    EXPECT_THAT(granted(volume), UnorderedElementsAre(kHostB));

    // "add" keeps what the LUN's properties list and grants the new one on top.
    outcome = change("select lun 0\nunmask lun add initiator=" + std::string(kHostA) + "\ndetail lun\n");
    ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    EXPECT_THAT(granted(volume), UnorderedElementsAre(kHostA, kHostB));
    EXPECT_THAT(outcome.out, HasSubstr(kHostA));
    EXPECT_THAT(outcome.out, HasSubstr(kHostB));
    EXPECT_THAT(outcome.out, HasSubstr("Associated targets : Target "));

    outcome = change("select lun 0\nunmask lun initiator=" + std::string(kHostB) + "\n");
    ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    EXPECT_THAT(granted(volume), UnorderedElementsAre(kHostB));

    outcome = orvraid("select lun 0\nunmask lun all\n");
    EXPECT_EQ(outcome.status, 4);
    EXPECT_THAT(outcome.out + outcome.err, HasSubstr("every host"));
    EXPECT_THAT(granted(volume), UnorderedElementsAre(kHostB)) << "a refused list changes nothing";

    outcome = orvraid("select lun 0\nunmask lun initiator=" + std::string(kHostA) + ";;" + kHostB + "\n");
    EXPECT_EQ(outcome.status, 4);
    EXPECT_THAT(outcome.out + outcome.err, HasSubstr("empty entry"));
    outcome = orvraid("select lun 0\nunmask lun initiator=host-nine\n");
    EXPECT_EQ(outcome.status, 4);
    EXPECT_THAT(outcome.out + outcome.err, HasSubstr("\"host-nine\" is not a well-formed iSCSI initiator name"));
    EXPECT_THAT(granted(volume), UnorderedElementsAre(kHostB));

    EXPECT_EQ(orvraid("select lun 0\nunmask lun\n").status, 5);
    EXPECT_EQ(orvraid("select lun 0\nunmask lun none initiator=" + std::string(kHostA) + "\n").status, 5);
    EXPECT_EQ(orvraid("unmask lun none\n").status, 5) << "no LUN is selected";

    outcome = change("select lun 0\nunmask lun none\n");
    ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    EXPECT_TRUE(granted(volume).empty());
}

TEST_F(OrvraidTargetTest, ARefusedGrantIsReportedWithTheArraysWords)
{
    start("127.90.2.2");
    const std::string volume = firstVolume();
    // One name only: the refusal leaves the array as it was, so the program ends while the
    // array has nothing to announce (that the other grants are still made is the provider
    // tests' part).
    m_array->control().failNextCalls("ExposePaths", 1, 124);
    const Outcome outcome = orvraid("select lun 0\nunmask lun initiator=" + std::string(kHostA) + "\n");
    EXPECT_EQ(outcome.status, 4) << outcome.out << outcome.err;
    EXPECT_THAT(outcome.out + outcome.err, HasSubstr("Initiator is already associated with Target Node"));
    EXPECT_THAT(outcome.out + outcome.err, HasSubstr(kHostA));
    EXPECT_TRUE(granted(volume).empty());
}

TEST_F(OrvraidTargetTest, TargetsPortalsAndGroupsAreListedSelectedAndShown)
{
    start("127.90.2.3");
    const auto iqns = fromArray<std::set<std::string>>([](const ArrayState& state) {
        std::set<std::string> names;
        for (const auto& [id, volume] : state.volumes)
            names.insert(volume.target.iqn);
        return names;
    });
    const Outcome outcome = orvraid(
        "list targets\nselect target 1\ndetail target\nlist portalgroups\nselect portalgroup 0\n"
        "detail portalgroup\nlist portals\nselect portal 1\ndetail portal\nselect target\n");
    ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    for (const std::string& iqn : iqns)
        EXPECT_THAT(outcome.out, HasSubstr(iqn));
    EXPECT_THAT(outcome.out, HasSubstr("Target 1 is now the selected target."));
    EXPECT_THAT(outcome.out, HasSubstr("LUNs                 : LUN 1"));
    EXPECT_THAT(outcome.out, HasSubstr("Connected initiators : none"));
    EXPECT_THAT(outcome.out, HasSubstr("Portal Group 0 is now the selected portalgroup."));
    EXPECT_THAT(outcome.out, HasSubstr("10.10.1.10:3260, 10.10.2.10:3260"));
    EXPECT_THAT(outcome.out, HasSubstr("TPortal 1 is now the selected portal."));
    EXPECT_THAT(outcome.out, HasSubstr("Address       : 10.10.2.10"));
    EXPECT_THAT(outcome.out, HasSubstr("Target 1 is the selected target."));

    EXPECT_EQ(orvraid("select target 7\n").status, 5);
    EXPECT_EQ(orvraid("detail portalgroup\n").status, 5) << "nothing selected";
}

TEST_F(OrvraidTargetTest, ChapSecretsReachTheArrayAndAreNeverShownOrTraced)
{
    start("127.90.2.4");
    const std::string trace = (directory.path() / "trace.log").string();
    ::setenv("MWTRACE_OUTPUT_FILE", trace.c_str(), 1);
    ::setenv("MWTRACE_VERBOSITY", "5", 1);
    const std::string good = "Good-Secret-42";
    const std::string bad = "Tiny-9";
    const Outcome set = change("select target 0\nchap target set secret=" + good + "\n");
    const Outcome refused = orvraid("select target 0\nchap target set secret=" + bad + "\n");
    const Outcome initiator = orvraid("chap initiator set secret=" + good + "\n");
    ::unsetenv("MWTRACE_OUTPUT_FILE");
    ::unsetenv("MWTRACE_VERBOSITY");

    ASSERT_EQ(set.status, 0) << set.out << set.err;
    const auto secrets = fromArray<std::set<std::string>>([](const ArrayState& state) {
        std::set<std::string> out;
        for (const auto& [id, volume] : state.volumes)
            out.insert(volume.target.secret);
        return out;
    });
    EXPECT_TRUE(secrets.count(good));
    EXPECT_EQ(refused.status, 4);
    EXPECT_THAT(refused.out + refused.err, HasSubstr("Secret must be 12-16 chars in length"));
    EXPECT_EQ(initiator.status, 4);
    EXPECT_THAT(initiator.out + initiator.err, HasSubstr("no local iSCSI initiator service"));
    const std::string traced = readFile(trace);
    EXPECT_FALSE(traced.empty()) << "the trace was written";
    for (const Outcome* outcome : {&set, &refused, &initiator}) {
        EXPECT_THAT(outcome->out + outcome->err, Not(HasSubstr(good)));
        EXPECT_THAT(outcome->out + outcome->err, Not(HasSubstr(bad)));
    }
    EXPECT_THAT(traced, Not(HasSubstr(good)));
    EXPECT_THAT(traced, Not(HasSubstr(bad)));
}

}  // namespace
