#include "PasswordSource.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace orvraid {
namespace {

// Turns the terminal's echo off for its lifetime, so the password never shows.
class EchoOff {
public:
    EchoOff()
    {
        if (::tcgetattr(STDIN_FILENO, &m_saved) != 0)
            return;
        termios quiet = m_saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        m_active = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff()
    {
        if (m_active)
            ::tcsetattr(STDIN_FILENO, TCSANOW, &m_saved);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    termios m_saved{};
    bool m_active = false;
};

}  // namespace

std::optional<std::string> PasswordSource::read(const std::string& prompt)
{
    if (const char* value = std::getenv(kVariable); value != nullptr)
        return std::string(value);
    return promptWithoutEcho(prompt);
}

std::optional<std::string> PasswordSource::promptWithoutEcho(const std::string& prompt)
{
    if (::isatty(STDIN_FILENO) == 0)
        return std::nullopt;
    std::string password;
    {
        // Echo goes off before the prompt shows: going off flushes pending input, which
        // must not take what is typed in answer to the prompt.
        EchoOff echoOff;
        std::cerr << prompt << std::flush;
        if (!std::getline(std::cin, password))
            return std::nullopt;
    }
    std::cerr << '\n';
    return password;
}

}  // namespace orvraid
