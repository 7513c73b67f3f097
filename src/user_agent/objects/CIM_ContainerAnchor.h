#pragma once

#include "cim/value/CIMName.h"
#include "cim/value/CIMObjectPath.h"
#include "user_agent/objects/CIM_AssociationSpec.h"
#include "user_agent/objects/CIM_ObjectContainerInterface.h"

#include <string>
#include <string_view>
#include <vector>

namespace Merrow::UserAgent {

class MerrowProfileInterface;
class UACIMClient;

// Where a container's data lives on the array: the anchor (nothing, a path owned elsewhere,
// an own path or another container) and the association steps from it. Shared by the three
// container kinds; the containers add what they keep of the last step.
//
// Threads: no lock of its own; used under the owning container's lock.
class CIM_ContainerAnchor {
public:
    using Kind = CIM_ObjectContainerInterface::AnchorKind;

    explicit CIM_ContainerAnchor(const cim::CIMName& resultClassName);
    CIM_ContainerAnchor(const cim::CIMObjectPath* anchorPath, CIM_AssociationSpecList steps);
    CIM_ContainerAnchor(cim::CIMObjectPath anchorPath, CIM_AssociationSpecList steps);
    CIM_ContainerAnchor(CIM_ObjectContainerInterface& source, CIM_AssociationSpecList steps);

    Kind GetKind() const { return m_kind; }
    const CIM_AssociationSpecList& GetSteps() const { return m_steps; }
    bool HasPathReference() const { return m_pathReference != nullptr; }
    // The last step's result class; without steps the class of the anchor.
    cim::CIMName GetResultClassName() const;
    // The path the walk starts from (the source container may fetch to give it); empty for
    // an enumeration or an anchor whose path is still empty.
    cim::CIMObjectPath GetStartPath() const;
    // The start path without a copy, for the anchors that hold it (an own or a referenced
    // path); null for the others.
    const cim::CIMObjectPath* HeldStartPath() const;
    // True when `className` is the result class or an association or result class of a step.
    bool Concerns(std::string_view className) const;

    // Follows every step but the last with associatorNames and answers the paths from which
    // the last step is to be taken; `passed`, when given, receives every path those steps
    // found.
    std::vector<cim::CIMObjectPath>
    WalkToLastStep(UACIMClient& client, const cim::CIMObjectPath& start,
                   std::vector<cim::CIMObjectPath>* passed = nullptr) const;

    // The constructor trace common to every container kind.
    void TraceConstruction(const char* what, std::uint32_t instanceId,
                           const MerrowProfileInterface* containingProfile) const;

private:
    const cim::CIMName& resultClassName() const;

    Kind m_kind;
    cim::CIMObjectPath m_ownPath;
    const cim::CIMObjectPath* m_pathReference = nullptr;
    CIM_ObjectContainerInterface* m_source = nullptr;
    CIM_AssociationSpecList m_steps;
    cim::CIMName m_resultClassName;
};

// Traces one association call of a walk before it is made.
void TraceAssociationCall(const char* call, const cim::CIMName& className,
                          const CIM_AssociationSpec& step, const cim::CIMObjectPath& path);

} // namespace Merrow::UserAgent
