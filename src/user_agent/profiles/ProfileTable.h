#pragma once

// The table form shared by every profile and grouping. A profile's containers and accessors
// are listed once, in a .def file beside its header, with these entries (in container
// order, root first):
//
//   PROFILE_ROOT(Member, CIMClass)                  the root object (the root path itself)
//   PROFILE_OBJECT(Member, CIMClass, Anchor, Step...) one object at the end of the steps
//   PROFILE_ENUM(Member, CIMClass)                  the array's one instance of the class
//   PROFILE_LIST(List, Anchor, Step...)             every object at the end of the steps
//   PROFILE_LIST_ENUM(List, CIMClass)               every instance of the class
//   PROFILE_CLASS(CIMClass)                         one more class to subscribe to
//   PROFILE_GET(Member, Property, Type)             Get_Member_Property(Type&)
//   PROFILE_GETSET(Member, Property, Type)          the getter and Set_Member_Property(const Type&)
//
// Anchor is FROM_ROOT (the root path, followed when it changes) or FROM(Member) (the path of
// an earlier container); a step is STEP(AssociationClass, ResultClass). Member m_Member
// holds the container; a list also gets Get_List_List(std::vector<cim::CIMObject>&), and
// Get_List_Generation and Get_List_Count (std::uint64_t&): its membership generation
// (CIM_ListContainer::GetMembershipGeneration) and its size, without copying objects.
//
// The header expands the table inside the class body:
//     #define MERROW_PROFILE_CLASS Profile_Disk
//     #define MERROW_PROFILE_TABLE "user_agent/profiles/Profile_Disk.def"
//     #include "user_agent/profiles/ProfileTableDeclarations.inc"
// and the source at namespace scope, which also defines the constructor:
//     #define MERROW_PROFILE_CLASS Profile_Disk
//     #define MERROW_PROFILE_TABLE "user_agent/profiles/Profile_Disk.def"
//     #include "user_agent/profiles/ProfileTableDefinitions.inc"

#include "cim/value/CIMName.h"
#include "user_agent/objects/CIM_AssociationSpec.h"
#include "user_agent/objects/CIM_Object.h"
#include "user_agent/objects/CIM_ObjectList.h"
#include "user_agent/objects/CIM_ObjectSubclasses.h"
#include "user_agent/profiles/MerrowProfile.h"

#include <cstdint>
#include <type_traits>

#define MERROW_PROFILE_STRINGIFY(text) #text
#define MERROW_PROFILE_CLASS_TEXT(name) MERROW_PROFILE_STRINGIFY(name)

// The container type of a single object of a CIM class: its typed wrapper, so that a
// grouping's actions reach the class's Exec methods through the member itself.
#define MERROW_OBJECT_TYPE(cimClass) ::Merrow::UserAgent::cimClass

#define STEP(associationClass, resultClass)                                                   \
    ::Merrow::UserAgent::CIM_AssociationSpec {                                                \
        ::cim::CIMName(#associationClass), ::cim::CIMName(#resultClass)                       \
    }
#define FROM_ROOT RootPathAnchor()
#define FROM(member) m_##member

namespace Merrow::UserAgent {

// An enumerated singleton of the container type: typed wrappers name their class
// themselves, the plain container is told it.
template <typename Container>
Container MakeEnumeratedObject(const MerrowProfileInterface* profile, const char* className) {
    if constexpr (std::is_constructible_v<Container, const MerrowProfileInterface*, std::uint8_t>)
        return Container(profile, std::uint8_t{0});
    else
        return Container(profile, cim::CIMName(className));
}

} // namespace Merrow::UserAgent
