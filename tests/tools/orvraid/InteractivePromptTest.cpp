// The prompt, run as a child on a pseudo-terminal: commands typed one after the other, a
// failed command that leaves the prompt standing, and a password asked for without echo.
#include "TempDirectory.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using orv::platform::test::TempDirectory;

constexpr const char* kPrompt = "ORVRAID> ";

class InteractivePromptTest : public ::testing::Test {
protected:
    // Starts the program on a new terminal; false when it could not be started.
    bool start()
    {
        m_child = ::forkpty(&m_terminal, nullptr, nullptr, nullptr);
        if (m_child == 0) {
            ::setenv("ORVDS_REGISTRY", (m_directory.path() / "registry.db").c_str(), 1);
            ::setenv("HOME", m_directory.path().c_str(), 1);
            ::unsetenv("ORVRAID_PASSWORD");
            ::execl(ORVRAID_TEST_HOST, ORVRAID_TEST_HOST, static_cast<char*>(nullptr));
            ::_exit(127);
        }
        return m_child > 0;
    }
    ~InteractivePromptTest() override
    {
        if (m_terminal >= 0)
            ::close(m_terminal);
        if (m_child > 0)
            ::waitpid(m_child, nullptr, 0);
    }

    // What the terminal shows until `text` appears (included), or until the program ends.
    std::string readUntil(const std::string& text)
    {
        std::string seen;
        char c = 0;
        while (seen.find(text) == std::string::npos && ::read(m_terminal, &c, 1) == 1)
            seen += c;
        return seen;
    }

    // Types `line` once the program asks for it with `expected`; what it showed until then.
    std::string answer(const std::string& expected, const std::string& line)
    {
        std::string shown = readUntil(expected);
        const std::string typed = line + "\r";
        EXPECT_EQ(::write(m_terminal, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
        return shown;
    }

    // Everything up to the end of the program, and its exit status.
    int finish(std::string& rest)
    {
        rest = readUntil("\x04never shown");
        ::close(m_terminal);
        m_terminal = -1;
        int status = 0;
        ::waitpid(m_child, &status, 0);
        m_child = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // The history the program keeps between sessions.
    std::string historyFile() const
    {
        std::ifstream file(m_directory.path() / ".orvraid_history");
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

private:
    TempDirectory m_directory;
    int m_terminal = -1;
    pid_t m_child = -1;
};

TEST_F(InteractivePromptTest, AFailedCommandLeavesThePromptStandingAndExitEndsWithSuccess)
{
    ASSERT_TRUE(start());
    answer(kPrompt, "list frobs");
    const std::string afterFailure = answer(kPrompt, "list providers");
    EXPECT_THAT(afterFailure, HasSubstr("\"frobs\" is not one of"));
    const std::string providers = answer(kPrompt, "exit");
    EXPECT_THAT(providers, HasSubstr("Prov 0    Test Provider"));
    std::string rest;
    EXPECT_EQ(finish(rest), 0);
}

TEST_F(InteractivePromptTest, TheHistoryOfASessionIsThereInTheNext)
{
    ASSERT_TRUE(start());
    answer(kPrompt, "list providers");
    answer(kPrompt, "exit");
    std::string rest;
    ASSERT_EQ(finish(rest), 0);

    // Two steps back in the new session reach "list providers", before "exit".
    const std::string upTwice = "\x1b[A\x1b[A";
    ASSERT_TRUE(start());
    answer(kPrompt, upTwice);
    const std::string recalled = answer(kPrompt, "exit");
    EXPECT_THAT(recalled, HasSubstr("Prov 0    Test Provider"));
    EXPECT_EQ(finish(rest), 0);
}

TEST_F(InteractivePromptTest, APasswordLeftOutIsAskedForWithoutEcho)
{
    ASSERT_TRUE(start());
    answer(kPrompt, "add array host=127.85.2.1 user=operator");
    answer("Password for operator on 127.85.2.1: ", "Pty-Secret-7");
    const std::string added = answer(kPrompt, "list arrays");
    EXPECT_THAT(added, HasSubstr("manages the array at 127.85.2.1 as operator"));
    EXPECT_THAT(added, Not(HasSubstr("Pty-Secret-7")));
    const std::string listed = answer(kPrompt, "exit");
    EXPECT_THAT(listed, HasSubstr("Array 0    127.85.2.1  operator"));
    std::string rest;
    EXPECT_EQ(finish(rest), 0);
    EXPECT_THAT(rest, Not(HasSubstr("Pty-Secret-7")));
}

TEST_F(InteractivePromptTest, LinesWithSecretsStayOutOfTheHistory)
{
    ASSERT_TRUE(start());
    answer(kPrompt, "chap target set secret=Hidden-Secret-1");
    answer(kPrompt, "list providers");
    answer(kPrompt, "exit");
    std::string rest;
    ASSERT_EQ(finish(rest), 0);
    const std::string history = historyFile();
    EXPECT_THAT(history, HasSubstr("providers"));
    EXPECT_THAT(history, Not(HasSubstr("Hidden-Secret-1")));
}

}  // namespace
