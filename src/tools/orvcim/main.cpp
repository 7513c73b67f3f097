#include "OrvcimCommandLine.h"

#include <csignal>
#include <cstdio>
#include <iostream>

#include <unistd.h>

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
    // Into a pipe or file the output goes in 64 KiB writes instead of the default 4 KiB ones
    // (a long enumeration prints megabytes). std::cout stays synchronised with stdio, whose
    // buffer this is: without that, libstdc++ writes every block of 1 KiB or more at once.
    // The listener flushes after each indication, and std::cerr flushes std::cout first.
    static char outputBuffer[1 << 16];
    if (!isatty(STDOUT_FILENO))
        std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    orvcim::OrvcimCommandLine commandLine(std::cout, std::cerr);
    return commandLine.run(std::vector<std::string>(argv + 1, argv + argc));
}
