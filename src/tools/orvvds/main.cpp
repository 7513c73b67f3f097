// orvvds: the VDS hardware provider program for Corvane arrays.
//
//   orvvds -RegServer     register the program, its classes and the provider with VDS
//   orvvds -Service       the same, and install it as a service
//   orvvds -UnregServer   remove all of that again
//   orvvds                run the server (as the service when installed as one); front
//                         ends reach it through its socket ($ORVDS_SOCKET, default
//                         /run/orvvds/orvvds.sock)
#include "SocketFrontEnd.h"

#include "vds/framework/COrvVdsModule.h"
#include "vds/objects/COrvVdsProvider.h"

int main(int argc, char** argv)
{
    return COrvVdsModule::instance().WinMain(argc, argv, COrvVdsProvider::ClassFactory(), SocketFrontEnd::factory());
}
