// CVdsAsyncObject: the IVdsAsync object that long-running VDS operations return. The
// request is made on the calling thread before the operation returns, so the object holds
// its outcome. Without a progress (SetProgress) it is finished at once: Wait never blocks
// and QueryStatus reports 100 percent. With one, the array still runs a job for the
// request: QueryStatus reports the job's percentage, Wait returns once the job ended (or
// after the wait limit), and a job that failed turns the outcome into its failure.
//
// The creating operation makes it (CComObject<CVdsAsyncObject>::CreateInstance), calls
// SetInfo, stores the outcome (SetResult, and SetCreated for a successful create) and an
// optional progress, and only then hands it out. m_ProgressMutex guards the outcome and
// the progress afterwards; it is a leaf lock: nothing else is locked while it is held
// except the client library's locks inside AsyncProgress::Read.
#pragma once

#include "platform/com/CComObject.h"
#include "platform/com/CComPtr.h"
#include "platform/vds/VdsInterfaces.h"
#include "vds/framework/AsyncProgress.h"

#include <chrono>
#include <memory>
#include <mutex>

class CVdsAsyncObject : public CComObjectRootEx, public IVdsAsync {
public:
    using ComMap = ComInterfaceMap<IVdsAsync>;

    CVdsAsyncObject() = default;

    // The object the operation concerned, the VDS_ASYNC_OUTPUT_TYPE of the operation, the
    // VDS object type of that object (0 when not given) and an object to keep alive until
    // this one goes (may be null).
    void SetInfo(GUID objectId, ULONG outputType, ULONG objectType, IUnknown* pHeld);
    void SetResult(HRESULT hrResult) { m_hrResult = hrResult; }
    // The object a create operation made; this object keeps a reference on it.
    void SetCreated(IUnknown* pCreated) { m_pCreated = pCreated; }
    // The array's job behind a successful request. Wait gives up after `waitLimit` and
    // then reports the outcome known so far.
    void SetProgress(std::unique_ptr<AsyncProgress> progress, std::chrono::milliseconds waitLimit);

    const GUID& ObjectId() const { return m_ObjectId; }
    ULONG ObjectType() const { return m_ObjectType; }

    void FinalRelease();

    // IVdsAsync
    HRESULT Cancel() override;
    // S_OK whenever both pointers are given; the operation's outcome is *pHrResult. For a
    // successful create (LUN, target, portal group) the output holds the created object
    // with a reference for the caller. Blocks while the array's job runs.
    HRESULT Wait(HRESULT* pHrResult, VDS_ASYNC_OUTPUT* pAsyncOut) override;
    HRESULT QueryStatus(HRESULT* pHrResult, ULONG* pulPercentCompleted) override;

private:
    // Reads the progress once unless it finished already; m_ProgressMutex held.
    ULONG readProgressLocked();
    // Until the progress finished or the wait limit passed.
    void waitForProgress();

    GUID m_ObjectId{};
    ULONG m_ObjectType = 0;
    ULONG m_OutputType = 0;
    CComPtr<IUnknown> m_pHeld;
    HRESULT m_hrResult = S_OK;
    CComPtr<IUnknown> m_pCreated;
    std::mutex m_ProgressMutex;
    std::unique_ptr<AsyncProgress> m_pProgress;
    std::chrono::milliseconds m_WaitLimit{0};
};
