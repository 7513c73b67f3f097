// One client of the service's socket, served on a thread of its own: the hello and the
// credential check, then commands run by an interpreter of the connection's own against
// the service's provider, or, once the client asks to watch, the notifications pushed to
// it as they come.
//
// Threads: the connection's thread runs everything but stop() and push(), which the
// server calls from its accept thread and from the provider's notification thread.
// m_queueMutex guards m_queue, m_watching and m_overflowed; it is a leaf lock.
#pragma once

#include "ServiceMessages.h"
#include "ServiceSocketSettings.h"
#include "SocketChannel.h"

#include "platform/vds/VdsInterfaces.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <thread>

namespace orvraid {

class ServiceConnection {
public:
    ServiceConnection(int fd, IVdsProvider* provider, const ServiceSocketSettings& settings);
    // Stops the connection and waits for its thread.
    ~ServiceConnection();
    ServiceConnection(const ServiceConnection&) = delete;
    ServiceConnection& operator=(const ServiceConnection&) = delete;

    void start();
    void stop();
    bool finished() const { return m_finished; }

    // Queued for a watching client; ignored otherwise.
    void push(const protocol::Notification& notification);

private:
    void run();
    bool handshake(protocol::Hello& hello);
    void serveCommands(const protocol::Hello& hello);
    void serveWatch();
    void refuse(const std::string& message);
    bool takeQueued(std::deque<protocol::Notification>& batch);
    void wake();

    SocketChannel m_channel;
    IVdsProvider* m_provider;  // the service keeps it alive longer than every connection
    const ServiceSocketSettings& m_settings;
    int m_wakeFd;
    std::thread m_thread;
    std::atomic<bool> m_finished{false};

    std::mutex m_queueMutex;
    std::deque<protocol::Notification> m_queue;
    bool m_watching = false;
    bool m_overflowed = false;
};

}  // namespace orvraid
