// CIMRequest: one CIM operation request (intrinsic or extrinsic method call).
#pragma once

#include <string>
#include <vector>

#include "cim/value/CIMName.h"
#include "cim/value/CIMNamespaceName.h"
#include "cim/value/CIMObjectPath.h"
#include "cim/value/CIMParamValue.h"

namespace cim {

/// An operation request as MESSAGE/SIMPLEREQ carries it.
///
/// Intrinsic (IMETHODCALL): `methodName` is the operation ("GetInstance",
/// "EnumerateInstances", ...), `nameSpace` the target namespace and `params` the
/// IPARAMVALUEs. Intrinsic parameters are written as DSP0200 defines them:
///   - ClassName, AssocClass, ResultClass: CLASSNAME (value: a string or a class path);
///   - InstanceName: INSTANCENAME (value: an instance path);
///   - ObjectName: INSTANCENAME for a path with keys, CLASSNAME otherwise;
///   - NewInstance: INSTANCE (value: an instance);
///   - ModifiedInstance: VALUE.NAMEDINSTANCE (value: an instance whose path is set);
///   - LocalOnly, DeepInheritance, IncludeQualifiers, IncludeClassOrigin: boolean VALUE;
///   - PropertyList: VALUE.ARRAY of names (see CIMPropertyList::toValue; leave a null list
///     out of `params`);
///   - anything else by its value: VALUE, VALUE.ARRAY, VALUE.REFERENCE, INSTANCE (or
///     VALUE.NAMEDINSTANCE when the instance has a path).
/// Decoding gives the same shapes back: CLASSNAME of the class-name parameters as a string,
/// other CLASSNAMEs as class paths, INSTANCENAME as a reference, the boolean parameters as
/// booleans, other VALUEs as strings (untyped, see CIMParamValue::isTyped).
///
/// Extrinsic (METHODCALL): `methodName` is the method, `target` the class or instance path
/// it is invoked on (without host) and `params` the PARAMVALUEs, written with PARAMTYPE and
/// EmbeddedObject as their values require. An embedded instance parameter travels as an
/// escaped INSTANCE in VALUE. `nameSpace` is written as the LOCALNAMESPACEPATH; when it is
/// null the target's namespace is used. Decoding sets both.
struct CIMRequest {
    std::string messageId;
    bool extrinsic = false;
    CIMName methodName;
    CIMNamespaceName nameSpace;
    CIMObjectPath target;
    std::vector<CIMParamValue> params;

    /// The parameter of that name (case-insensitive), or nullptr.
    const CIMParamValue* findParam(const CIMName& name) const noexcept {
        for (const CIMParamValue& param : params) {
            if (param.getParameterName() == name) {
                return &param;
            }
        }
        return nullptr;
    }

    friend bool operator==(const CIMRequest&, const CIMRequest&) = default;
};

} // namespace cim
