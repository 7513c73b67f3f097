// Parts of reading a CIM-XML response shared by the readers of a whole text and of a text
// that arrives piece by piece.
#pragma once

#include <optional>
#include <string_view>

#include <pugixml.hpp>

#include "cim/xml/CIMResponse.h"

namespace cim {

class CIMXmlDecoder;
class CIMXmlDocument;

namespace detail {

/// The result kind whose IRETURNVALUE is a list of (or one) `name` elements.
std::optional<CIMReturnKind> returnKindOf(std::string_view name);

/// Decodes one item of IRETURNVALUE and appends it to the vector of `response` its kind
/// uses (instances, objects or paths). Not for CIMReturnKind::Value.
void decodeReturnItem(CIMXmlDecoder& decoder, pugi::xml_node node, CIMReturnKind kind, CIMResponse& response);

/// The response a document holds. With `separateList`, IRETURNVALUE is not read but handed
/// back there, for its items to be read apart from this tree.
CIMResponse decodeResponseDocument(const CIMXmlDocument& document, pugi::xml_node* separateList);

} // namespace detail
} // namespace cim
