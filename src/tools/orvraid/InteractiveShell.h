// The prompt: reads commands with line editing and history (libedit) until "exit" or the
// end of input. A failed command is reported and the prompt comes back.
#pragma once

#include "ExitCode.h"

namespace orvraid {

class Interpreter;

ExitCode runInteractive(Interpreter& interpreter);

}  // namespace orvraid
