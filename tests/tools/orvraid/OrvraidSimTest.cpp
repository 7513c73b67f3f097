// The product's orvraid with the product's provider against simulated arrays: what an
// administrator's first script does, and what a mistyped command and a wrong password give.
// (Listing LUNs waits for the LUN objects' properties, which the provider does not answer yet.)
#include "OrvraidChildProcess.h"

#include "SimArray.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using namespace orvraid::test;
using Merrow::UserAgent::Testing::SimArray;

class OrvraidSimTest : public OrvraidProcessTest {
protected:
    Outcome runProduct(const std::string& script) { return runScript(script, {}, ORVRAID_PROGRAM); }
};

TEST_F(OrvraidSimTest, AScriptAddsAnArraySelectsItsSubsystemAndShowsIt)
{
    SimArray array("127.85.2.1");
    const Outcome outcome = runProduct(
        "add array host=127.85.2.1 user=admin password=secret\n"
        "list arrays\n"
        "list subsystems\n"
        "select subsystem 0\n"
        "detail subsystem\n");
    EXPECT_EQ(outcome.status, 0) << outcome.err << outcome.out;
    EXPECT_THAT(outcome.out, HasSubstr("Array 0    127.85.2.1  admin  Connected"));
    EXPECT_THAT(outcome.out, HasSubstr("Subsystem 0 is now the selected subsystem."));
    EXPECT_THAT(outcome.out, HasSubstr("Identification      : 127.85.2.1"));
    EXPECT_THAT(outcome.out, HasSubstr("Status              : Online"));
    EXPECT_THAT(outcome.out, Not(HasSubstr("secret")));
}

TEST_F(OrvraidSimTest, MistakesGiveFive)
{
    SimArray array("127.85.2.2");
    const std::string added = "add array host=127.85.2.2 user=admin password=secret\n";
    EXPECT_EQ(runProduct(added + "list lunz\nlist subsystems\n").status, 5);
    EXPECT_EQ(runProduct(added + "list luns\n").status, 5) << "no subsystem is selected";
    EXPECT_EQ(runProduct("remove array host=127.85.2.99\n").status, 5);
}

TEST_F(OrvraidSimTest, AWrongPasswordShowsInTheArrayList)
{
    SimArray array("127.85.2.3");
    // The provider keeps an array whose log-in it refused, and says why.
    const Outcome refused = runProduct("add array host=127.85.2.3 user=admin password=wrong\nlist arrays\n");
    EXPECT_EQ(refused.status, 0) << refused.out << refused.err;
    EXPECT_THAT(refused.out, HasSubstr("Authorization Failed"));
    EXPECT_THAT(refused.out + refused.err, Not(HasSubstr("wrong")));
}

}  // namespace
