// How orvraid reaches the provider. Today the provider is loaded into this process
// (InProcessAttachment) when no service runs; an attachment to the running service over
// its Unix socket will implement the same interface, so the commands do not care which.
#pragma once

#include "platform/vds/VdsInterfaces.h"

namespace orvraid {

class ProviderAttachment {
public:
    virtual ~ProviderAttachment() = default;

    // The loaded provider; never null while the attachment lives.
    virtual IVdsProvider* provider() const = 0;
};

}  // namespace orvraid
