#pragma once

// The simulated array's CIM-XML server: an HTTP server (cim::HttpServer) whose handler
// checks each request as a strict CIM server does and hands it to the dispatcher.
//
// Checks, in order, with their answers:
// The first three are decided on the request's head, before its body is read:
//   method other than POST                         405
//   faults: hang, delay, dropped request (not for the control namespace)
//   two Authorization headers                      400
//   log-ins refused by a fault, or wrong, unreadable or missing Basic credentials (when the
//   simulator has a user)                          401 with WWW-Authenticate
//   CIMOperation not "MethodCall"                  400, CIMError: request-not-valid
//   CIMProtocolVersion not 1.x                     501, CIMError: unsupported-protocol-version
//   body that is not XML                           400, CIMError: request-not-well-formed
//   CIM or DTD version not 2.x, MESSAGE version
//   not 1.x, several requests in one message       501, the matching CIMError
//   body that is not a valid request               400, CIMError: request-not-valid
//   CIMMethod or CIMObject header that does not
//   match the request                              400, CIMError: header-mismatch
// Everything else is answered with 200 and a CIM response, which carries any CIM error.
// (DSP0200 answers the version and multiple-request cases with 501, not 400.)
//
// Dropping connections restarts the listener: every open connection closes, requests in
// flight are not answered, and new connections are accepted right away.
//
// A power cycle (the array restarting or shutting down) stops the listener shortly after
// the request that asked for it is answered: open connections close and new ones are
// refused until the array is back, after the down time of a restart or, after a shut-down,
// when PowerCycle::PowerOn comes. Stopping the server ends any down time.
//
// Threads: start(), stop() and dropConnections() from any thread; m_lifecycle serialises
// starting and stopping the HTTP server. The handler runs on the HTTP server's threads.
// Restarts asked for from a request run on m_restarter (a request thread cannot stop the
// server it runs on); m_dropMutex guards m_dropRequested, m_restarterStopping and the
// power cycle requests. Lock order: m_dropMutex is never held while m_lifecycle is taken.

#include "sim/FaultControl.h"
#include "sim/OperationDispatcher.h"
#include "sim/PowerCycle.h"

#include "cim/http/HttpServer.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace Merrow::Sim {

struct CimServerOptions {
    std::string address = "127.0.0.2";
    std::uint16_t port = 5988;
    // An empty user accepts every request without credentials.
    std::string user;
    std::string password;
    std::chrono::milliseconds idleTimeout{60000};
};

class CimServer {
public:
    CimServer(CimServerOptions options, OperationDispatcher& dispatcher, FaultControl& faults);
    ~CimServer();
    CimServer(const CimServer&) = delete;
    CimServer& operator=(const CimServer&) = delete;

    // Throws boost::system::system_error when the address cannot be bound.
    void start();
    void stop();
    // From a request thread the restart runs on a thread of its own, shortly after the
    // request is answered; from any other thread it is done when this returns.
    void dropConnections();
    // Restart and ShutDown take the array down once the current request is answered;
    // `downTime` is how long a restart keeps it down. PowerOn brings it back now.
    void powerCycle(PowerCycle cycle, std::chrono::milliseconds downTime);
    // False while the array is down after a restart or shut-down.
    bool poweredOn() const;

    std::uint16_t port() const;

    // One HTTP request; public so tests can feed requests without a socket.
    cim::HttpServerReply handle(const cim::HttpRequest& request);

private:
    // A reply when the request is refused on its head alone.
    std::optional<cim::HttpServerReply> checkHead(const cim::HttpRequest& request);
    std::optional<cim::HttpServerReply> checkCredentials(const cim::HttpRequest& request, bool control);
    void recordRefusedLogin(const std::string& credentials);
    // The checks and the dispatch that need the body; after checkHead.
    cim::HttpServerReply handleWhole(const cim::HttpRequest& request);
    void restart();
    void runRestarter();
    // One restart or shut-down on m_restarter; `lock` holds m_dropMutex on entry and exit.
    void runPowerCycle(std::unique_lock<std::mutex>& lock);
    void goDown();
    void comeBack();

    const CimServerOptions m_options;
    OperationDispatcher& m_dispatcher;
    FaultControl& m_faults;
    const std::string m_expectedAuthorization;

    mutable std::mutex m_lifecycle;
    std::unique_ptr<cim::HttpServer> m_server;
    // Guarded by m_lifecycle.
    bool m_down = false;

    std::mutex m_dropMutex;
    std::condition_variable m_dropWake;
    bool m_dropRequested = false;
    bool m_restarterStopping = false;
    std::optional<PowerCycle> m_cycleRequested;
    std::chrono::milliseconds m_downTime{0};
    bool m_powerOnRequested = false;
    std::thread m_restarter;
};

} // namespace Merrow::Sim
