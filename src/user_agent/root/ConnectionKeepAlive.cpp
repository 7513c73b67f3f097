#include "user_agent/root/ConnectionKeepAlive.h"

#include "trace/Trace.h"
#include "user_agent/connection/CorvaneConnection.h"
#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/root/MerrowUserAgentImpl.h"
#include "user_agent/base/UALockTimeout.h"

#include <algorithm>

namespace Merrow::UserAgent {

namespace {

using namespace Merrow::Trace;

} // namespace

ConnectionKeepAlive::ConnectionKeepAlive(MerrowUserAgentImpl& root,
                                         std::chrono::milliseconds idlePeriod,
                                         std::chrono::milliseconds pollInterval)
    : m_root(&root), m_idlePeriod(idlePeriod), m_pollInterval(pollInterval) {}

void ConnectionKeepAlive::operator()() {
    Clock::time_point nextCheck = Clock::now();
    while (!m_root->IsStopped()) {
        if (Clock::now() < nextCheck) {
            m_root->WaitForStop(m_pollInterval);
            continue;
        }
        nextCheck = Clock::now() + m_idlePeriod;
        checkConnections(nextCheck);
    }
}

void ConnectionKeepAlive::checkConnections(Clock::time_point& nextCheck) {
    for (const CorvaneConnection& connection : m_root->SnapshotConnections()) {
        if (m_root->IsStopped())
            return;
        try {
            checkConnection(connection, nextCheck);
        } catch (const UALockTimeout&) {
            // Busy with a long request, which shows that the link is in use: look again later.
        } catch (...) {
            MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT)
                << "Error - Unexpected exception on connection monitoring thread" << MWENDREC;
        }
    }
}

void ConnectionKeepAlive::checkConnection(const CorvaneConnection& connection,
                                          Clock::time_point& nextCheck) {
    CorvaneConnectionImpl* impl = connection.GetConnectionImpl();
    if (impl->GetConnectionState() != UACIMClient::STATE_CONNECTED)
        return;
    const Clock::time_point lastExchange = impl->GetLastExchangeTime(kConnectionLockLimitMs);
    if (Clock::now() - lastExchange < m_idlePeriod) {
        nextCheck = std::min(nextCheck, lastExchange + m_idlePeriod);
        return;
    }
    impl->Ping();
}

} // namespace Merrow::UserAgent
