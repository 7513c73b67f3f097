// COrvLunPlex: the VDS LUN plex object of a mirrored LUN. The array keeps a mirror's copies
// inside one volume, so a Mirror LUN shows VDS exactly one plex, which stands for the whole
// volume; the LUN makes it the first time its plexes are asked for.
//
// It reports the volume's size, layout and status and the drive extents the volume lies
// on; its hints are the LUN's. It raises no notifications of its own: the LUN reports its
// volume's changes.
//
// Threads: VDS's COM threads. The plex lock (550) guards the handle and the ids; it is
// held only to read them, so the drive look-ups of QueryExtents (drive lock 400) run after
// the provider and subsystem locks without it.
#pragma once

#include "platform/com/CComObject.h"
#include "platform/vds/VdsInterfaces.h"
#include "user_agent/services/Service_Volume.h"
#include "vds/framework/CVdsObjectBase.h"
#include "vds/framework/OrvVdsInterfaces.h"
#include "vds/objects/Extent.h"

#include <vector>

class COrvSubSystem;

class COrvLunPlex : public CComObjectRootEx,
                    public IVdsLunPlex,
                    public IOrvLunPlex,
                    public CVdsObjectBase<VDS_OT_LUN_PLEX> {
public:
    using ComMap = ComInterfaceMap<IVdsLunPlex, IOrvLunPlex>;

    std::string className() const override { return "COrvLunPlex"; }

    // The volume of its LUN, the subsystem and the LUN (called by the LUN that made it).
    void SetService(const Merrow::UserAgent::Service_Volume& volume,
                    const VDS_OBJECT_ID& subSystemId, const VDS_OBJECT_ID& lunId);

    // The drive extents of the volume, each naming the drive, the LUN and this plex. The
    // caller holds the provider and subsystem locks.
    HRESULT queryExtents(COrvSubSystem& subsystem, std::vector<Extent>& extents);

    // IVdsLunPlex
    HRESULT GetProperties(VDS_LUN_PLEX_PROP* pPlexProp) override;
    HRESULT GetLun(IVdsLun** ppLun) override;
    HRESULT QueryExtents(VDS_DRIVE_EXTENT** ppExtentArray, LONG* plNumberOfExtents) override;
    HRESULT QueryHints(VDS_HINTS* pHints) override;
    HRESULT ApplyHints(VDS_HINTS* pHints) override;

private:
    HRESULT getPlexProperties(VDS_LUN_PLEX_PROP& prop);
    VDS_LUN_PLEX_TYPE plexType();
    // The LUN's own IVdsLun, through the subsystem.
    HRESULT lookUpLun(IVdsLun** ppLun);
    HRESULT forwardHints(const char* method, HRESULT (IVdsLun::*hints)(VDS_HINTS*),
                         VDS_HINTS* pHints);

    Merrow::UserAgent::Service_Volume m_ServiceVolume;
    VDS_OBJECT_ID m_SubSystemId{};
    VDS_OBJECT_ID m_LunId{};
    bool m_bSecondary = false;
};
