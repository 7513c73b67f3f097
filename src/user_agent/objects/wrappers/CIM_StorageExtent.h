#pragma once

#include "user_agent/objects/wrappers/CIM_LogicalDevice.h"
#include "user_agent/objects/wrappers/CIM_WrapperConstructors.h"

#include <cstdint>

namespace Merrow::UserAgent {

// The CIM class "CIM_StorageExtent". Blocks on the array: volumes and the extents they are made of.
class CIM_StorageExtent : public CIM_LogicalDevice {
public:
    ORV_CIM_WRAPPER_CONSTRUCTORS(CIM_StorageExtent, CIM_LogicalDevice)

    MerrowReturnValue Get_BlockSize(std::uint64_t& value);
    MerrowReturnValue Get_NumberOfBlocks(std::uint64_t& value);
    MerrowReturnValue Get_NumberOfAvailableBlocks(std::uint64_t& value);
    MerrowReturnValue Get_DataRedundancy(std::uint16_t& value);
    MerrowReturnValue Get_PackageRedundancy(std::uint16_t& value);
    MerrowReturnValue Get_NoSinglePointOfFailure(bool& value);
    MerrowReturnValue Get_IsBasedOnUnderlyingRedundancy(bool& value);
    MerrowReturnValue Get_ExtentStripeLength(std::uint16_t& value);
};

} // namespace Merrow::UserAgent
