// LogInMailbox: the log-ins and reconnects that the provider's reconciliation found needed,
// handed from the provider's background thread to its log-in thread. The background thread
// must not wait for an array: a log-in to an array that takes connections and never
// answers lasts its whole time-out, and the other arrays' notices would wait as long.
//
// A batch holds a reference on the provider, taken by the reconciliation that posted it, so
// the provider stays alive until the log-in thread is done with the batch. A batch that
// was not taken yet is replaced by a newer one: that reconciliation read the arrays' status
// later, and nothing piles up behind an array that keeps the log-in thread busy.
//
// Threads: Post and Close from any thread, Take from the log-in thread. m_mutex guards
// m_waiting and m_closed and is a leaf lock; no batch is destroyed while it is held, since a
// batch's release of the provider may end the provider.
#pragma once

#include "platform/com/CComPtr.h"
#include "platform/vds/VdsInterfaces.h"
#include "vds/framework/CorvaneInfo.h"
#include "vds/framework/OrvVdsInterfaces.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <vector>

// A log-in (reconnect false) or reconnect of one subsystem's array.
struct PendingLogIn {
    CComPtr<IOrvSubsystemPrivate> subsystem;
    CorvaneInfo info;
    bool reconnect = false;
};

struct LogInBatch {
    CComPtr<IVdsProvider> provider;
    std::vector<PendingLogIn> logIns;
};

class LogInMailbox {
public:
    // Ignored once closed (the batch is released on the caller's thread).
    void Post(LogInBatch batch);
    // Waits for a batch; nullopt once the mailbox is closed.
    std::optional<LogInBatch> Take();
    // Wakes Take for good; a batch that was not taken is released on the caller's thread.
    void Close();

private:
    std::mutex m_mutex; // guards m_waiting and m_closed (leaf)
    std::condition_variable m_posted;
    std::optional<LogInBatch> m_waiting;
    bool m_closed = false;
};
