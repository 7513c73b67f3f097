// orvvds's way in for front ends: the Unix socket (ServiceSocketServer) over the provider
// the service hosts, with the provider's notifications forwarded to watching clients.
//
// The socket's path is $ORVDS_SOCKET, else /run/orvvds/orvvds.sock; its folder is made
// owner-only when the service has to make it (systemd makes it from the unit's
// RuntimeDirectory otherwise).
#pragma once

#include "FreedMemoryReturner.h"
#include "ServiceSocketServer.h"

#include "platform/vds/VdsProviderHost.h"
#include "vds/framework/HostedFrontEnd.h"

#include <memory>

class SocketFrontEnd final : public HostedFrontEnd {
public:
    // Throws when the socket cannot be opened (ServiceSocketServer).
    explicit SocketFrontEnd(orv::platform::VdsProviderHost& host);
    // Forwarding stops before the server goes, so no notification reaches a dead server.
    ~SocketFrontEnd() override;

    static HostedFrontEndFactory factory();

private:
    orv::platform::VdsProviderHost& m_host;
    std::unique_ptr<orvraid::ServiceSocketServer> m_server;
    FreedMemoryReturner m_memoryReturner{std::chrono::seconds(30)};
};
