#include "PasswordSource.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <stdexcept>

#include <termios.h>
#include <unistd.h>

namespace corvane {
namespace {

// Restores the terminal's echo however the prompt ends.
class EchoOff {
public:
    EchoOff() : m_active(tcgetattr(STDIN_FILENO, &m_saved) == 0) {
        if (!m_active)
            return;
        termios quiet = m_saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    ~EchoOff() {
        if (m_active)
            tcsetattr(STDIN_FILENO, TCSANOW, &m_saved);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    termios m_saved{};
    bool m_active;
};

} // namespace

std::optional<std::string> PasswordSource::read(const std::string& passwordFile) {
    if (!passwordFile.empty())
        return fromFile(passwordFile);
    if (const char* value = std::getenv(kVariable))
        return std::string(value);
    if (isatty(STDIN_FILENO))
        return fromTerminal();
    return std::nullopt;
}

std::string PasswordSource::fromFile(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    if (!file || !std::getline(file, line))
        throw std::runtime_error("cannot read a password from '" + path + "'");
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

std::optional<std::string> PasswordSource::fromTerminal() {
    std::string line;
    {
        // Echo goes off before the prompt shows: going off flushes pending input, which
        // must not take what is typed in answer to the prompt.
        EchoOff quiet;
        std::cerr << "Password: " << std::flush;
        if (!std::getline(std::cin, line))
            return std::nullopt;
    }
    std::cerr << "\n";
    return line;
}

} // namespace corvane
