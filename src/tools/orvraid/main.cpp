// orvraid: the administrator's front end to the VDS provider of Corvane arrays.
//
//   orvraid               commands from the prompt (or from standard input)
//   orvraid /s <script>   commands from a script file
#include "OrvraidProgram.h"

#include "vds/framework/OrvVdsIds.h"
#include "vds/objects/COrvVdsProvider.h"

int main(int argc, char** argv)
{
    // The provider joins by its factory, so orvraid hosts it in this process when VDS has no
    // other class registered for it.
    return orvraid::runOrvraid(argc, argv, {ORV_PROVIDER_ID, CLSID_OrvVdsProvider, COrvVdsProvider::ClassFactory()});
}
