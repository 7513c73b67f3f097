#pragma once

#include "user_agent/objects/wrappers/CIM_StorageExtent.h"
#include "user_agent/objects/wrappers/CIM_WrapperConstructors.h"

#include <cstdint>

namespace Merrow::UserAgent {

// The CIM class "Merrow_LeafExtent". The part of a volume that lies on one disk.
class Merrow_LeafExtent : public CIM_StorageExtent {
public:
    ORV_CIM_WRAPPER_CONSTRUCTORS(Merrow_LeafExtent, CIM_StorageExtent)

    MerrowReturnValue Get_Size(std::uint64_t& value);
};

} // namespace Merrow::UserAgent
