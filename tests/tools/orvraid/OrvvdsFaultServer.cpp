// orvvds as the product builds it (module, provider, socket front end), with the provider's
// periods shortened so that the fault tests see keep-alive probes, reconciliations and
// request time-outs within seconds instead of minutes.
#include "SocketFrontEnd.h"

#include "vds/framework/COrvVdsModule.h"
#include "vds/objects/COrvVdsProvider.h"

#include <chrono>

int main(int argc, char** argv)
{
    using std::chrono::milliseconds;
    COrvVdsProvider::Periods periods;
    periods.reconcile = milliseconds(300);
    periods.userAgent.keepAliveIdle = milliseconds(300);
    periods.userAgent.keepAlivePoll = milliseconds(100);
    periods.userAgent.dispatcherWait = milliseconds(100);
    periods.arrayRequestTimeout = milliseconds(2000);
    COrvVdsProvider::SetPeriods(periods);
    return COrvVdsModule::instance().WinMain(argc, argv, COrvVdsProvider::ClassFactory(), SocketFrontEnd::factory());
}
