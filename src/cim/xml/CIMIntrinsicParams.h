// How DSP0200 intrinsic method parameters are written, by parameter name.
#pragma once

#include "cim/value/CIMName.h"

namespace cim::detail {

/// The element an IPARAMVALUE of a given name must use.
enum class IParamForm {
    ClassName,     ///< CLASSNAME: ClassName, AssocClass, ResultClass
    InstanceName,  ///< INSTANCENAME: InstanceName
    ObjectName,    ///< CLASSNAME or INSTANCENAME: ObjectName
    Instance,      ///< INSTANCE: NewInstance
    NamedInstance, ///< VALUE.NAMEDINSTANCE: ModifiedInstance
    Boolean,       ///< VALUE TRUE/FALSE: LocalOnly, DeepInheritance, IncludeQualifiers, ...
    Generic,       ///< by the value: PropertyList, Role, ResultRole, and anything else
};

IParamForm intrinsicParamForm(const CIMName& name) noexcept;

} // namespace cim::detail
