#pragma once

#include "user_agent/connection/CorvaneConnection.h"
#include "user_agent/base/MerrowReturnValue.h"
#include "user_agent/root/MerrowUserAgentPeriods.h"
#include "user_agent/indications/ServiceIndication.h"
#include "user_agent/base/SynchronizedQueue.h"
#include "user_agent/connection/UAConnectionOwner.h"
#include "user_agent/indications/UAIndication.h"
#include "user_agent/indications/UAIndicationListener.h"
#include "user_agent/base/UALockableObject.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace Merrow::UserAgent {

// The client library root: one connection per array host, the indication listener, the
// queue of received indications with the dispatcher thread that routes them to their
// connection, the keep-alive thread that probes idle connections, and the queue of service
// indications that the layer above waits on.
//
// Threads: the caller's threads (GetConnection, GetNextServiceIndication, Start, Stop), the
// listener's threads (OnIndicationReceived), the dispatcher and the keep-alive thread, and any
// connection thread that reports a lost link (OnIndicationReceived, QueueServiceIndication).
//
// A full indication queue: the indication that finds it full is dropped, and so is every
// later one of the same array until the dispatcher reaches the place in the queue where the
// first was dropped; there it has every service of that array's connections forget its
// cached data and report a change, so that what was dropped is read from the array instead.
// The queue thus holds at most the limit (plus one lost-connection notice per connection).
//
// Locks: the object lock (UALockableObject) guards m_connections and is held only to search or
// copy it, never while a connection is used, so no connection or service lock is ever taken
// inside it (connections only take their host lock, a leaf, under it). m_lifecycleMutex
// serialises Start and Stop and is held while the threads are joined; the threads never take
// it. m_stopMutex only pairs with m_stopCondition. The queues have their own locks;
// m_resyncMutex guards m_resyncs and the counts and is held while an indication is queued
// (then the queue's lock inside it), never while anything is dispatched. The flags
// are atomics read on every loop.
//
// Shutdown (Stop): set the stopped flag and wake both threads; join the dispatcher, then the
// keep-alive thread (which finishes a probe under way first); stop the listener.
// Destruction also detaches the connections, so handles that outlive the root stop reporting
// to it.
class MerrowUserAgentImpl : public UAConnectionOwner, public UALockableObject {
public:
    using Periods = MerrowUserAgentPeriods;

    explicit MerrowUserAgentImpl(bool noIndications, Periods periods = Periods());
    ~MerrowUserAgentImpl() override;

    // Starts the listener and both threads; nothing when already running.
    MerrowReturnValue Start();
    // See the shutdown sequence above; nothing when not running.
    void Stop();
    bool IsStopped() const { return m_stopped.load(); }

    // The registry entry whose host text equals `host` exactly (case included), created (not
    // connected) when there is none.
    CorvaneConnection GetConnection(const std::string& host);
    // From the first call on, service indications are queued for the caller; waits up to
    // `waitLimitMs` (SynchronizedQueue::kWaitForever: without end) for one.
    bool GetNextServiceIndication(ServiceIndication& indication, std::uint32_t waitLimitMs);

    // Queues an indication for the dispatcher.
    void OnIndicationReceived(const UAIndication& indication) override;

    // UAConnectionOwner
    bool IsNoIndications() const override { return m_noIndications; }
    std::uint16_t GetListenerPort() const override;
    void AllowIndicationSender(const std::string& address) override { m_listener.AllowSender(address); }
    void ForbidIndicationSender(const std::string& address) override { m_listener.ForbidSender(address); }
    void QueueServiceIndication(const ServiceIndication& indication) override;

    // For the threads.
    std::vector<CorvaneConnection> SnapshotConnections() const;
    // Hands the indication to every connection of its source host, in registry order.
    void dispatchIndication(const UAIndication& indication);
    bool PopIndication(UAIndication& indication, std::uint32_t waitLimitMs);
    // Has the connections of every array whose dropped indications the dispatcher has now
    // reached re-read their array (see above). Dispatcher thread.
    void ResynchroniseDueArrays();
    // Indications waiting for the dispatcher, and those dropped because the queue was full.
    std::size_t GetQueuedIndicationCount() const { return m_indications.size(); }
    std::uint64_t GetDroppedIndicationCount() const;
    // Sleeps up to `period`; true when the root was stopped meanwhile.
    bool WaitForStop(std::chrono::milliseconds period);
    const Periods& GetPeriods() const { return m_periods; }

    const UAIndicationListener& GetListener() const { return m_listener; }

private:
    void joinThreads();
    // Queues `indication` unless the queue is full or its array awaits a re-read.
    void admitIndication(const UAIndication& indication);
    // The registered connections to `host`, in registry order.
    std::vector<CorvaneConnection> connectionsOf(const std::string& host) const;

    const bool m_noIndications;
    const Periods m_periods;
    UAIndicationListener m_listener;

    std::vector<CorvaneConnection> m_connections; // guarded by the object lock

    SynchronizedQueue<ServiceIndication> m_serviceIndications;
    SynchronizedQueue<UAIndication> m_indications;
    mutable std::mutex m_resyncMutex;
    // Arrays (by host) whose indications are being dropped, with the count of indications
    // queued before the first was dropped: the dispatcher re-reads them once it has taken
    // that many.
    std::map<std::string, std::uint64_t> m_resyncs;
    std::uint64_t m_queuedTotal = 0;
    std::uint64_t m_takenTotal = 0;
    std::uint64_t m_droppedTotal = 0;
    std::atomic<bool> m_serviceIndicationDelivery{false};
    std::atomic<bool> m_stopped{true};

    std::mutex m_stopMutex;
    std::condition_variable m_stopCondition;

    std::mutex m_lifecycleMutex; // guards the thread objects
    std::thread m_dispatcherThread;
    std::thread m_keepAliveThread;
};

} // namespace Merrow::UserAgent
