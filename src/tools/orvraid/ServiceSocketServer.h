// The service's Unix socket: accepts front ends, serves each on a ServiceConnection and
// hands the provider's notifications to the connections that watch.
//
// The socket is made owner-only (0600) before anyone can connect, and the peer's
// credentials are checked on every connection (ServiceSocketSettings::policy). A socket
// file left by a service that died is replaced; one that a live service answers on is not.
//
// Shutdown: the destructor stops accepting, stops every connection, joins every thread and
// removes the socket file. The caller stops forwarding notifications first.
//
// Threads: the accept thread accepts and reaps; notify() from any thread (the provider's
// notification thread). m_mutex guards m_connections; lock order m_mutex, then a
// connection's queue lock. Connections are destroyed (joined) outside m_mutex.
#pragma once

#include "ServiceSocketSettings.h"

#include "platform/vds/VdsInterfaces.h"

#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace orvraid {

class ServiceConnection;

class ServiceSocketServer {
public:
    // Listens at once. Throws std::system_error with the path named when the socket cannot
    // be made, and std::runtime_error when a live service answers on it already.
    ServiceSocketServer(IVdsProvider* provider, ServiceSocketSettings settings);
    ~ServiceSocketServer();
    ServiceSocketServer(const ServiceSocketServer&) = delete;
    ServiceSocketServer& operator=(const ServiceSocketServer&) = delete;

    void notify(const VDS_NOTIFICATION* records, std::size_t count);
    // Connections being served (finished ones count until they are reaped).
    std::size_t connectionCount();

private:
    void listenOn();
    void acceptLoop();
    void admitOrDrop(int fd);
    void admit(int fd);
    void reapFinished();

    IVdsProvider* m_provider;
    const ServiceSocketSettings m_settings;
    int m_listenFd = -1;
    int m_wakeFd = -1;
    std::thread m_acceptThread;

    std::mutex m_mutex;
    std::vector<std::unique_ptr<ServiceConnection>> m_connections;
};

}  // namespace orvraid
