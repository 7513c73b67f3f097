#pragma once

// One simulated array, wired together: its model (from the state file, or the default
// array), the CIM-XML server on <address>:5988, the indication sender, the job clock and
// the control API. Tests embed it; the program corvane-sim runs one.
//
// Shutdown sequence (stop()): release every request a fault holds, stop the server (no
// new requests; requests in flight finish), stop the job clock, stop the indication
// sender (queued indications are dropped). The state file is current after every change,
// so nothing is left to save.

#include "sim/ArrayModel.h"
#include "sim/CimServer.h"
#include "sim/ControlHandler.h"
#include "sim/DefaultArray.h"
#include "sim/FaultControl.h"
#include "sim/IndicationRouter.h"
#include "sim/IndicationSender.h"
#include "sim/JobRunner.h"
#include "sim/OperationDispatcher.h"
#include "sim/MethodCallLog.h"
#include "sim/RequestCounters.h"
#include "sim/SimulatorControl.h"
#include "sim/SimulatorSettings.h"

#include <memory>
#include <string>

namespace Merrow::Sim {

struct SimulatorOptions {
    // array.address is the listen address too.
    ArrayOptions array;
    std::uint16_t port = 5988;
    std::string user;
    std::string password;
    std::chrono::milliseconds idleTimeout{60000};
    // Empty: no state file; the array starts from the defaults every time.
    std::string stateFile;
    bool jobs = true;
    std::uint32_t jobMilliseconds = 2000;
    std::uint32_t jobKeepMilliseconds = 60000;
    // How long the array is down (refusing connections) when it restarts.
    std::uint32_t restartMilliseconds = 3000;
    IndicationSender::Options indications;
};

class Simulator {
public:
    // Reads the state file when there is one, else builds the default array. Throws
    // std::invalid_argument for options that describe no array and std::runtime_error for
    // a state file that cannot be read.
    explicit Simulator(SimulatorOptions options);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Writes the state file first: throws cim::CIMException when it cannot be written (an
    // array that cannot keep its changes does not start), boost::system::system_error when
    // the address cannot be bound.
    void start();
    void stop();

    const std::string& address() const { return m_options.array.address; }
    std::uint16_t port() const { return m_server->port(); }
    SimulatorControl& control() { return *m_control; }
    // False while the array is down after a restart or shut-down.
    bool poweredOn() const { return m_server->poweredOn(); }
    ArrayModel& model() { return *m_model; }
    IndicationSender& indications() { return *m_sender; }

private:
    static ArrayState initialState(const SimulatorOptions& options, StateFile* stateFile);
    static IndicationSender::Options senderOptions(const SimulatorOptions& options);

    const SimulatorOptions m_options;
    SimulatorSettings m_settings;
    FaultControl m_faults;
    RequestCounters m_counters;
    MethodCallLog m_calls;
    std::shared_ptr<StateFile> m_stateFile;
    std::unique_ptr<ArrayModel> m_model;
    std::unique_ptr<IndicationSender> m_sender;
    std::unique_ptr<IndicationRouter> m_router;
    std::unique_ptr<SimulatorControl> m_control;
    std::unique_ptr<ControlHandler> m_controlHandler;
    std::unique_ptr<OperationDispatcher> m_dispatcher;
    std::unique_ptr<CimServer> m_server;
    std::unique_ptr<JobRunner> m_jobRunner;
    bool m_running = false;
};

} // namespace Merrow::Sim
