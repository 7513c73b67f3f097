#pragma once

#include "cim/value/CIMObject.h"
#include "user_agent/objects/CIM_AssociationSpec.h"
#include "user_agent/objects/CIM_ListContainer.h"

#include <cstdint>
#include <vector>

namespace Merrow::UserAgent {

class MerrowProfileInterface;

// Any number of CIM instances, cached: by enumeration of the result class (kind 1, an empty
// anchor path or no steps) or by an association walk from the anchor (associatorNames for
// every step but the last, associators for the last; every object of the last step is kept).
// An empty answer is a valid, empty list. Indications about the result class or a class of
// the steps: a creation refetches, a deletion removes the entry with that path, a
// modification replaces it. CIM errors are traced and rethrown.
// Constructors as CIM_Object; threads and locks as CIM_ListContainer.
class CIM_ObjectList : public CIM_ListContainer<cim::CIMObject> {
public:
    using CIM_ListContainer::CIM_ListContainer;

    // Fetches when needed, then copies the objects.
    std::vector<cim::CIMObject> GetObjects() { return GetItems(); }
    // Fetches when needed, then shows each object to `visit`, under the list's lock.
    void ForEachObject(const std::function<void(const cim::CIMObject&)>& visit) {
        ForEachItem(visit);
    }
};

} // namespace Merrow::UserAgent
