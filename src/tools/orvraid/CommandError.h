// The failure of one command, carrying the exit status it stands for. Handlers throw it;
// the interpreter catches it at the end of each command.
#pragma once

#include "ExitCode.h"

#include "platform/com/WinTypes.h"

#include <stdexcept>
#include <string>

namespace orvraid {

class CommandError : public std::runtime_error {
public:
    CommandError(ExitCode code, const std::string& message);

    // A command that cannot be understood: unknown or ambiguous words, bad parameters.
    static CommandError syntax(const std::string& message);
    // A command that needs an object selected first, or names one that does not exist.
    static CommandError selection(const std::string& message);
    // `operation` (what the administrator asked for, in words) answered `hr`.
    static CommandError vdsCall(const std::string& operation, HRESULT hr);

    ExitCode code() const { return m_code; }

private:
    ExitCode m_code;
};

// Throws CommandError::vdsCall when `hr` is a failure.
void throwIfFailed(HRESULT hr, const std::string& operation);

}  // namespace orvraid
