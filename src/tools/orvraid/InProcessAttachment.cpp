#include "InProcessAttachment.h"

#include "platform/vds/VdsErrors.h"
#include "vds/framework/COrvVdsModule.h"

#include <chrono>
#include <iostream>

namespace orvraid {

HRESULT InProcessAttachment::load(const VDS_OBJECT_ID& providerId, REFCLSID fallbackClass,
                                  std::unique_ptr<InProcessAttachment>& out)
{
    auto attachment = std::make_unique<InProcessAttachment>();
    HRESULT hr = attachment->m_host.loadRegistered(providerId);
    if (hr == VDS_E_OBJECT_NOT_FOUND)
        hr = attachment->m_host.load(fallbackClass);
    if (FAILED(hr))
        return hr;
    out = std::move(attachment);
    return S_OK;
}

InProcessAttachment::~InProcessAttachment()
{
    // OnUnload's answer cannot change anything any more: the program is leaving.
    m_host.unload();
    // The provider may end on its own background thread, logging off its arrays; the
    // program must not end (and destroy what that thread still uses) before it has.
    if (!COrvVdsModule::instance().WaitForProviderObjects(std::chrono::seconds(30)))
        std::cerr << "orvraid: the provider did not end within 30 seconds; leaving anyway.\n";
}

}  // namespace orvraid
