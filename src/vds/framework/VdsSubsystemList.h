// The provider's list of subsystems, one per managed array. A subsystem also answers for
// the objects below it, so an id the list does not hold is looked for in each subsystem
// (CVdsObjectListBase::FindInMember).
//
// SubSystem is COrvSubSystem in the program; it provides
//     HRESULT GetSubObject(VDS_OBJECT_ID id, VDS_OBJECT_TYPE type, IUnknown** ppUnk);
#pragma once

#include "vds/framework/CVdsObjectListBase.h"

class COrvSubSystem;

template <class SubSystem>
class VdsSubsystemListOf
    : public CVdsObjectListBase<SubSystem, IVdsSubSystem, VDS_OT_SUB_SYSTEM> {
    using Base = CVdsObjectListBase<SubSystem, IVdsSubSystem, VDS_OT_SUB_SYSTEM>;

public:
    using Base::Base;

    // A new subsystem with a new GUID, initialised with the list's provider GUID.
    // E_OUTOFMEMORY when the object cannot be made; *pNewId stays null on any failure.
    HRESULT AddListObject(VDS_OBJECT_ID* pNewId) { return this->CreateListObject(pNewId); }
};

using VdsSubsystemList = VdsSubsystemListOf<COrvSubSystem>;
