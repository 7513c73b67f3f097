// A LUN's plexes, in GUID order.
#pragma once

#include "vds/framework/CVdsObjectListBase.h"

class COrvLunPlex;

template <class LunPlex>
using VdsLunPlexListOf = CVdsObjectListBase<LunPlex, IVdsLunPlex, VDS_OT_LUN_PLEX>;

using VdsLunPlexList = VdsLunPlexListOf<COrvLunPlex>;
