#pragma once

#include "cim/value/CIMName.h"
#include "cim/value/CIMObjectPath.h"
#include "user_agent/objects/CIM_AssociationSpec.h"
#include "user_agent/objects/CIM_Object.h"

#include <cstdint>
#include <utility>

// The constructors every typed wrapper has: those of CIM_Object, where the enumeration one
// enumerates the wrapper's own class, whose name on the wire is the C++ class name. The
// protected one lets a subclass pass its own class name down to CIM_Object.
#define ORV_CIM_WRAPPER_CONSTRUCTORS(Class, Base)                                                  \
    explicit Class(const MerrowProfileInterface* containingProfile, std::uint8_t flag = 0)         \
        : Base(containingProfile, ::cim::CIMName(#Class), flag) {}                                 \
    Class(const MerrowProfileInterface* containingProfile, const ::cim::CIMObjectPath* anchorPath, \
          CIM_AssociationSpecList associationSpec)                                                 \
        : Base(containingProfile, anchorPath, std::move(associationSpec)) {}                       \
    Class(const MerrowProfileInterface* containingProfile, ::cim::CIMObjectPath anchorPath,        \
          CIM_AssociationSpecList associationSpec)                                                 \
        : Base(containingProfile, std::move(anchorPath), std::move(associationSpec)) {}            \
    Class(const MerrowProfileInterface* containingProfile, CIM_ObjectContainerInterface& source,   \
          CIM_AssociationSpecList associationSpec)                                                 \
        : Base(containingProfile, source, std::move(associationSpec)) {}                           \
                                                                                                   \
protected:                                                                                         \
    Class(const MerrowProfileInterface* containingProfile, const ::cim::CIMName& resultClassName,  \
          std::uint8_t flag)                                                                       \
        : Base(containingProfile, resultClassName, flag) {}                                        \
                                                                                                   \
public:
