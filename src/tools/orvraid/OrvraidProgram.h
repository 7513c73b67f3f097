// orvraid's main, apart from the provider class it hosts: reads the switches; attaches to
// the running service through its socket, or else opens the registry, takes the lock that
// makes this process the provider's only host and loads the provider through the VDS
// stand-in; then serves the commands from the script, standard input or the prompt (or
// watches the notifications).
//
// The program names the provider class (as orvvds does): the factory is registered as a
// creatable class under `clsid`, so that the VDS stand-in can activate it in this process.
// A program without a factory still attaches to whatever class VDS has registered for
// `providerId`, if that class is creatable in the process.
#pragma once

#include "platform/com/ComClassRegistry.h"
#include "platform/vds/VdsTypes.h"

namespace orvraid {

struct ProviderClass {
    VDS_OBJECT_ID providerId{};
    CLSID clsid{};
    ComClassFactory factory;
};

int runOrvraid(int argc, char** argv, const ProviderClass& providerClass);

}  // namespace orvraid
