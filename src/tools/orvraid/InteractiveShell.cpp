#include "InteractiveShell.h"

#include "Interpreter.h"

#include <editline/readline.h>

#include <cstdlib>
#include <iostream>
#include <memory>

namespace orvraid {
namespace {

struct FreeLine {
    void operator()(char* line) const { std::free(line); }
};

}  // namespace

ExitCode runInteractive(Interpreter& interpreter)
{
    while (!interpreter.exitRequested()) {
        std::unique_ptr<char, FreeLine> line(readline("ORVRAID> "));
        if (!line) {
            std::cout << '\n';
            break;
        }
        if (*line != '\0')
            add_history(line.get());
        interpreter.execute(line.get());
        std::cout << '\n';
    }
    return ExitCode::Success;
}

}  // namespace orvraid
