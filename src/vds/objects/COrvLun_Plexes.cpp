// The LUN's plexes: the array keeps a mirror's copies inside one volume, so a Mirror LUN
// shows VDS one plex for the whole volume and other LUNs none. Plexes cannot be added or
// removed: the array changes a volume's layout only as a whole.
#include "platform/vds/VdsErrors.h"
#include "trace/Trace.h"
#include "vds/objects/COrvLun.h"
#include "vds/objects/COrvVdsProvider.h"

using namespace Merrow::UserAgent;
using Merrow::Trace::TC_VDS_LUN;
using Merrow::Trace::TV_INFO;
using Merrow::Trace::TV_SEVERE;

namespace {

// UAEnums::VolumeCompositionName of a mirror.
constexpr std::int32_t kMirror = 3;

} // namespace

HRESULT COrvLun::FetchPlexes()
{
    VDSScopedLock lock(this);
    if (GetProviderGuid() == GUID_NULL) {
        MWTRACE(TV_INFO, TC_VDS_LUN) << "m_ProviderGuid is NULL" << MWENDREC;
        return E_FAIL;
    }
    m_PlexList.SetProviderGuid(GetProviderGuid());
    UAEnums::VolumeCompositionName composition;
    if (!m_Service.IsValid() || m_Service.GetCompositionName(composition).isFailure() ||
        composition.getValue() != kMirror)
        return S_OK;
    VDS_OBJECT_ID id{};
    CComObject<COrvLunPlex>* created = nullptr;
    if (FAILED(m_PlexList.CreateListObject(&id, &created))) {
        MWTRACE(TV_SEVERE, TC_VDS_LUN) << "Create Object LunPlex Failed" << MWENDREC;
        return E_FAIL;
    }
    CComPtr<CComObject<COrvLunPlex>> plex;
    plex.Attach(created);
    plex->SetService(m_Service, m_SubSystemId, GetGuid());
    MWTRACE(TV_INFO, TC_VDS_LUN) << "Successfully set the lunplex service." << MWENDREC;
    return S_OK;
}

VDS_OBJECT_ID COrvLun::PlexId()
{
    VDSScopedLock lock(this);
    if (m_PlexList.IsEmpty())
        FetchPlexes();
    const std::vector<VDS_OBJECT_ID> ids = m_PlexList.GetAllIds();
    if (ids.empty()) {
        MWTRACE(TV_INFO, TC_VDS_LUN) << "There is no plex associated with LUN" << MWENDREC;
        return GUID_NULL;
    }
    return ids.front();
}

HRESULT COrvLun::GetSubObject(VDS_OBJECT_ID id, VDS_OBJECT_TYPE type, IUnknown** ppUnk)
{
    VDSScopedLock lock(this);
    return m_PlexList.GetListObject(id, type, ppUnk);
}

HRESULT COrvLun::QueryPlexes(IEnumVdsObject** ppEnum)
{
    return GuardVdsMethod("COrvLun::QueryPlexes", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        if (ppEnum == nullptr)
            return E_INVALIDARG;
        *ppEnum = nullptr;
        if (m_PlexList.IsEmpty())
            FetchPlexes();
        COrvVdsProvider* provider = FindVdsProvider(GetProviderGuid());
        if (GetProviderGuid() == GUID_NULL || provider == nullptr) {
            MWTRACE(TV_INFO, TC_VDS_LUN) << "m_ProviderGuid is still NULL" << MWENDREC;
            return E_FAIL;
        }
        std::vector<VDS_OBJECT_ID> ids;
        const HRESULT hr = m_PlexList.GetGuidVector(ids);
        if (FAILED(hr))
            return hr;
        return provider->MakeEnum(VDS_OT_LUN_PLEX, ids, ppEnum);
    });
}

HRESULT COrvLun::AddPlex(VDS_OBJECT_ID, IVdsAsync** ppAsync)
{
    return ppAsync == nullptr ? E_POINTER : VDS_E_NOT_SUPPORTED;
}

HRESULT COrvLun::RemovePlex(VDS_OBJECT_ID, IVdsAsync** ppAsync)
{
    return ppAsync == nullptr ? E_INVALIDARG : VDS_E_NOT_SUPPORTED;
}
