// COrvNotifier: the only way notifications leave the program. It wraps the advise sink
// that VDS hands the provider at OnLoad and forwards arrays of notification records to it.
//
// Lifetime: counted by AddRef/Release; CreateInstance hands out the first reference (the
// provider's, kept in a NotifierHolder), every live notification set and every delivery
// in progress holds one more, and the last Release frees the notifier and its sink
// reference. A notifier is therefore never seen with a count of 0 by anyone but its
// destructor.
//
// Threads: Notify and NewSet may be called from any thread; they hold the notifier's scoped
// lock (level 1000, the highest), so callers may hold any other object locks, and calls
// from different threads are serialised. The sink is called synchronously while the
// caller's locks are held. The last Release must not happen under the notifier's own lock.
#pragma once

#include "platform/com/CComObjectRootEx.h"
#include "platform/com/CComPtr.h"
#include "platform/vds/VdsInterfaces.h"
#include "trace/TraceAwareClass.h"
#include "vds/framework/Notifier.h"

#include <atomic>
#include <string>

class COrvNotifier : public Notifier,
                     public Merrow::Trace::TraceAwareClass,
                     public CComObjectRootEx {
public:
    // A new notifier with `pSink` (which may be null: notifications are then dropped),
    // with one reference that `notifier` owns. E_OUTOFMEMORY when it cannot be made.
    static HRESULT CreateInstance(IVdsAdviseSink* pSink, CComPtr<COrvNotifier>& notifier);

    COrvNotifier(const COrvNotifier&) = delete;
    COrvNotifier& operator=(const COrvNotifier&) = delete;

    ULONG AddRef();
    ULONG Release();

    // Hands the records to the sink; they stay the caller's. The sink's answer is not
    // looked at, so this always answers S_OK.
    HRESULT Notify(LONG count, VDS_NOTIFICATION* pRecords);

    std::unique_ptr<NotificationSet> NewSet() override;

    std::string className() const override { return "COrvNotifier"; }
    void description(std::string& text) const override;

private:
    explicit COrvNotifier(IVdsAdviseSink* pSink);
    ~COrvNotifier() override = default;

    CComPtr<IVdsAdviseSink> m_pSink;
    std::atomic<LONG> m_RefCount{0};
};
