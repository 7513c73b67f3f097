#include "sim/Simulator.h"

#include "sim/ArrayStateJson.h"
#include "sim/StateFile.h"

#include <boost/asio/ip/address.hpp>

#include <stdexcept>

namespace Merrow::Sim {

ArrayState Simulator::initialState(const SimulatorOptions& options, StateFile* stateFile)
{
    if (stateFile == nullptr)
        return DefaultArray::build(options.array);
    const auto text = stateFile->load();
    if (!text)
        return DefaultArray::build(options.array);
    try {
        return ArrayStateJson::fromJson(nlohmann::json::parse(*text));
    } catch (const std::exception& e) {
        throw std::runtime_error("cannot read the state file " + stateFile->path() + ": " + e.what());
    }
}

IndicationSender::Options Simulator::senderOptions(const SimulatorOptions& options)
{
    IndicationSender::Options sender = options.indications;
    // An array listening on every interface sends from whichever suits the destination.
    boost::system::error_code ec;
    const boost::asio::ip::address address = boost::asio::ip::make_address(options.array.address, ec);
    if (!ec && !address.is_unspecified())
        sender.sourceAddress = options.array.address;
    return sender;
}

Simulator::Simulator(SimulatorOptions options) : m_options(std::move(options))
{
    m_settings.jobsEnabled = m_options.jobs;
    m_settings.jobMilliseconds = m_options.jobMilliseconds;
    m_settings.jobKeepMilliseconds = m_options.jobKeepMilliseconds;
    m_settings.restartMilliseconds = m_options.restartMilliseconds;
    if (!m_options.stateFile.empty())
        m_stateFile = std::make_shared<StateFile>(m_options.stateFile);

    m_model = std::make_unique<ArrayModel>(initialState(m_options, m_stateFile.get()), m_options.array.address);
    m_model->setStateFile(m_stateFile);
    m_sender = std::make_unique<IndicationSender>(senderOptions(m_options));
    m_router = std::make_unique<IndicationRouter>(*m_sender, m_options.array.address, m_settings);
    m_model->setChangeListener(m_router.get());

    m_control = std::make_unique<SimulatorControl>(*m_model, m_faults, m_counters, m_calls, m_settings);
    m_controlHandler = std::make_unique<ControlHandler>(*m_control);
    m_dispatcher = std::make_unique<OperationDispatcher>(*m_model, m_settings, m_faults, m_counters, m_calls,
                                                         *m_controlHandler, m_options.array.address);
    CimServerOptions serverOptions;
    serverOptions.address = m_options.array.address;
    serverOptions.port = m_options.port;
    serverOptions.user = m_options.user;
    serverOptions.password = m_options.password;
    serverOptions.idleTimeout = m_options.idleTimeout;
    m_server = std::make_unique<CimServer>(serverOptions, *m_dispatcher, m_faults);
    m_faults.setDropHandler([this] { m_server->dropConnections(); });
    m_faults.setPowerHandler([this](PowerCycle cycle) {
        m_server->powerCycle(cycle, std::chrono::milliseconds(m_settings.restartMilliseconds.load()));
    });
    m_jobRunner = std::make_unique<JobRunner>(*m_model, m_settings);
}

Simulator::~Simulator()
{
    stop();
}

void Simulator::start()
{
    if (m_running)
        return;
    // A state file that cannot be written would lose every change: refuse to run instead.
    m_model->saveNow();
    m_sender->start();
    m_jobRunner->start();
    try {
        m_server->start();
    } catch (...) {
        m_jobRunner->stop();
        m_sender->stop();
        throw;
    }
    m_running = true;
}

void Simulator::stop()
{
    if (!m_running)
        return;
    m_faults.shutdown();
    m_server->stop();
    m_jobRunner->stop();
    m_sender->stop();
    m_running = false;
}

} // namespace Merrow::Sim
