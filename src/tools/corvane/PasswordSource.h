#pragma once

#include <optional>
#include <string>

namespace corvane {

// Where the log-in password comes from, first match wins: the file named by
// --password-file (its first line), the environment variable CORVANE_PASSWORD, or a
// prompt on the terminal with echo off when stdin is one. Never from the command line,
// so that it never shows in ps.
class PasswordSource {
public:
    static constexpr const char* kVariable = "CORVANE_PASSWORD";

    // nullopt when there is no password to be had; throws std::runtime_error for a file
    // that cannot be read.
    static std::optional<std::string> read(const std::string& passwordFile);

private:
    static std::string fromFile(const std::string& path);
    static std::optional<std::string> fromTerminal();
};

} // namespace corvane
