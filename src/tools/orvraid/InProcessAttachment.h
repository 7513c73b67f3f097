// The provider loaded into this process through the VDS stand-in, as VDS would load it:
// the class registered with the VDS service for the provider's id is created and given
// its OnLoad with the stand-in's advise sink; leaving unloads it.
#pragma once

#include "ProviderAttachment.h"

#include "platform/vds/VdsProviderHost.h"

#include <memory>

namespace orvraid {

class InProcessAttachment final : public ProviderAttachment {
public:
    // Loads the provider registered with VDS under `providerId`; when VDS knows no such
    // provider, the class `fallbackClass` is loaded directly (the program that makes it
    // creatable has not been registered with VDS). The failing HRESULT otherwise.
    static HRESULT load(const VDS_OBJECT_ID& providerId, REFCLSID fallbackClass,
                        std::unique_ptr<InProcessAttachment>& out);

    InProcessAttachment() = default;
    ~InProcessAttachment() override;

    IVdsProvider* provider() const override { return m_host.provider(); }
    // What the provider tells VDS, for orvraid watch.
    orv::platform::RecordingAdviseSink& notifications() { return m_host.notifications(); }

private:
    orv::platform::VdsProviderHost m_host;
};

}  // namespace orvraid
