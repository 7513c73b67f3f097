// orvraid's LUN commands with the product's provider against simulated arrays: a script
// that makes a LUN of each kind, extends, renames, shows and deletes them, the array's
// job progress as plain lines, and what refusals and mistakes give.
#include "OrvraidChildProcess.h"

#include "SimArray.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using namespace orvraid::test;
using Merrow::UserAgent::Testing::SimArray;

class OrvraidLunTest : public OrvraidProcessTest {
protected:
    Outcome runProduct(const std::string& script) { return runScript(script, {}, ORVRAID_PROGRAM); }

    static std::string prelude(const std::string& host)
    {
        return "add array host=" + host + " user=admin password=secret\nselect subsystem 0\n";
    }

    // The array's volume names with their sizes in bytes.
    static std::map<std::string, std::uint64_t> volumes(SimArray& array)
    {
        return array.control().model().read([](const Merrow::Sim::ModelView& view) {
            std::map<std::string, std::uint64_t> out;
            for (const auto& [id, volume] : view.state.volumes)
                out[volume.name] = volume.layout.blocks * 512;
            return out;
        });
    }
};

TEST_F(OrvraidLunTest, AScriptMakesExtendsRenamesShowsAndDeletesLuns)
{
    SimArray array("127.88.3.1");
    const std::size_t before = volumes(array).size();
    const Outcome outcome = runProduct(prelude("127.88.3.1") +
                                       "create lun simple size=1GB\n"
                                       "detail lun\n"
                                       "extend lun size=1000KB\n"
                                       "name lun payroll\n"
                                       "detail lun\n"
                                       "create lun stripe size=512MB stripesize=64KB\n"
                                       "create lun raid size=256\n"
                                       "create lun mirror size=100MB\n"
                                       "delete lun\n"
                                       "list luns\n");
    ASSERT_EQ(outcome.status, 0) << outcome.err << outcome.out;
    EXPECT_THAT(outcome.out, HasSubstr("The new LUN is created and is now the selected LUN."));
    EXPECT_THAT(outcome.out, HasSubstr(": 1073741824 bytes (1024 MB)"));
    EXPECT_THAT(outcome.out, HasSubstr(": 1074765824 bytes (1025 MB)"));
    EXPECT_THAT(outcome.out, HasSubstr("The LUN is now named payroll."));
    EXPECT_THAT(outcome.out, HasSubstr("Simple"));
    EXPECT_THAT(outcome.out, HasSubstr("The LUN is deleted; no LUN is selected now."));

    const auto after = volumes(array);
    // Simple, stripe and raid stay; the mirror was deleted.
    EXPECT_EQ(after.size(), before + 3);
    ASSERT_EQ(after.count("payroll"), 1u);
    EXPECT_EQ(after.at("payroll"), 1074765824u);
    bool stripe = false, parity = false, mirror = false;
    for (const auto& [name, bytes] : after) {
        stripe = stripe || name.rfind("Stripe created ", 0) == 0;
        parity = parity || name.rfind("Parity created ", 0) == 0;
        mirror = mirror || name.rfind("Mirror created ", 0) == 0;
    }
    EXPECT_TRUE(stripe);
    EXPECT_TRUE(parity);
    EXPECT_FALSE(mirror);
    const auto call = array.control().lastCall("CreateVolume");
    ASSERT_TRUE(call);
    EXPECT_EQ(call->parameters.at("VolumeOrganization").get<std::uint16_t>(), 3u);
}

TEST_F(OrvraidLunTest, TheSubsystemDetailShowsTheLargestNewLun)
{
    SimArray array("127.88.3.2");
    const Outcome outcome = runProduct(prelude("127.88.3.2") + "detail subsystem\n");
    ASSERT_EQ(outcome.status, 0) << outcome.err << outcome.out;
    const std::size_t line = outcome.out.find("Largest new LUN");
    ASSERT_NE(line, std::string::npos) << outcome.out;
    const std::string value = outcome.out.substr(line, outcome.out.find('\n', line) - line);
    EXPECT_THAT(value, HasSubstr(" bytes ("));
    EXPECT_THAT(value, Not(HasSubstr(": 0 bytes")));
}

TEST_F(OrvraidLunTest, TheArraysJobProgressShowsAsPlainLines)
{
    auto options = Merrow::UserAgent::Testing::simOptions("127.88.3.3");
    options.jobs = true;
    options.jobMilliseconds = 3000;
    SimArray array(options);
    const Outcome outcome = runProduct(prelude("127.88.3.3") + "create lun simple size=1GB\n");
    ASSERT_EQ(outcome.status, 0) << outcome.err << outcome.out;
    EXPECT_THAT(outcome.out, HasSubstr(" percent done\n"));
    EXPECT_THAT(outcome.out, HasSubstr("100 percent done\n"));
    EXPECT_THAT(outcome.out, Not(HasSubstr("\r")));
}

TEST_F(OrvraidLunTest, RefusalsGiveFourWithTheProvidersWordsAndMistakesFive)
{
    SimArray array("127.88.3.4");
    const std::string start = prelude("127.88.3.4");
    const Outcome tooBig = runProduct(start + "create lun simple size=900TB\n");
    EXPECT_EQ(tooBig.status, 4) << tooBig.out << tooBig.err;
    EXPECT_THAT(tooBig.err, HasSubstr("Could not create the LUN: there is not enough space"));

    const Outcome shrink = runProduct(start + "create lun simple size=1GB\nshrink lun size=1MB\n");
    EXPECT_EQ(shrink.status, 4) << shrink.out << shrink.err;
    EXPECT_THAT(shrink.err, HasSubstr("the operation is not supported"));

    const Outcome noerr = runProduct(start + "select lun 0\nshrink lun size=1MB noerr\ndetail lun\n");
    EXPECT_EQ(noerr.status, 0) << noerr.out << noerr.err;

    EXPECT_EQ(runProduct(start + "create lun simple size=12XB\n").status, 5);
    EXPECT_EQ(runProduct(start + "create lun simple\n").status, 5);
    EXPECT_EQ(runProduct(start + "extend lun size=1GB\n").status, 5) << "no LUN is selected";
    EXPECT_EQ(runProduct(start + "select lun 999\n").status, 5);
}

}  // namespace
