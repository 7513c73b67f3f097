// CIMResponse: the answer to one CIM operation request.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cim/xml/CIMError.h"
#include "cim/value/CIMInstance.h"
#include "cim/value/CIMName.h"
#include "cim/value/CIMObject.h"
#include "cim/value/CIMObjectPath.h"
#include "cim/value/CIMParamValue.h"
#include "cim/value/CIMValue.h"

namespace cim {

/// What an IRETURNVALUE holds, named after the element it is a list of.
enum class CIMReturnKind {
    Nothing,              ///< no IRETURNVALUE, or an empty one (DeleteInstance, ModifyInstance)
    Instances,            ///< INSTANCE* (GetInstance)                               -> instances
    NamedInstances,       ///< VALUE.NAMEDINSTANCE* (EnumerateInstances)             -> instances
    InstancesWithPath,    ///< VALUE.INSTANCEWITHPATH*                               -> instances
    Objects,              ///< VALUE.OBJECT*                                          -> objects
    ObjectsWithPath,      ///< VALUE.OBJECTWITHPATH* (Associators, References)        -> objects
    ObjectsWithLocalPath, ///< VALUE.OBJECTWITHLOCALPATH*                             -> objects
    Classes,              ///< CLASS* (GetClass, EnumerateClasses)                    -> objects
    InstanceNames,        ///< INSTANCENAME* (EnumerateInstanceNames, CreateInstance) -> paths
    InstancePaths,        ///< INSTANCEPATH*                                          -> paths
    ObjectPaths,          ///< OBJECTPATH* (AssociatorNames, ReferenceNames)          -> paths
    ClassNames,           ///< CLASSNAME* (EnumerateClassNames)                       -> paths
    Value,                ///< VALUE, VALUE.ARRAY or VALUE.REFERENCE (GetProperty)    -> value
};

/// An operation response as MESSAGE/SIMPLERSP carries it. When `error` is set the rest
/// is empty.
///
/// Intrinsic (IMETHODRESPONSE): `kind` says which of `instances`, `objects`, `paths` and
/// `value` holds the IRETURNVALUE. Instances and objects keep the path their wrapper gave
/// (INSTANCENAME: class and keys; INSTANCEPATH and OBJECTPATH: also host and namespace).
/// Encoding NamedInstances, InstancesWithPath and ObjectsWithPath takes the paths from the
/// instances; the last two need a namespace in them. An untyped VALUE reads as a string.
///
/// Extrinsic (METHODRESPONSE): `returnValue` (from RETURNVALUE, always written; null when
/// absent) and `outParams` (PARAMVALUE*). A RETURNVALUE without PARAMTYPE reads as a
/// string; see CIMValue::fromText.
struct CIMResponse {
    std::string messageId;
    bool extrinsic = false;
    CIMName methodName;
    std::optional<CIMError> error;

    CIMReturnKind kind = CIMReturnKind::Nothing;
    std::vector<CIMInstance> instances;
    std::vector<CIMObject> objects;
    std::vector<CIMObjectPath> paths;
    CIMValue value;

    CIMValue returnValue;
    std::vector<CIMParamValue> outParams;

    friend bool operator==(const CIMResponse&, const CIMResponse&) = default;
};

} // namespace cim
