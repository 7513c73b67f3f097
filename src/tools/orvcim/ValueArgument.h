#pragma once

#include "cim/value/CIMParamValue.h"
#include "cim/value/CIMProperty.h"
#include "cim/value/CIMType.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvcim {

// One "name=value" argument of ci, mi and cm:
//
//   Size=1073741824            untyped: a method parameter goes without PARAMTYPE and the
//                              server reads it by the method's declaration
//   ElementName="lun 1"        quoted: a string
//   InPool=root/snia:CIM_StoragePool.InstanceID="p1"
//                              an instance path: a reference
//   Members={root/snia:A.K="1",root/snia:A.K="2"}
//                              braces: an array, elements separated by commas outside quotes
//   ElementType:uint16=3       an explicit type (any DSP0201 type name, "ref" for reference);
//   Ports:uint16[]={1,2}       "[]" makes it an array
//   Description=NULL           a null value (needs a type to be useful)
class ValueArgument {
public:
    // Throws std::invalid_argument with a one-line reason.
    static ValueArgument parse(std::string_view text);

    const std::string& name() const { return m_name; }

    // The argument as a method parameter.
    cim::CIMParamValue toParameter() const;

    // The argument as a property. A property needs a type: the explicit one, else `known`
    // (the type of the property on the server's instance), else the type the text suggests
    // (string, boolean, sint64 or uint64, real64, reference).
    cim::CIMProperty toProperty(std::optional<cim::CIMType> knownType = std::nullopt,
                                std::optional<bool> knownArray = std::nullopt) const;

private:
    struct Element {
        std::string text;
        bool quoted = false;
    };

    cim::CIMValue typedValue(cim::CIMType type, bool isArray) const;
    cim::CIMType guessedType() const;

    std::string m_name;
    std::optional<cim::CIMType> m_type;
    bool m_isArray = false;
    bool m_isNull = false;
    std::vector<Element> m_elements;
};

} // namespace orvcim
