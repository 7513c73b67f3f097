// The interpreter against the tests' provider in this process: the focus, the lists and
// details, the managed arrays and the exit status of each kind of failure.
#include "FakeVdsObjects.h"

#include "ExitCode.h"
#include "Interpreter.h"
#include "PasswordSource.h"
#include "ProviderAttachment.h"
#include "Session.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

namespace orvraid {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using test::FakeVdsProvider;

class FakeAttachment : public ProviderAttachment {
public:
    FakeAttachment()
    {
        CComObject<FakeVdsProvider>* provider = nullptr;
        EXPECT_EQ(CComObject<FakeVdsProvider>::CreateInstance(&provider), S_OK);
        m_provider = provider;
        m_fake = provider;
    }
    IVdsProvider* provider() const override { return m_provider.get(); }
    FakeVdsProvider& fake() const { return *m_fake; }

private:
    CComPtr<IVdsProvider> m_provider;
    FakeVdsProvider* m_fake = nullptr;
};

// Answers a prompt with a fixed text, or finds nobody at the terminal.
class ScriptedPasswords : public PasswordSource {
public:
    std::optional<std::string> answer;
    int prompts = 0;

protected:
    std::optional<std::string> promptWithoutEcho(const std::string&) override
    {
        ++prompts;
        return answer;
    }
};

class InterpreterTest : public ::testing::Test {
protected:
    InterpreterTest() { ::unsetenv(PasswordSource::kVariable); }

    // Runs one line and hands back its exit status; the output of the line is in out and
    // err (emptied before each line).
    ExitCode run(std::string_view line)
    {
        out.str("");
        err.str("");
        return interpreter.execute(line);
    }

    void addArrays(std::initializer_list<const char*> hosts)
    {
        for (const char* host : hosts)
            ASSERT_EQ(run(std::string("add array host=") + host + " user=admin password=pw"), ExitCode::Success)
                << err.str();
    }

