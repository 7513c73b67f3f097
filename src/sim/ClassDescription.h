#pragma once

// GetClass answers of the simulated array, written as CIM-XML. The array keeps no class
// definitions of its own, so a class is described by what it does have: the properties
// its instances carry (from the first instance, values left out) and the methods of the
// method table with their in-parameters, which is what clients such as wbemcli read to
// type the arguments of a method call. The value model has no place for methods, so this
// writes the CLASS element with the codec's writer and encoder directly.

#include "sim/ClassRegistry.h"
#include "sim/InstanceStore.h"
#include "sim/MethodTable.h"

#include "cim/value/CIMObjectPath.h"

#include <string>
#include <vector>

namespace Merrow::Sim {

struct MethodDescription {
    std::string name;
    std::vector<ParameterSpec> in;
};

class ClassDescription {
public:
    // The whole GetClass response message for a class of the array.
    static std::string getClassResponse(const std::string& messageId, const ClassInfo& cls, const InstanceStore& store);
    // The same for any class: its properties are those of `sample` (when given).
    static std::string getClassResponse(const std::string& messageId, const std::string& className,
                                        const ClassInfo* superclass, const cim::CIMInstance* sample,
                                        const std::vector<MethodDescription>& methods);
    // The methods of the class and its superclasses, nearest first, each name once.
    static std::vector<MethodDescription> methodsOf(const ClassInfo& cls);
    // The classes directly below `parent` (all below it when `deep`), or the roots when
    // there is no parent, as EnumerateClassNames answers them.
    static std::vector<cim::CIMObjectPath> classNames(const std::string& nameSpace, const ClassInfo* parent, bool deep);
};

} // namespace Merrow::Sim
