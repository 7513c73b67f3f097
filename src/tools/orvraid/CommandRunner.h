// What the script runner and the prompt hand command lines to: the interpreter in this
// process, or the service that runs them for orvraid.
#pragma once

#include "ExitCode.h"

#include <string_view>

namespace orvraid {

class CommandRunner {
public:
    virtual ~CommandRunner() = default;

    // Success for blank lines, comments and failures that noerr lets pass.
    virtual ExitCode execute(std::string_view line) = 0;
    // True once "exit" ran, or nothing more can run.
    virtual bool exitRequested() const = 0;
};

}  // namespace orvraid
