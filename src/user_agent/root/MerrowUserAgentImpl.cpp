#include "user_agent/root/MerrowUserAgentImpl.h"

#include "trace/Trace.h"
#include "user_agent/root/ConnectionKeepAlive.h"
#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/root/IndicationDispatcher.h"

namespace Merrow::UserAgent {

namespace {

using namespace Merrow::Trace;

} // namespace

MerrowUserAgentImpl::MerrowUserAgentImpl(bool noIndications, Periods periods)
    : m_noIndications(noIndications), m_periods(periods), m_listener(*this) {}

MerrowUserAgentImpl::~MerrowUserAgentImpl() {
    Stop();
    std::vector<CorvaneConnection> connections;
    {
        ScopedLock lock(*this);
        connections.swap(m_connections);
    }
    for (const CorvaneConnection& connection : connections)
        connection.GetConnectionImpl()->DetachOwner();
}

MerrowReturnValue MerrowUserAgentImpl::Start() {
    MWSCOPE("");
    std::lock_guard lifecycle(m_lifecycleMutex);
    if (!m_stopped.load())
        return MerrowReturnValue();
    m_stopped = false;
    // A listener that cannot start has said so; the threads run anyway, so that connections
    // are still kept alive.
    const MerrowReturnValue listening = m_listener.Start();
    m_keepAliveThread =
        std::thread(ConnectionKeepAlive(*this, m_periods.keepAliveIdle, m_periods.keepAlivePoll));
    m_dispatcherThread = std::thread(IndicationDispatcher(*this, m_periods.dispatcherWait));
    return listening;
}

void MerrowUserAgentImpl::Stop() {
    MWSCOPE("");
    std::lock_guard lifecycle(m_lifecycleMutex);
    if (m_stopped.load())
        return;
    {
        // Set under the mutex the keep-alive thread waits with, so its wake-up is not lost.
        std::lock_guard lock(m_stopMutex);
        m_stopped = true;
    }
    m_stopCondition.notify_all();
    m_indications.wakeWaiters();
    joinThreads();
    try {
        m_listener.Stop();
    } catch (...) {
        // Nothing more can be done about a listener that fails to stop.
    }
}

void MerrowUserAgentImpl::joinThreads() {
    if (m_dispatcherThread.joinable())
        m_dispatcherThread.join();
    if (m_keepAliveThread.joinable())
        m_keepAliveThread.join();
}

bool MerrowUserAgentImpl::WaitForStop(std::chrono::milliseconds period) {
    std::unique_lock lock(m_stopMutex);
    return m_stopCondition.wait_for(lock, period, [this] { return m_stopped.load(); });
}

CorvaneConnection MerrowUserAgentImpl::GetConnection(const std::string& host) {
    MWSCOPE(host.c_str());
    ScopedLock lock(*this);
    for (const CorvaneConnection& connection : m_connections) {
        if (connection.GetConnectionImpl()->GetHostName() == host)
            return connection;
    }
    m_connections.emplace_back(CorvaneConnectionImpl::Create(this, host));
    return m_connections.back();
}

std::vector<CorvaneConnection> MerrowUserAgentImpl::SnapshotConnections() const {
    ScopedLock lock(*this);
    return m_connections;
}

bool MerrowUserAgentImpl::GetNextServiceIndication(ServiceIndication& indication,
                                                   std::uint32_t waitLimitMs) {
    m_serviceIndicationDelivery = true;
    return m_serviceIndications.pop(indication, waitLimitMs);
}

void MerrowUserAgentImpl::QueueServiceIndication(const ServiceIndication& indication) {
    if (m_serviceIndicationDelivery.load())
        m_serviceIndications.push(indication);
}

void MerrowUserAgentImpl::OnIndicationReceived(const UAIndication& indication) {
    if (indication.GetKind() == UAIndication::IndicationKind_CIMObject) {
        MWTRACE(TV_INFO, TC_INFO) << "CIM Indication In - type="
                                  << UAIndication::typeName(indication.GetType())
                                  << " Classname=" << indication.GetSourceClassName()
                                  << " Path=" << indication.GetSourceObjectPath().toString()
                                  << MWENDREC;
    }
    admitIndication(indication);
}

void MerrowUserAgentImpl::admitIndication(const UAIndication& indication) {
    {
        std::lock_guard lock(m_resyncMutex);
        // Lost-connection notices are few and must not be lost: they always queue.
        const bool fromArray = indication.GetKind() == UAIndication::IndicationKind_CIMObject;
        const std::string& host = indication.GetSourceHost();
        if (fromArray && m_resyncs.count(host) != 0) {
            ++m_droppedTotal;
            return;
        }
        if (!fromArray || m_indications.size() < m_periods.queuedIndicationLimit) {
            ++m_queuedTotal;
            m_indications.push(indication);
            return;
        }
        ++m_droppedTotal;
        m_resyncs.emplace(host, m_queuedTotal);
        MWTRACE(TV_WARNING, TC_ERROR_WARNING)
            << "Indication queue full (" << m_periods.queuedIndicationLimit << "): indications of "
            << host << " are dropped until its services have re-read the array" << MWENDREC;
    }
    // With the queue drained already, the dispatcher need not sit out its wait.
    m_indications.wakeWaiters();
}

bool MerrowUserAgentImpl::PopIndication(UAIndication& indication, std::uint32_t waitLimitMs) {
    if (!m_indications.pop(indication, waitLimitMs))
        return false;
    std::lock_guard lock(m_resyncMutex);
    ++m_takenTotal;
    return true;
}

void MerrowUserAgentImpl::ResynchroniseDueArrays() {
    std::vector<std::string> due;
    {
        std::lock_guard lock(m_resyncMutex);
        for (auto entry = m_resyncs.begin(); entry != m_resyncs.end();) {
            if (entry->second > m_takenTotal) {
                ++entry;
                continue;
            }
            due.push_back(entry->first);
            entry = m_resyncs.erase(entry);
        }
    }
    // Indications arriving from here on are queued again; the re-reads happen later still.
    for (const std::string& host : due) {
        MWTRACE(TV_INFO, TC_INFO) << "Re-reading " << host << " after dropped indications" << MWENDREC;
        for (const CorvaneConnection& connection : connectionsOf(host))
            connection.GetConnectionImpl()->Resynchronise();
    }
}

std::uint64_t MerrowUserAgentImpl::GetDroppedIndicationCount() const {
    std::lock_guard lock(m_resyncMutex);
    return m_droppedTotal;
}

std::uint16_t MerrowUserAgentImpl::GetListenerPort() const {
    return m_listener.getPortNumber();
}

std::vector<CorvaneConnection> MerrowUserAgentImpl::connectionsOf(const std::string& host) const {
    std::vector<CorvaneConnection> found;
    ScopedLock lock(*this);
    for (const CorvaneConnection& connection : m_connections) {
        if (connection.GetConnectionImpl()->GetHostName() == host)
            found.push_back(connection);
    }
    return found;
}

void MerrowUserAgentImpl::dispatchIndication(const UAIndication& indication) {
    for (const CorvaneConnection& connection : connectionsOf(indication.GetSourceHost()))
        connection.GetConnectionImpl()->OnIndicationReceived(indication);
}

} // namespace Merrow::UserAgent
