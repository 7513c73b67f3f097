// A subsystem's iSCSI targets, in ascending durable name (byte order); a name that cannot
// be read counts as "Unknown", and a target without a service object is left out. Of
// targets with one name only the first in GUID order is listed. Each target is locked
// while its name is read.
//
// Target is COrvTarget in the program; it implements VdsOrderKeySource<std::string> and
// answers for its portal groups with GetSubObject (VdsSubObjectHolder).
#pragma once

#include "vds/framework/CVdsObjectListBase.h"

class COrvTarget;

template <class Target>
class VdsTargetListOf : public CVdsObjectListBase<Target, IVdsIscsiTarget, VDS_OT_TARGET> {
public:
    using CVdsObjectListBase<Target, IVdsIscsiTarget, VDS_OT_TARGET>::CVdsObjectListBase;

    HRESULT GetGuidVector(std::vector<VDS_OBJECT_ID>& out) override
    {
        static const VdsOrderRule<std::string> kRule{"Unknown", true, true, true,
                                                     Merrow::Trace::TC_VDS_TARGET};
        return this->OrderedGuidVector(this, kRule, out);
    }
};

using VdsTargetList = VdsTargetListOf<COrvTarget>;
