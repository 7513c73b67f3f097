// CVdsObjectBase<N>: the identity every VDS object of the provider carries (its own GUID,
// its provider's GUID, its VDS object type N) and the hooks every object has.
//
// A VDS object class derives from it besides its COM root and interfaces; its list creates
// it and calls Initialize right away, and the ids never change afterwards. The provider
// itself leaves m_ProviderGuid null and sets m_Id in its constructor.
#pragma once

#include "platform/com/Guid.h"
#include "platform/vds/VdsTypes.h"
#include "trace/TraceAwareClass.h"

#include <cstdio>
#include <string>

namespace Merrow::UserAgent {
class UAIndication;
}

template <VDS_OBJECT_TYPE N> class CVdsObjectBase : public Merrow::Trace::TraceAwareClass {
public:
    CVdsObjectBase() = default;
    ~CVdsObjectBase() override = default;
    CVdsObjectBase(const CVdsObjectBase&) = delete;
    CVdsObjectBase& operator=(const CVdsObjectBase&) = delete;

    std::string className() const override { return "CVdsObjectBase"; }
    void description(std::string& text) const override
    {
        char address[32];
        std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
        text = address;
    }

    // Called at the end of Initialize with the provider GUID.
    virtual HRESULT OnInitialize(GUID /*providerGuid*/) { return S_OK; }
    // An indication from the array client library; the provider and the subsystems act on
    // them, other objects are never offered one.
    virtual HRESULT ReceiveIndication(const Merrow::UserAgent::UAIndication& /*indication*/)
    {
        return E_NOTIMPL;
    }

    // E_FAIL, with nothing changed, for a null provider GUID.
    HRESULT Initialize(GUID providerGuid, GUID objectId)
    {
        if (providerGuid == GUID_NULL)
            return E_FAIL;
        m_ProviderGuid = providerGuid;
        m_Id = objectId;
        OnInitialize(providerGuid);
        return S_OK;
    }

    const VDS_OBJECT_ID& GetGuid() const { return m_Id; }
    const GUID& GetProviderGuid() const { return m_ProviderGuid; }
    static constexpr VDS_OBJECT_TYPE GetVdsType() { return N; }

protected:
    GUID m_ProviderGuid{};
    VDS_OBJECT_ID m_Id{};
};
