// CVdsAsyncObject: the IVdsAsync object that long-running VDS operations return. The work
// is done on the calling thread before the operation returns, so the object is a holder
// of a finished outcome: Wait never blocks and QueryStatus always reports 100 percent.
//
// The creating operation makes it (CComObject<CVdsAsyncObject>::CreateInstance), calls
// SetInfo, stores the outcome (SetResult, and SetCreated for a successful create) and only
// then hands it out; afterwards it is only read, so it needs no lock.
#pragma once

#include "platform/com/CComObject.h"
#include "platform/com/CComPtr.h"
#include "platform/vds/VdsInterfaces.h"

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

    const GUID& ObjectId() const { return m_ObjectId; }
    ULONG ObjectType() const { return m_ObjectType; }

    void FinalRelease();

    // IVdsAsync
    HRESULT Cancel() override;
    // S_OK whenever both pointers are given; the operation's outcome is *pHrResult. For a
    // successful create (LUN, target, portal group) the output holds the created object
    // with a reference for the caller.
    HRESULT Wait(HRESULT* pHrResult, VDS_ASYNC_OUTPUT* pAsyncOut) override;
    HRESULT QueryStatus(HRESULT* pHrResult, ULONG* pulPercentCompleted) override;

private:
    GUID m_ObjectId{};
    ULONG m_ObjectType = 0;
    ULONG m_OutputType = 0;
    CComPtr<IUnknown> m_pHeld;
    HRESULT m_hrResult = S_OK;
    CComPtr<IUnknown> m_pCreated;
};
