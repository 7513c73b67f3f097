// The prompt: reads commands with line editing and history (libedit) until "exit" or the
// end of input. A failed command is reported and the prompt comes back.
#pragma once

#include "ExitCode.h"

namespace orvraid {

class CommandRunner;

ExitCode runInteractive(CommandRunner& interpreter);

}  // namespace orvraid
