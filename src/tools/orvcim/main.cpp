#include "OrvcimCommandLine.h"

#include <csignal>
#include <iostream>

namespace {

extern "C" void stopOnSignal(int)
{
    orvcim::OrvcimCommandLine::requestStop();
}

} // namespace

int main(int argc, char** argv)
{
    std::signal(SIGINT, stopOnSignal);
    std::signal(SIGTERM, stopOnSignal);
    orvcim::OrvcimCommandLine commandLine(std::cout, std::cerr);
    return commandLine.run(std::vector<std::string>(argv + 1, argv + argc));
}
