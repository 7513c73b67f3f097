#pragma once

#include "cim/value/CIMName.h"

#include <vector>

namespace Merrow::UserAgent {

// One step of an association walk: follow `associationClass` and keep the objects of
// `resultClass` at its other end.
struct CIM_AssociationSpec {
    cim::CIMName associationClass;
    cim::CIMName resultClass;
};

using CIM_AssociationSpecList = std::vector<CIM_AssociationSpec>;

} // namespace Merrow::UserAgent
