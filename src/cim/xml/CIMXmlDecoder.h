// CIMXmlDecoder: reads DSP0201 elements of a parsed document into CIM objects.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "cim/xml/CIMError.h"
#include "cim/value/CIMInstance.h"
#include "cim/value/CIMObject.h"
#include "cim/value/CIMParamValue.h"
#include "cim/value/CIMValue.h"

namespace pugi {
class xml_node;
}

namespace cim {

/// Reads CIM-XML elements of a pugixml tree. Each function takes the element it is named
/// after (checking the name) and throws CIMXmlError naming the element that is wrong:
/// a missing or unexpected element or attribute, stray text, a value that does not read as
/// its type, text that is not valid UTF-8 or holds control characters, an illegal name.
///
/// QUALIFIER and METHOD elements are skipped. Nesting (references as keys, embedded
/// objects) is limited to kMaxNesting levels so hostile input cannot exhaust the stack.
class CIMXmlDecoder {
public:
    static constexpr int kMaxNesting = 32;
    /// Elements (properties and qualifiers) of one INSTANCE or CLASS; real classes have a
    /// few hundred at most.
    static constexpr size_t kMaxProperties = 16384;

    CIMInstance decodeInstance(pugi::xml_node node);
    CIMClass decodeClass(pugi::xml_node node);
    /// INSTANCE or CLASS.
    CIMObject decodeObject(pugi::xml_node node);
    /// PROPERTY, PROPERTY.ARRAY or PROPERTY.REFERENCE.
    CIMProperty decodeProperty(pugi::xml_node node);

    /// VALUE, VALUE.ARRAY, VALUE.REFERENCE or VALUE.REFARRAY read as `type`; for
    /// Object/Instance the VALUE text is the embedded INSTANCE (or CLASS) as escaped XML or
    /// CDATA.
    CIMValue decodeValue(pugi::xml_node node, CIMType type);

    CIMName decodeClassName(pugi::xml_node node);
    CIMObjectPath decodeInstanceName(pugi::xml_node node);
    CIMNamespaceName decodeLocalNamespacePath(pugi::xml_node node);
    /// NAMESPACEPATH: a path with host and namespace only.
    CIMObjectPath decodeNamespacePath(pugi::xml_node node);
    CIMObjectPath decodeInstancePath(pugi::xml_node node);
    CIMObjectPath decodeLocalInstancePath(pugi::xml_node node);
    CIMObjectPath decodeClassPath(pugi::xml_node node);
    CIMObjectPath decodeLocalClassPath(pugi::xml_node node);
    CIMObjectPath decodeObjectPath(pugi::xml_node node);
    /// Any of the six path elements VALUE.REFERENCE may hold, or VALUE.REFERENCE itself.
    CIMObjectPath decodeReference(pugi::xml_node node);

    CIMInstance decodeNamedInstance(pugi::xml_node node);
    CIMInstance decodeInstanceWithPath(pugi::xml_node node);
    CIMObject decodeValueObject(pugi::xml_node node);
    CIMObject decodeObjectWithPath(pugi::xml_node node);
    CIMObject decodeObjectWithLocalPath(pugi::xml_node node);

    CIMParamValue decodeParamValue(pugi::xml_node node);
    CIMParamValue decodeIParamValue(pugi::xml_node node);
    /// RETURNVALUE; `typed` tells whether it had a PARAMTYPE (or TYPE).
    CIMValue decodeReturnValue(pugi::xml_node node, bool* typed = nullptr);
    CIMParamValue decodeExpParamValue(pugi::xml_node node);
    CIMError decodeError(pugi::xml_node node);

private:
    CIMValue decodeScalar(pugi::xml_node node, CIMType type);
    CIMValue decodeArray(pugi::xml_node node, CIMType type);
    CIMValue decodeRefArray(pugi::xml_node node);
    CIMObject decodeEmbedded(std::string_view text, CIMType type);
    CIMKeyBinding decodeKeyBinding(pugi::xml_node node);
    CIMKeyBinding decodeKeyValue(pugi::xml_node node, const CIMName& name);
    CIMValue decodeParamContent(pugi::xml_node child, const char* owner,
                                std::optional<CIMType> type);
    std::string_view textOf(pugi::xml_node node);

    class NestingGuard;

    int m_nesting = 0;
    std::string m_text;
};

} // namespace cim
