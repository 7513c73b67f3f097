// A subsystem's LUNs, in ascending durable name of their volumes (byte order); a name that
// cannot be read counts as "Unknown", and a LUN without a volume service object is left
// out. Of LUNs with one name only the first in GUID order is listed. Each LUN is locked
// while its name is read.
//
// Lun is COrvLun in the program; it implements VdsOrderKeySource<std::string> and
// answers for its plexes with GetSubObject (VdsSubObjectHolder).
#pragma once

#include "vds/framework/CVdsObjectListBase.h"

class COrvLun;

template <class Lun> class VdsLunListOf : public CVdsObjectListBase<Lun, IVdsLun, VDS_OT_LUN> {
public:
    using CVdsObjectListBase<Lun, IVdsLun, VDS_OT_LUN>::CVdsObjectListBase;

    HRESULT GetGuidVector(std::vector<VDS_OBJECT_ID>& out) override
    {
        static const VdsOrderRule<std::string> kRule{"Unknown", true, true, false,
                                                     Merrow::Trace::TC_VDS_LUN};
        return this->OrderedGuidVector(this, kRule, out);
    }
};

using VdsLunList = VdsLunListOf<COrvLun>;
