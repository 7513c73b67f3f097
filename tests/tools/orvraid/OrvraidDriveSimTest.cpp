// orvraid's drive, plex and controller commands with the product's provider against a
// simulated array: what an administrator types to look at the hardware, take a drive out
// of service and back, and restart a controller, and what a refusal of the array gives.
#include "OrvraidChildProcess.h"

#include "SimArray.h"

#include "cim/value/CIMValue.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::HasSubstr;
using namespace orvraid::test;
using Merrow::UserAgent::Testing::SimArray;

class OrvraidDriveSimTest : public OrvraidProcessTest {
protected:
    Outcome runProduct(const std::string& script) { return runScript(script, {}, ORVRAID_PROGRAM); }

    static std::string selected(const std::string& host)
    {
        return "add array host=" + host + " user=admin password=secret\nselect subsystem 0\n";
    }
};

TEST_F(OrvraidDriveSimTest, ADriveIsShownMarkedTakenOfflineAndBroughtBack)
{
    SimArray array("127.89.2.1");
    // The array's volumes sit on the first drives; the last one is unused.
    const Outcome outcome = runProduct(selected("127.89.2.1") +
                                       "select drive 7\n"
                                       "detail drive\n"
                                       "setflag drive hotspare=true\n"
                                       "list drives\n"
                                       "offline drive\n"
                                       "detail drive\n"
                                       "online drive\n"
                                       "select drive\n"
                                       "list plexes\n");
    EXPECT_EQ(outcome.status, 0) << outcome.err << outcome.out;
    EXPECT_THAT(outcome.out, HasSubstr("Drive 7 is now the selected drive."));
    EXPECT_THAT(outcome.out, HasSubstr("Slot           : 8"));
    EXPECT_THAT(outcome.out, HasSubstr("(free)"));
    EXPECT_THAT(outcome.out, HasSubstr("The provider marked a hot spare."));
    EXPECT_THAT(outcome.out, HasSubstr("HS"));
    EXPECT_THAT(outcome.out, HasSubstr("Status         : Offline"));
    EXPECT_THAT(outcome.out, HasSubstr("Drive 7 is the selected drive."));
    EXPECT_THAT(outcome.out, HasSubstr("There are no plexes."));
    EXPECT_TRUE(array.control().lastCall("RemoveStorageDevice"));
    EXPECT_TRUE(array.control().lastCall("InitializeStorageDevice"));
}

TEST_F(OrvraidDriveSimTest, ARefusalOfTheArrayEndsTheScriptWithFour)
{
    SimArray array("127.89.2.2");
    const Outcome busy = runProduct(selected("127.89.2.2") + "select drive 0\noffline drive\n");
    EXPECT_EQ(busy.status, 4) << busy.err << busy.out;
    EXPECT_THAT(busy.err, HasSubstr("Could not take the drive offline"));
    EXPECT_THAT(busy.err, HasSubstr("device that is being used")) << "the array's own words";

    const Outcome unselected = runProduct(selected("127.89.2.2") + "offline drive\n");
    EXPECT_EQ(unselected.status, 5) << unselected.err;
    EXPECT_THAT(unselected.err, HasSubstr("There is no selected drive."));

    const Outcome badFlag = runProduct(selected("127.89.2.2") + "select drive 7\nsetflag drive hotspare=maybe\n");
    EXPECT_EQ(badFlag.status, 5) << badFlag.err;

    const Outcome noDrive = runProduct(selected("127.89.2.2") + "select drive 7\nreplace drive=42\n");
    EXPECT_EQ(noDrive.status, 5) << noDrive.err;
}

TEST_F(OrvraidDriveSimTest, AControllerIsShownWithItsPortsAndRestarted)
{
    SimArray array("127.89.2.3");
    array.control().setRestartTime(500);
    const Outcome outcome = runProduct(selected("127.89.2.3") +
                                       "select controller 0\n"
                                       "detail controller\n"
                                       "online controller\n"
                                       "reset controller\n");
    EXPECT_EQ(outcome.status, 0) << outcome.err << outcome.out;
    EXPECT_THAT(outcome.out, HasSubstr("Controller 0 is now the selected controller."));
    EXPECT_THAT(outcome.out, HasSubstr("Port 0"));
    EXPECT_THAT(outcome.out, HasSubstr("The controller is restarting"));
    const auto restart = array.control().lastCall("InitiateShutdown");
    ASSERT_TRUE(restart);
    EXPECT_EQ(restart->parameters.at("Restart"), cim::CIMValue(true));
}

TEST_F(OrvraidDriveSimTest, TakingAControllerOfflineShutsTheArrayDownAndSaysSo)
{
    SimArray array("127.89.2.4");
    const Outcome outcome = runProduct(selected("127.89.2.4") + "select controller 0\noffline controller\n");
    EXPECT_EQ(outcome.status, 4) << outcome.err << outcome.out;
    EXPECT_THAT(outcome.err, HasSubstr("Could not take the controller offline: the operation is not supported"));
    const auto shutdown = array.control().lastCall("InitiateShutdown");
    ASSERT_TRUE(shutdown);
    EXPECT_EQ(shutdown->parameters.at("Restart"), cim::CIMValue(false));
    array.control().powerOn();
}

}  // namespace
