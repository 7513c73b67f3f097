#include "vds/framework/CVdsAsyncObject.h"

#include "platform/vds/VdsErrors.h"

#include <cstring>

void CVdsAsyncObject::SetInfo(GUID objectId, ULONG outputType, ULONG objectType, IUnknown* pHeld)
{
    m_ObjectId = objectId;
    m_OutputType = outputType;
    m_ObjectType = objectType;
    m_pHeld = pHeld;
}

void CVdsAsyncObject::FinalRelease() { m_pHeld.Release(); }

HRESULT CVdsAsyncObject::Cancel() { return VDS_E_NOT_SUPPORTED; }

HRESULT CVdsAsyncObject::Wait(HRESULT* pHrResult, VDS_ASYNC_OUTPUT* pAsyncOut)
{
    if (pHrResult == nullptr || pAsyncOut == nullptr)
        return E_POINTER;
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
    *pHrResult = m_hrResult;
    *pulPercentCompleted = 100;
    return S_OK;
}
