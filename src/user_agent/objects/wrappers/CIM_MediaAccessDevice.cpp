#include "user_agent/objects/wrappers/CIM_MediaAccessDevice.h"

namespace Merrow::UserAgent {

MerrowReturnValue CIM_MediaAccessDevice::Get_MaxMediaSize(std::uint64_t& value) {
    return GetTypedProperty("MaxMediaSize", value);
}

} // namespace Merrow::UserAgent
