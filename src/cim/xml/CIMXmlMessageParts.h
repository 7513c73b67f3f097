// Checks shared by the readers of whole CIM-XML messages (requests, responses, exports).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "cim/value/CIMName.h"

namespace cim {

class CIMXmlDocument;

namespace detail {

bool isElement(pugi::xml_node node, const char* name);

/// The element children of `parent`, with blank text ignored and any other text refused.
std::vector<pugi::xml_node> elementChildren(pugi::xml_node parent);

/// The one element `parent` holds; more or fewer are refused.
pugi::xml_node onlyChild(pugi::xml_node parent);

std::string_view requiredAttribute(pugi::xml_node node, const char* name);

/// The NAME attribute of a call or response element.
CIMName methodName(pugi::xml_node node);

/// CIM and MESSAGE checked (versions, ID); returns the one element MESSAGE holds, which
/// must be `body`, and sets `messageId`.
pugi::xml_node openMessage(const CIMXmlDocument& document, std::string& messageId, const char* body);

} // namespace detail
} // namespace cim
