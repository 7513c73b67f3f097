#include "vds/framework/COrvEnum.h"

#include "platform/vds/VdsErrors.h"
#include "trace/Trace.h"
#include "vds/framework/VdsMethodGuard.h"

#include <exception>
#include <new>

using Merrow::Trace::TC_VDS_ENUM;
using Merrow::Trace::TC_VDS_OBJECT_BASE;
using Merrow::Trace::TV_DETAIL;
using Merrow::Trace::TV_ERROR;

void COrvEnum::description(std::string& text) const
{
    text = "type " + std::to_string(m_Type) + ", at " + std::to_string(m_Cursor) + " of " +
           std::to_string(m_Ids.size());
}

HRESULT COrvEnum::Init(IVdsProviderPrivate* provider, VDS_OBJECT_TYPE type)
{
    MWSCOPE_OBJ(this, "");
    if (provider == nullptr)
        return E_INVALIDARG;
    m_pProvider = provider;
    m_Type = type;
    m_Ids.clear();
    m_Cursor = 0;
    return S_OK;
}

HRESULT COrvEnum::SetIds(const std::vector<VDS_OBJECT_ID>& ids)
{
    if (!m_pProvider)
        return E_UNEXPECTED;
    try {
        m_Ids.insert(m_Ids.end(), ids.begin(), ids.end());
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    m_Cursor = 0;
    return S_OK;
}

HRESULT COrvEnum::Next(ULONG celt, IUnknown** ppObjectArray, ULONG* pcFetched)
{
    MWSCOPE_OBJ(this, "");
    if (ppObjectArray == nullptr || pcFetched == nullptr)
        return E_POINTER;
    return GuardVdsMethod("COrvEnum::Next", E_UNEXPECTED, [&] {
        ULONG fetched = 0;
        HRESULT hr = fetch(celt, ppObjectArray, fetched);
        *pcFetched = fetched;
        if (SUCCEEDED(hr) && fetched < celt)
            return S_FALSE;
        return hr;
    });
}

// Fills ppObjectArray from the cursor on. An object that has gone since the snapshot is
// passed over; any other failure stops the walk on the GUID that failed.
HRESULT COrvEnum::fetch(ULONG celt, IUnknown** ppObjectArray, ULONG& fetched)
{
    HRESULT hr = S_OK;
    while (fetched < celt && m_Cursor < m_Ids.size()) {
        IUnknown* object = nullptr;
        hr = m_pProvider->GetObject(m_Ids[m_Cursor], m_Type, &object);
        if (hr == VDS_E_OBJECT_NOT_FOUND) {
            MWTRACE(TV_DETAIL, TC_VDS_ENUM)
                << "object " << m_Ids[m_Cursor] << " has gone, skipped" << MWENDREC;
            hr = S_OK;
        } else if (FAILED(hr)) {
            break;
        } else if (object != nullptr) {
            ppObjectArray[fetched++] = object;
        }
        ++m_Cursor;
    }
    return hr;
}

HRESULT COrvEnum::Skip(ULONG celt)
{
    const std::size_t left = m_Ids.size() - m_Cursor;
    if (celt > left) {
        m_Cursor = m_Ids.size();
        return S_FALSE;
    }
    m_Cursor += celt;
    return S_OK;
}

HRESULT COrvEnum::Reset()
{
    m_Cursor = 0;
    return S_OK;
}

HRESULT COrvEnum::Clone(IEnumVdsObject** ppEnum)
{
    MWSCOPE_OBJ(this, "");
    if (ppEnum == nullptr)
        return E_POINTER;
    *ppEnum = nullptr;
    CComObject<COrvEnum>* raw = nullptr;
    HRESULT hr = CComObject<COrvEnum>::CreateInstance(&raw);
    if (FAILED(hr))
        return hr;
    CComPtr<CComObject<COrvEnum>> clone(raw);
    hr = clone->Init(m_pProvider, m_Type);
    if (SUCCEEDED(hr))
        hr = clone->SetIds(m_Ids);
    if (FAILED(hr))
        return hr;
    clone->m_Cursor = m_Cursor;
    *ppEnum = clone.Detach();
    return S_OK;
}
