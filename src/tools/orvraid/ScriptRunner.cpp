#include "ScriptRunner.h"

#include "CommandRunner.h"

#include <istream>
#include <string>

namespace orvraid {

ExitCode runScript(CommandRunner& interpreter, std::istream& script)
{
    std::string line;
    while (std::getline(script, line)) {
        // Scripts written on Windows end their lines with CR LF.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const ExitCode code = interpreter.execute(line);
        if (code != ExitCode::Success)
            return code;
        if (interpreter.exitRequested())
            break;
    }
    return ExitCode::Success;
}

}  // namespace orvraid
