// orvraid with the tests' provider in place of the product's: the same program, its
// provider class registered with the VDS stand-in as a provider program registers itself,
// so the process tests run the real interpreter, script runner and exit statuses.
#include "FakeVdsObjects.h"

#include "OrvraidProgram.h"

#include "platform/com/ComClassRegistry.h"
#include "platform/vds/VdsService.h"

#include <iostream>

namespace {

// As "orvvds -RegServer" does for the product: the provider's class is made known to VDS,
// and orvraid loads whatever class VDS names for the provider's id.
bool registerWithVds()
{
    using namespace orvraid::test;
    CComPtr<IVdsAdmin> admin;
    HRESULT hr = CoCreateInstance(CLSID_VdsService, nullptr, CLSCTX_ALL, IID_IVdsAdmin, admin.put_void());
    if (SUCCEEDED(hr)) {
        std::u16string name = u"Test Provider";
        std::u16string version = u"1.0";
        hr = admin->RegisterProvider(FAKE_PROVIDER_ID, CLSID_FakeVdsProvider, name.data(), VDS_PT_HARDWARE,
                                     nullptr, version.data(), GUID{});
    }
    if (FAILED(hr))
        std::cerr << "orvraid test host: cannot register the test provider with VDS\n";
    return SUCCEEDED(hr);
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace orvraid::test;
    if (!registerWithVds())
        return 1;
    // The VDS registration names the class; the fallback class id is deliberately another
    // one, so only the registered class can load.
    const CLSID unregisteredFallback = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
    orv::platform::ComClassRegistry::instance().registerClass(CLSID_FakeVdsProvider,
                                                              CreateComInstance<FakeVdsProvider>);
    return orvraid::runOrvraid(argc, argv, {FAKE_PROVIDER_ID, unregisteredFallback, ComClassFactory()});
}
