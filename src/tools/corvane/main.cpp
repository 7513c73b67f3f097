#include "CorvaneCommandLine.h"

#include <csignal>
#include <iostream>

#include <unistd.h>

namespace {

extern "C" void stopOnSignal(int) { corvane::CorvaneCommandLine::requestStop(); }

} // namespace

int main(int argc, char** argv) {
    std::signal(SIGINT, stopOnSignal);
    std::signal(SIGTERM, stopOnSignal);
    corvane::CorvaneCommandLine commandLine(std::cout, std::cerr, isatty(STDERR_FILENO) != 0);
    return commandLine.run(std::vector<std::string>(argv + 1, argv + argc));
}
