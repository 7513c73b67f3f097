// The provider program with the minimal stand-in provider in place of the real one, for
// tests that run the program as a whole (its service unit, its server loop). When
// ORVDS_TEST_LOADED_FILE names a file, the provider writes the process id there once VDS
// has loaded it, which tells a test that the server is up.
#include "MinimalProvider.h"

#include "vds/framework/COrvVdsModule.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace {

void announceLoaded()
{
    const char* file = std::getenv("ORVDS_TEST_LOADED_FILE");
    if (file == nullptr || *file == '\0')
        return;
    std::ofstream(file) << ::getpid() << "\n";
}

} // namespace

int main(int argc, char** argv)
{
    MinimalProvider::s_onLoaded = announceLoaded;
    return COrvVdsModule::instance().WinMain(argc, argv, CreateComInstance<MinimalProvider>);
}
