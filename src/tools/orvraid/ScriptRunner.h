// Runs a script (a file given with /s, or standard input that is not a terminal) line by
// line. The first command that fails ends the script with its exit status; "exit" ends it
// with success.
#pragma once

#include "ExitCode.h"

#include <iosfwd>

namespace orvraid {

class CommandRunner;

ExitCode runScript(CommandRunner& interpreter, std::istream& script);

}  // namespace orvraid
