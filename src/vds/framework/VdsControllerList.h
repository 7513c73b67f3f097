// A subsystem's controllers, in GUID order. The list has a lock kind of its own (275).
// Controller is COrvController in the program; it answers for its ports with
// GetSubObject (VdsSubObjectHolder).
#pragma once

#include "vds/framework/CVdsObjectListBase.h"

class COrvController;

template <class Controller>
class VdsControllerListOf
    : public CVdsObjectListBase<Controller, IVdsController, VDS_OT_CONTROLLER> {
public:
    using CVdsObjectListBase<Controller, IVdsController, VDS_OT_CONTROLLER>::CVdsObjectListBase;
};

using VdsControllerList = VdsControllerListOf<COrvController>;
