#pragma once

#include "cim/value/CIMObjectPath.h"

namespace Merrow::UserAgent {

// True when both paths name the same object. References from the array may carry a host or
// namespace that our own copies lack (or another spelling of them), so `second` is given the
// host and namespace of `first` before the two are compared with identical().
bool IsSameObjectPath(const cim::CIMObjectPath& first, const cim::CIMObjectPath& second);

} // namespace Merrow::UserAgent
