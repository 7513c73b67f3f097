// A controller's ports, in GUID order.
#pragma once

#include "vds/framework/CVdsObjectListBase.h"

class COrvControllerPort;

template <class Port>
using VdsControllerPortListOf = CVdsObjectListBase<Port, IVdsControllerPort, VDS_OT_PORT>;

using VdsControllerPortList = VdsControllerPortListOf<COrvControllerPort>;
