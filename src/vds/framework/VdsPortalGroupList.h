// A target's portal groups, in GUID order.
#pragma once

#include "vds/framework/CVdsObjectListBase.h"

class COrvPortalGroup;

template <class PortalGroup>
using VdsPortalGroupListOf =
    CVdsObjectListBase<PortalGroup, IVdsIscsiPortalGroup, VDS_OT_PORTAL_GROUP>;

using VdsPortalGroupList = VdsPortalGroupListOf<COrvPortalGroup>;
