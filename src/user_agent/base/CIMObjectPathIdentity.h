#pragma once

#include "cim/value/CIMObjectPath.h"

#include <cstddef>

namespace Merrow::UserAgent {

// True when both paths name the same object. References from the array may carry a host or
// namespace that our own copies lack (or another spelling of them), so `second` is given the
// host and namespace of `first` before the two are compared with identical().
bool IsSameObjectPath(const cim::CIMObjectPath& first, const cim::CIMObjectPath& second);

// A hash that is equal for any two paths IsSameObjectPath calls the same (it leaves out the
// host and namespace, the case of names and the values it cannot spell one way), so long
// lists can be compared by bucket instead of every entry against every other.
std::size_t ObjectPathIdentityHash(const cim::CIMObjectPath& path);

// True when a key of the path is a reference: the path names an association.
bool IsAssociationPath(const cim::CIMObjectPath& path);

} // namespace Merrow::UserAgent
