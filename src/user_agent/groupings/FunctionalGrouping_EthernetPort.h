#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// One physical Ethernet port: the link aggregate it belongs to and the systems that hold it.
// Containers and accessors are listed in FunctionalGrouping_EthernetPort.def.
class FunctionalGrouping_EthernetPort : public MerrowProfile {
public:
    // Actions (FunctionalGrouping_EthernetPort_Custom.cpp).

    // Adds this port to the link aggregate `lag`.
    MerrowReturnValue SetLAG(const cim::CIMObjectPath& lag);
    // Takes this port out of the link aggregate it belongs to.
    MerrowReturnValue RemoveFromLAG();
    MerrowReturnValue Enable();
    MerrowReturnValue Disable();

#define MERROW_PROFILE_CLASS FunctionalGrouping_EthernetPort
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_EthernetPort.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"

private:
    // "RequestStateChange" on the port itself.
    MerrowReturnValue RequestState(std::uint16_t state);
};

} // namespace Merrow::UserAgent
