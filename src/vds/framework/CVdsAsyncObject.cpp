#include "vds/framework/CVdsAsyncObject.h"

#include "platform/vds/VdsErrors.h"

#include <cstring>
#include <thread>

namespace {

// How often Wait looks at the array's job again.
constexpr std::chrono::milliseconds kPollInterval{100};

} // namespace

void CVdsAsyncObject::SetInfo(GUID objectId, ULONG outputType, ULONG objectType, IUnknown* pHeld)
{
    m_ObjectId = objectId;
    m_OutputType = outputType;
    m_ObjectType = objectType;
    m_pHeld = pHeld;
}

void CVdsAsyncObject::SetProgress(std::unique_ptr<AsyncProgress> progress,
                                  std::chrono::milliseconds waitLimit)
{
    std::lock_guard<std::mutex> lock(m_ProgressMutex);
    m_pProgress = std::move(progress);
    m_WaitLimit = waitLimit;
}

void CVdsAsyncObject::FinalRelease() { m_pHeld.Release(); }

void CVdsAsyncObject::waitForProgress()
{
    std::unique_lock<std::mutex> lock(m_ProgressMutex);
    const auto giveUp = std::chrono::steady_clock::now() + m_WaitLimit;
    // The lock is let go between looks so that QueryStatus answers meanwhile.
    while (readProgressLocked() < 100 && std::chrono::steady_clock::now() < giveUp) {
        lock.unlock();
        std::this_thread::sleep_for(kPollInterval);
        lock.lock();
    }
}

ULONG CVdsAsyncObject::readProgressLocked()
{
    if (!m_pProgress)
        return 100;
    const AsyncProgressReading reading = m_pProgress->Read();
    if (!reading.finished)
        return reading.percentComplete < 100 ? reading.percentComplete : 99;
    if (FAILED(reading.outcome) && SUCCEEDED(m_hrResult)) {
        m_hrResult = reading.outcome;
        // A failed create leaves nothing to hand out.
        m_pCreated.Release();
    }
    m_pProgress.reset();
    return 100;
}

HRESULT CVdsAsyncObject::Cancel() { return VDS_E_NOT_SUPPORTED; }

HRESULT CVdsAsyncObject::Wait(HRESULT* pHrResult, VDS_ASYNC_OUTPUT* pAsyncOut)
{
    if (pHrResult == nullptr || pAsyncOut == nullptr)
        return E_POINTER;
    waitForProgress();
    std::lock_guard<std::mutex> lock(m_ProgressMutex);
    std::memset(pAsyncOut, 0, sizeof *pAsyncOut);
    pAsyncOut->type = static_cast<VDS_ASYNC_OUTPUT_TYPE>(m_OutputType);
    *pHrResult = m_hrResult;
    if (FAILED(m_hrResult))
        return S_OK;
    switch (m_OutputType) {
    case VDS_ASYNCOUT_CREATELUN:
    case VDS_ASYNCOUT_CREATETARGET:
    case VDS_ASYNCOUT_CREATEPORTALGROUP:
        // The three create arms share offset 8.
        m_pCreated.CopyTo(&pAsyncOut->cl.pLunUnk);
        break;
    default:
        break;
    }
    return S_OK;
}

HRESULT CVdsAsyncObject::QueryStatus(HRESULT* pHrResult, ULONG* pulPercentCompleted)
{
    if (pHrResult == nullptr || pulPercentCompleted == nullptr)
        return E_POINTER;
    std::lock_guard<std::mutex> lock(m_ProgressMutex);
    *pulPercentCompleted = readProgressLocked();
    *pHrResult = m_hrResult;
    return S_OK;
}
