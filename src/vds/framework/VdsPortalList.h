// A subsystem's iSCSI portals, in ascending IP address text (byte order, so "10.0.0.10"
// comes before "10.0.0.2"); an address that cannot be read counts as "0.0.0.0". Of
// portals with one address only the first in GUID order is listed.
//
// Portal is COrvPortal in the program; it implements VdsOrderKeySource<std::string>.
#pragma once

#include "vds/framework/CVdsObjectListBase.h"

class COrvPortal;

template <class Portal>
class VdsPortalListOf : public CVdsObjectListBase<Portal, IVdsIscsiPortal, VDS_OT_PORTAL> {
public:
    using CVdsObjectListBase<Portal, IVdsIscsiPortal, VDS_OT_PORTAL>::CVdsObjectListBase;

    HRESULT GetGuidVector(std::vector<VDS_OBJECT_ID>& out) override
    {
        static const VdsOrderRule<std::string> kRule{"0.0.0.0", false, false, false,
                                                     Merrow::Trace::TC_VDS_OBJECT_BASE};
        return this->OrderedGuidVector(this, kRule, out);
    }
};

using VdsPortalList = VdsPortalListOf<COrvPortal>;
