// orvraid's end of the service's socket: it sends each command line to the running
// service, which runs it against the provider it hosts, and prints the output and the
// errors the service sends back; or it watches the service's notifications.
//
// Threads: one thread runs commands or watches; shutdown() may come from any thread (a
// signal's watcher) and ends a watch.
#pragma once

#include "CommandRunner.h"
#include "ServiceMessages.h"
#include "SocketChannel.h"

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

namespace orvraid {

class ServiceClient final : public CommandRunner {
public:
    enum class Connect { Connected, NoService, Failed };

    // NoService when nothing listens at `socketPath` (no socket, or one a dead service
    // left): orvraid hosts the provider itself then. Failed, with the reason in `error`,
    // when a service is there but does not take this client. `password` goes to the service
    // for "add array" commands that give none.
    static Connect connect(const std::filesystem::path& socketPath, const std::string& password,
                           std::ostream& out, std::ostream& err, std::unique_ptr<ServiceClient>& client,
                           std::string& error);

    ServiceClient(int fd, std::ostream& out, std::ostream& err);

    ExitCode execute(std::string_view line) override;
    bool exitRequested() const override { return m_exitRequested; }

    // Turns the connection into a watching one; once it returns true, no notification is
    // missed. False with the reason in `error`.
    bool startWatch(std::string& error);
    // Calls `onNotification` with each notification until the service or shutdown() ends
    // the connection. False with the reason in `error` when the service refuses or fails.
    bool readNotifications(const std::function<void(const protocol::Notification&)>& onNotification,
                           std::string& error);
    void shutdown() { m_channel.shutdown(); }

    const protocol::Welcome& welcome() const { return m_welcome; }

private:
    bool handshake(const std::string& password, std::string& error);
    // The next frame of `type`; false with the reason otherwise (a refusal's text, a
    // protocol fault, the connection's end).
    bool expect(protocol::MessageType type, protocol::Frame& frame, std::string& error);
    ExitCode lose(const std::string& reason);

    SocketChannel m_channel;
    std::ostream& m_out;
    std::ostream& m_err;
    protocol::Welcome m_welcome;
    bool m_exitRequested = false;
    bool m_closed = false;  // the service ended the connection (no refusal, no fault)
};

}  // namespace orvraid
