#include "user_agent/objects/CIM_ObjectList.h"

#include <utility>

namespace Merrow::UserAgent {

CIM_ObjectList::CIM_ObjectList(const MerrowProfileInterface* containingProfile,
                               const cim::CIMName& resultClassName, std::uint8_t flag)
    : CIM_ListContainer(containingProfile, CIM_ContainerAnchor(resultClassName), flag) {}

CIM_ObjectList::CIM_ObjectList(const MerrowProfileInterface* containingProfile,
                               const cim::CIMObjectPath* anchorPath,
                               CIM_AssociationSpecList associationSpec)
    : CIM_ListContainer(containingProfile,
                        CIM_ContainerAnchor(anchorPath, std::move(associationSpec))) {}

CIM_ObjectList::CIM_ObjectList(const MerrowProfileInterface* containingProfile,
                               cim::CIMObjectPath anchorPath,
                               CIM_AssociationSpecList associationSpec)
    : CIM_ListContainer(containingProfile,
                        CIM_ContainerAnchor(std::move(anchorPath), std::move(associationSpec))) {}

CIM_ObjectList::CIM_ObjectList(const MerrowProfileInterface* containingProfile,
                               CIM_ObjectContainerInterface& source,
                               CIM_AssociationSpecList associationSpec)
    : CIM_ListContainer(containingProfile,
                        CIM_ContainerAnchor(source, std::move(associationSpec))) {}

} // namespace Merrow::UserAgent
