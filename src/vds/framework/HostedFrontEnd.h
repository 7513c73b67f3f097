// What the server process runs beside the provider it hosts: the way in for front ends
// (orvvds's socket). It is made once the provider is loaded and destroyed before the
// provider is unloaded, so it may use the host for as long as it lives.
#pragma once

#include <functional>
#include <memory>

namespace orv::platform {
class VdsProviderHost;
}

class HostedFrontEnd {
public:
    virtual ~HostedFrontEnd() = default;
};

// Throws std::exception with a sentence for the event log when the front end cannot start.
using HostedFrontEndFactory = std::function<std::unique_ptr<HostedFrontEnd>(orv::platform::VdsProviderHost&)>;
