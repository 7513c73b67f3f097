// Extent: one piece of a drive as the drive and LUN plex objects report it (the drive it
// lies on, the LUN and plex that use it, its size, whether it is used), and its conversion
// into the VDS_DRIVE_EXTENT array that VDS receives.
#pragma once

#include "platform/vds/VdsTypes.h"

#include <vector>

struct Extent {
    enum GuidIndex { EXTENT_GUID_DRIVE = 0, EXTENT_GUID_LUN = 1, EXTENT_GUID_PLEX = 2 };

    VDS_OBJECT_ID m_ids[3]{};
    ULONGLONG m_ullSize = 0;
    bool m_bUsed = false;
};

// The records as one task-memory array (null for none), owned by the caller afterwards.
// E_INVALIDARG for null outputs, E_OUTOFMEMORY when the array cannot be had.
HRESULT ConvertExtentVector(const std::vector<Extent>& extents, VDS_DRIVE_EXTENT** ppExtentArray,
                            LONG* plNumberOfExtents);
