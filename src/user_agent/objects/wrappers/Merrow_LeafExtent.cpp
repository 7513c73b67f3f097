#include "user_agent/objects/wrappers/Merrow_LeafExtent.h"

namespace Merrow::UserAgent {

MerrowReturnValue Merrow_LeafExtent::Get_Size(std::uint64_t& value) {
    return GetTypedProperty("Size", value);
}

} // namespace Merrow::UserAgent
