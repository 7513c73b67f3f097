// COrvEnum: the enumerator (IEnumVdsObject) that VDS receives from every Query... call.
//
// It is a snapshot of GUIDs taken when it is made; the objects are fetched live from the
// provider (IVdsProviderPrivate::GetObject), and those deleted since are skipped without
// a word.
//
// Threads: like every COM enumerator it serves one caller at a time; its cursor is not
// guarded. It takes no lock of its own; each GetObject takes the provider's locks.
#pragma once

#include "platform/com/CComObject.h"
#include "platform/com/CComPtr.h"
#include "platform/vds/VdsInterfaces.h"
#include "trace/TraceAwareClass.h"

#include <string>
#include <vector>

class COrvEnum : public CComObjectRootEx,
                 public IEnumVdsObject,
                 public Merrow::Trace::TraceAwareClass {
public:
    using ComMap = ComInterfaceMap<IEnumVdsObject>;

    COrvEnum() = default;

    // Keeps a reference on `provider`, empties the GUIDs. E_INVALIDARG for a null provider.
    HRESULT Init(IVdsProviderPrivate* provider, VDS_OBJECT_TYPE type);
    // Appends `ids` and puts the cursor on the first GUID. E_UNEXPECTED before Init.
    HRESULT SetIds(const std::vector<VDS_OBJECT_ID>& ids);

    // IEnumVdsObject
    HRESULT Next(ULONG celt, IUnknown** ppObjectArray, ULONG* pcFetched) override;
    HRESULT Skip(ULONG celt) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumVdsObject** ppEnum) override;

    std::string className() const override { return "COrvEnum"; }
    void description(std::string& text) const override;

private:
    HRESULT fetch(ULONG celt, IUnknown** ppObjectArray, ULONG& fetched);

    CComPtr<IVdsProviderPrivate> m_pProvider;
    VDS_OBJECT_TYPE m_Type = VDS_OT_UNKNOWN;
    std::vector<VDS_OBJECT_ID> m_Ids;
    std::size_t m_Cursor = 0;
};
