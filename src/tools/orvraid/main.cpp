// orvraid: the administrator's front end to the VDS provider of Corvane arrays.
//
//   orvraid               commands from the prompt (or from standard input)
//   orvraid /s <script>   commands from a script file
#include "OrvraidProgram.h"

#include "vds/framework/OrvVdsIds.h"

int main(int argc, char** argv)
{
    // The provider class joins here, by its factory, once its sources are part of the
    // program; until then orvraid attaches only to a provider class that is creatable in
    // this process and says so when there is none.
    return orvraid::runOrvraid(argc, argv, {ORV_PROVIDER_ID, CLSID_OrvVdsProvider, ComClassFactory()});
}
