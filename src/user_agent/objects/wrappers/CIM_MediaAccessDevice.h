#pragma once

#include "user_agent/objects/wrappers/CIM_LogicalDevice.h"
#include "user_agent/objects/wrappers/CIM_WrapperConstructors.h"

#include <cstdint>

namespace Merrow::UserAgent {

// The CIM class "CIM_MediaAccessDevice". A device that reads and writes media (the disks).
class CIM_MediaAccessDevice : public CIM_LogicalDevice {
public:
    ORV_CIM_WRAPPER_CONSTRUCTORS(CIM_MediaAccessDevice, CIM_LogicalDevice)

    MerrowReturnValue Get_MaxMediaSize(std::uint64_t& value);
};

} // namespace Merrow::UserAgent
