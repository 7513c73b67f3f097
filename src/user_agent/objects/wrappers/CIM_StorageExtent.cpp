#include "user_agent/objects/wrappers/CIM_StorageExtent.h"

namespace Merrow::UserAgent {

MerrowReturnValue CIM_StorageExtent::Get_BlockSize(std::uint64_t& value) {
    return GetTypedProperty("BlockSize", value);
}

MerrowReturnValue CIM_StorageExtent::Get_NumberOfBlocks(std::uint64_t& value) {
    return GetTypedProperty("NumberOfBlocks", value);
}

MerrowReturnValue CIM_StorageExtent::Get_NumberOfAvailableBlocks(std::uint64_t& value) {
    return GetTypedProperty("NumberOfAvailableBlocks", value);
}

MerrowReturnValue CIM_StorageExtent::Get_DataRedundancy(std::uint16_t& value) {
    return GetTypedProperty("DataRedundancy", value);
}

MerrowReturnValue CIM_StorageExtent::Get_PackageRedundancy(std::uint16_t& value) {
    return GetTypedProperty("PackageRedundancy", value);
}

MerrowReturnValue CIM_StorageExtent::Get_NoSinglePointOfFailure(bool& value) {
    return GetTypedProperty("NoSinglePointOfFailure", value);
}

MerrowReturnValue CIM_StorageExtent::Get_IsBasedOnUnderlyingRedundancy(bool& value) {
    return GetTypedProperty("IsBasedOnUnderlyingRedundancy", value);
}

MerrowReturnValue CIM_StorageExtent::Get_ExtentStripeLength(std::uint16_t& value) {
    return GetTypedProperty("ExtentStripeLength", value);
}

} // namespace Merrow::UserAgent
