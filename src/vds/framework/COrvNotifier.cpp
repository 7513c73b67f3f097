#include "vds/framework/COrvNotifier.h"

#include "trace/Trace.h"
#include "vds/framework/COrvNotificationSet.h"
#include "vds/framework/VDSScopedLock.h"

#include <cstdio>
#include <exception>
#include <new>

using Merrow::Trace::TC_VDS_NOTIFIER;
using Merrow::Trace::TV_DETAIL;
using Merrow::Trace::TV_ERROR;

COrvNotifier::COrvNotifier(IVdsAdviseSink* pSink) : m_pSink(pSink) {}

HRESULT COrvNotifier::CreateInstance(IVdsAdviseSink* pSink, CComPtr<COrvNotifier>& notifier)
{
    notifier = new (std::nothrow) COrvNotifier(pSink);
    return notifier ? S_OK : E_OUTOFMEMORY;
}

void COrvNotifier::description(std::string& text) const
{
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    text = address;
}

ULONG COrvNotifier::AddRef()
{
    MWSCOPE_CAT(TV_DETAIL, TC_VDS_NOTIFIER, "");
    return static_cast<ULONG>(++m_RefCount);
}

ULONG COrvNotifier::Release()
{
    MWSCOPE_CAT(TV_DETAIL, TC_VDS_NOTIFIER, "");
    const LONG count = --m_RefCount;
    MWTRACE(TV_DETAIL, TC_VDS_NOTIFIER) << "reference count = " << count << MWENDREC;
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

HRESULT COrvNotifier::Notify(LONG count, VDS_NOTIFICATION* pRecords)
{
    MWSCOPE_OBJ(this, "");
    VDSScopedLock lock(this);
    if (!m_pSink) {
        MWTRACE(TV_DETAIL, TC_VDS_NOTIFIER)
            << "no advise sink: " << count << " notifications dropped" << MWENDREC;
        return S_OK;
    }
    m_pSink->OnNotify(count, pRecords);
    return S_OK;
}

std::unique_ptr<NotificationSet> COrvNotifier::NewSet()
{
    MWSCOPE_OBJ(this, "");
    try {
        VDSScopedLock lock(this);
        return std::make_unique<COrvNotificationSet>(this);
    } catch (const std::exception&) {
        return nullptr;
    } catch (...) {
        MWTRACE(TV_ERROR, TC_VDS_NOTIFIER)
            << "COrvNotifier::NewSet" << " VDS Provider run-time exception caught!" << MWENDREC;
        return nullptr;
    }
}