    FakeAttachment attachment;
    Session session{attachment};
    ScriptedPasswords passwords;
    std::ostringstream out;
    std::ostringstream err;
    Interpreter interpreter{session, passwords, out, err};
};

TEST_F(InterpreterTest, SelectingASubsystemMovesTheFocusAndTheListMarksIt)
{
    addArrays({"127.85.0.1", "127.85.0.2"});
    EXPECT_EQ(run("select subsystem"), ExitCode::Success);
    EXPECT_EQ(out.str(), "There is no selected subsystem.\n");

    EXPECT_EQ(run("SEL SUBS 1"), ExitCode::Success);
    EXPECT_EQ(out.str(), "Subsystem 1 is now the selected subsystem.\n");
    EXPECT_EQ(run("list subsystems"), ExitCode::Success);
    EXPECT_THAT(out.str(), HasSubstr("  Subsystem 0    Fake@127.85.0.1  Online  Healthy\n"));
    EXPECT_THAT(out.str(), HasSubstr("* Subsystem 1    Fake@127.85.0.2  Online  Healthy\n"));
    EXPECT_EQ(run("select subsystem"), ExitCode::Success);
    EXPECT_EQ(out.str(), "Subsystem 1 is the selected subsystem.\n");
}

TEST_F(InterpreterTest, TheFocusFollowsItsArrayWhenTheNumbersShift)
{
    addArrays({"127.85.0.1", "127.85.0.2"});
    ASSERT_EQ(run("select subsystem 1"), ExitCode::Success);
    ASSERT_EQ(run("remove array host=127.85.0.1"), ExitCode::Success);
    EXPECT_EQ(run("select subsystem"), ExitCode::Success);
    EXPECT_EQ(out.str(), "Subsystem 0 is the selected subsystem.\n");
    EXPECT_EQ(run("detail subsystem"), ExitCode::Success);
    EXPECT_THAT(out.str(), HasSubstr("Identification      : 127.85.0.2\n"));

    ASSERT_EQ(run("remove array host=127.85.0.2"), ExitCode::Success);
    EXPECT_EQ(run("list luns"), ExitCode::SyntaxOrSelection);
    EXPECT_THAT(err.str(), HasSubstr("gone"));
    EXPECT_EQ(run("select subsystem"), ExitCode::Success);
    EXPECT_EQ(out.str(), "There is no selected subsystem.\n");
}

TEST_F(InterpreterTest, CommandsOnTheSubsystemNeedOneSelected)
{
    addArrays({"127.85.0.1"});
    for (const char* command : {"list luns", "list drives", "list controllers", "list targets",
                                "list tportals", "detail subsystem", "reenumerate drives"}) {
        SCOPED_TRACE(command);
        EXPECT_EQ(run(command), ExitCode::SyntaxOrSelection);
        EXPECT_THAT(err.str(), HasSubstr("no selected subsystem"));
        EXPECT_EQ(out.str(), "");
    }
}

TEST_F(InterpreterTest, AnInvalidNumberDropsTheFocus)
{
    addArrays({"127.85.0.1"});
    ASSERT_EQ(run("select subsystem 0"), ExitCode::Success);
    EXPECT_EQ(run("select subsystem 1"), ExitCode::SyntaxOrSelection);
    EXPECT_EQ(run("list luns"), ExitCode::SyntaxOrSelection);

    ASSERT_EQ(run("select subsystem 0"), ExitCode::Success);
    EXPECT_EQ(run("select provider 3"), ExitCode::SyntaxOrSelection);
    EXPECT_EQ(run("detail provider"), ExitCode::SyntaxOrSelection);
    EXPECT_EQ(run("list luns"), ExitCode::SyntaxOrSelection);
}

TEST_F(InterpreterTest, ListsTheSelectedSubsystemsObjects)
{
    addArrays({"127.85.0.1"});
    ASSERT_EQ(run("select subsystem 0"), ExitCode::Success);

    ASSERT_EQ(run("list luns"), ExitCode::Success);
    EXPECT_EQ(out.str(),
              "  LUN ###  Status  Health     Size  Type    Name\n"
              "  -------  ------  -------  ------  ------  ----\n"
              "  LUN 0    Online  Healthy   10 GB  Mirror  Data\n"
              "  LUN 1    Online  Healthy  512 MB  Simple  Logs\n");
    ASSERT_EQ(run("list drives"), ExitCode::Success);
    EXPECT_THAT(out.str(), HasSubstr("  Drive 1    Online  Healthy  107 GB    0     2  HS\n"));
    ASSERT_EQ(run("list controllers"), ExitCode::Success);
    EXPECT_THAT(out.str(), HasSubstr("  Ctlr 0    Online  Healthy      2  Controller A\n"));
    ASSERT_EQ(run("list targets"), ExitCode::Success);
    EXPECT_THAT(out.str(), HasSubstr("Target Zero  iqn.2026-01.com.example:target0  Enabled"));
    ASSERT_EQ(run("list portals"), ExitCode::Success);
    EXPECT_THAT(out.str(), HasSubstr("  TPortal 0    192.168.10.5  3260  Online\n"));
}

TEST_F(InterpreterTest, DetailsOfTheProviderAndTheSubsystem)
{
    addArrays({"127.85.0.3noauth"});
    EXPECT_EQ(run("select provider 0"), ExitCode::Success);
    EXPECT_EQ(out.str(), "Provider 0 is now the selected provider.\n");
    ASSERT_EQ(run("detail provider"), ExitCode::Success);
    EXPECT_THAT(out.str(), HasSubstr("Name    : Test Provider\n"));
    EXPECT_THAT(out.str(), HasSubstr("Type    : Hardware\n"));
    ASSERT_EQ(run("list providers"), ExitCode::Success);
    EXPECT_THAT(out.str(), HasSubstr("* Prov 0    Test Provider  1.0      Hardware\n"));

    ASSERT_EQ(run("select subsystem 0"), ExitCode::Success);
    ASSERT_EQ(run("detail subsystem"), ExitCode::Success);
    EXPECT_THAT(out.str(), HasSubstr("Name                : 127.85.0.3noauth\n"));
    EXPECT_THAT(out.str(), HasSubstr("Status              : Failed\n"));
    EXPECT_THAT(out.str(), HasSubstr("Health              : Unknown\n"));
    EXPECT_THAT(out.str(), HasSubstr("Slots on each bus   : 12\n"));
    EXPECT_THAT(out.str(), HasSubstr("Supports            : LUN masking, CHAP\n"));
}

TEST_F(InterpreterTest, ListsArraysWithTheirConnectionButNeverThePassword)
{
    EXPECT_EQ(run("list arrays"), ExitCode::Success);
    EXPECT_EQ(out.str(), "There are no managed arrays.\n");
    ASSERT_EQ(run("add array host=127.85.0.4 user=root password=Secret-Word-1"), ExitCode::Success);
    EXPECT_EQ(out.str(), "The provider manages the array at 127.85.0.4 as root (Connected).\n");
    ASSERT_EQ(run("add array host=127.85.0.5noauth user=guest password=Secret-Word-2"), ExitCode::Success);
    EXPECT_THAT(out.str(), HasSubstr("(Authorization Failed)"));

    ASSERT_EQ(run("list arrays"), ExitCode::Success);
    EXPECT_EQ(out.str(),
              "  Array ###  Host              User   Connection\n"
              "  ---------  ----------------  -----  --------------------\n"
              "  Array 0    127.85.0.4        root   Connected\n"
              "  Array 1    127.85.0.5noauth  guest  Authorization Failed\n");
    EXPECT_THAT(out.str() + err.str(), Not(HasSubstr("Secret-Word")));
}

TEST_F(InterpreterTest, AMissingPasswordComesFromTheVariableOrThePrompt)
{
    ::setenv(PasswordSource::kVariable, "from-variable", 1);
    ASSERT_EQ(run("add array host=127.85.0.6 user=u"), ExitCode::Success);
    ::unsetenv(PasswordSource::kVariable);
    EXPECT_EQ(attachment.fake().passwordOf(u"127.85.0.6"), u"from-variable");
    EXPECT_EQ(passwords.prompts, 0);

    passwords.answer = "from-prompt";
    ASSERT_EQ(run("add array host=127.85.0.7 user=u"), ExitCode::Success);
    EXPECT_EQ(attachment.fake().passwordOf(u"127.85.0.7"), u"from-prompt");

    passwords.answer.reset();
    EXPECT_EQ(run("add array host=127.85.0.8 user=u"), ExitCode::SyntaxOrSelection);
    EXPECT_THAT(err.str(), HasSubstr("ORVRAID_PASSWORD"));
    ASSERT_EQ(run("list arrays"), ExitCode::Success);
    EXPECT_THAT(out.str(), Not(HasSubstr("127.85.0.8")));
}

TEST_F(InterpreterTest, ChangingAKnownArrayKeepsOneEntry)
{
    addArrays({"127.85.0.9"});
    ASSERT_EQ(run("add array host=127.85.0.9 user=other password=new"), ExitCode::Success);
    EXPECT_EQ(attachment.fake().passwordOf(u"127.85.0.9"), u"new");
    ASSERT_EQ(run("list arrays"), ExitCode::Success);
    EXPECT_THAT(out.str(), HasSubstr("Array 0    127.85.0.9  other"));
    EXPECT_THAT(out.str(), Not(HasSubstr("Array 1")));
}

TEST_F(InterpreterTest, ArrayCommandsCheckTheirParametersAndTheProvidersAnswer)
{
    EXPECT_EQ(run("add array host= user=u password=p"), ExitCode::SyntaxOrSelection);
    EXPECT_EQ(run("add array user=u password=p"), ExitCode::SyntaxOrSelection);
    EXPECT_EQ(run("remove array host=127.85.0.10"), ExitCode::SyntaxOrSelection);
    EXPECT_THAT(err.str(), HasSubstr("no array at 127.85.0.10"));

    EXPECT_EQ(run("add array host=reject.example user=u password=p"), ExitCode::VdsCallFailed);
    EXPECT_THAT(err.str(), HasSubstr("0x80070057"));

    addArrays({"127.85.0.11sticky"});
    EXPECT_EQ(run("remove array host=127.85.0.11sticky"), ExitCode::VdsCallFailed);
}

TEST_F(InterpreterTest, NoerrLetsProviderFailuresPassButNotSyntaxOrSelectionErrors)
{
    addArrays({"127.85.0.12badluns"});
    ASSERT_EQ(run("select subsystem 0"), ExitCode::Success);
    EXPECT_EQ(run("list luns"), ExitCode::VdsCallFailed);
    EXPECT_THAT(err.str(), HasSubstr("Could not list the LUNs"));
    EXPECT_THAT(err.str(), HasSubstr("0x80042442"));

    EXPECT_EQ(run("list luns noerr"), ExitCode::Success);
    EXPECT_THAT(err.str(), HasSubstr("noerr"));
    EXPECT_EQ(run("list frobs noerr"), ExitCode::SyntaxOrSelection);
    EXPECT_EQ(run("select subsystem 4 noerr"), ExitCode::SyntaxOrSelection);
}

TEST_F(InterpreterTest, ProviderCommandsReachTheProvider)
{
    EXPECT_EQ(run("reenumerate subsystems"), ExitCode::SyntaxOrSelection);
    ASSERT_EQ(run("select provider 0"), ExitCode::Success);
    EXPECT_EQ(run("reenumerate subsystem"), ExitCode::Success);
    EXPECT_EQ(run("refresh provider"), ExitCode::Success);
    EXPECT_EQ(run("REF PRO"), ExitCode::Success);
    EXPECT_EQ(attachment.fake().reenumerations(), 1);
    EXPECT_EQ(attachment.fake().refreshes(), 2);
}

TEST_F(InterpreterTest, BlankLinesCommentsHelpAndExit)
{
    EXPECT_EQ(run(""), ExitCode::Success);
    EXPECT_EQ(run("rem list luns, then \"detail subsystem\""), ExitCode::Success);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(run("help list"), ExitCode::Success);
    EXPECT_THAT(out.str(), HasSubstr("list arrays"));
    EXPECT_THAT(out.str(), Not(HasSubstr("select subsystem")));
    EXPECT_FALSE(interpreter.exitRequested());
    EXPECT_EQ(run("exit"), ExitCode::Success);
    EXPECT_TRUE(interpreter.exitRequested());
}

}  // namespace
}  // namespace orvraid
