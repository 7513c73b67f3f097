#pragma once

#include "cim/value/CIMObjectPath.h"
#include "user_agent/base/UALockableObject.h"
#include "user_agent/objects/CIM_AssociationSpec.h"
#include "user_agent/objects/CIM_ObjectContainerInterface.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Merrow::UserAgent {

class MerrowProfileInterface;

// Any number of object paths, cached (associatorNames for every step, the last included): by enumeration of the result class (kind 1, an empty
// anchor path or no steps) or by an association walk from the anchor (every object of the
// last step is kept). An empty answer is a valid, empty list. Indications about the result
// class or a class of the steps: a creation refetches, a deletion removes the entry with that
// path, a modification replaces it. CIM errors are traced and rethrown.
// Constructors and threads as CIM_Object.
class CIM_ObjectPathList : public CIM_ObjectContainerInterface, public UALockableObject {
public:
    CIM_ObjectPathList(const MerrowProfileInterface* containingProfile,
                   const cim::CIMName& resultClassName, std::uint8_t flag = 0);
    CIM_ObjectPathList(const MerrowProfileInterface* containingProfile,
                   const cim::CIMObjectPath* anchorPath, CIM_AssociationSpecList associationSpec);
    CIM_ObjectPathList(const MerrowProfileInterface* containingProfile, cim::CIMObjectPath anchorPath,
                   CIM_AssociationSpecList associationSpec);
    CIM_ObjectPathList(const MerrowProfileInterface* containingProfile,
                   CIM_ObjectContainerInterface& source, CIM_AssociationSpecList associationSpec);
    ~CIM_ObjectPathList() override;

    // CIM_ObjectContainerInterface as CIM_Object; GetCIMObjectPath answers the anchor path.
    void SetConnection(const CorvaneConnectionWeakRef& connection) override;
    std::uint32_t UpdateObjectContainerWithIndication(const UAIndication& indication) override;
    cim::CIMName GetCIMClassName() const override;
    std::string GetCIMNamespace() const override;
    void FetchData(bool force) override;
    bool IsObjectContainer() const override { return false; }
    bool InvalidateCache() override;
    bool InvalidateCacheIfPath(const cim::CIMObjectPath& path) override;
    cim::CIMObjectPath GetCIMObjectPath() override;
    cim::CIMObjectPath GetAnchorPath() const override;
    void UpdateCimServerWithData() override {}

    // Fetches when needed, then copies the paths.
    std::vector<cim::CIMObjectPath> GetObjectPaths();
    // True when the path is one of the held objects' (host and namespace ignored).
    bool HoldsPath(const cim::CIMObjectPath& path) const;
};

} // namespace Merrow::UserAgent
