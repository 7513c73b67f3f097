#pragma once

#include "cim/value/CIMObjectPath.h"
#include "user_agent/objects/CIM_AssociationSpec.h"
#include "user_agent/objects/CIM_ListContainer.h"

#include <cstdint>
#include <vector>

namespace Merrow::UserAgent {

class MerrowProfileInterface;

// Any number of object paths, cached: by enumeration of the result class (kind 1, an empty
// anchor path or no steps) or by an association walk from the anchor (associatorNames for
// every step, the last included; every path of the last step is kept).
// An empty answer is a valid, empty list. Indications about the result class or a class of
// the steps: a creation refetches, a deletion removes the entry with that path, a
// modification replaces it. CIM errors are traced and rethrown.
// Constructors as CIM_Object; threads and locks as CIM_ListContainer.
class CIM_ObjectPathList : public CIM_ListContainer<cim::CIMObjectPath> {
public:
    CIM_ObjectPathList(const MerrowProfileInterface* containingProfile,
                       const cim::CIMName& resultClassName, std::uint8_t flag = 0);
    CIM_ObjectPathList(const MerrowProfileInterface* containingProfile,
                       const cim::CIMObjectPath* anchorPath,
                       CIM_AssociationSpecList associationSpec);
    CIM_ObjectPathList(const MerrowProfileInterface* containingProfile,
                       cim::CIMObjectPath anchorPath, CIM_AssociationSpecList associationSpec);
    CIM_ObjectPathList(const MerrowProfileInterface* containingProfile,
                       CIM_ObjectContainerInterface& source,
                       CIM_AssociationSpecList associationSpec);

    // Fetches when needed, then copies the paths.
    std::vector<cim::CIMObjectPath> GetObjectPaths() { return GetItems(); }
};

} // namespace Merrow::UserAgent
