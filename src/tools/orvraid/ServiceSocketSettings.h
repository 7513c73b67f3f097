// How the service's socket server behaves: where it listens, whom it lets in, how long it
// waits for a silent client and how many clients it serves at once.
#pragma once

#include "PeerCredentialPolicy.h"

#include <cstddef>
#include <filesystem>
#include <string>

namespace orvraid {

struct ServiceSocketSettings {
    std::filesystem::path socketPath;
    PeerCredentialPolicy policy = PeerCredentialPolicy::rootAndServiceUser();
    std::string serverName = "orvvds";
    // A client must say hello within this time, finish every frame it begins within it, and
    // take every frame sent to it within it. Between commands a client may stay silent for
    // as long as it likes: an administrator at the prompt thinks.
    int stallTimeoutMs = 10000;
    std::size_t maxConnections = 64;
    // Notifications waiting for a watcher that reads slowly; one more ends its connection.
    std::size_t maxQueuedNotifications = 4096;
};

}  // namespace orvraid
