// A subsystem's drives, in ascending slot number (as signed numbers); a drive whose slot
// cannot be read counts as slot -1. Of drives with one slot number only the first in GUID
// order is listed.
//
// Drive is COrvDrive in the program; it implements VdsOrderKeySource<int>.
#pragma once

#include "vds/framework/CVdsObjectListBase.h"

class COrvDrive;

template <class Drive>
class VdsDriveListOf : public CVdsObjectListBase<Drive, IVdsDrive, VDS_OT_DRIVE> {
public:
    using CVdsObjectListBase<Drive, IVdsDrive, VDS_OT_DRIVE>::CVdsObjectListBase;

    HRESULT GetGuidVector(std::vector<VDS_OBJECT_ID>& out) override
    {
        static constexpr VdsOrderRule<int> kRule{-1, false, false, false,
                                                 Merrow::Trace::TC_VDS_OBJECT_BASE};
        return this->OrderedGuidVector(this, kRule, out);
    }
};

using VdsDriveList = VdsDriveListOf<COrvDrive>;
