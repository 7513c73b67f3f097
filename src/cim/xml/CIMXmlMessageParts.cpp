#include "cim/xml/CIMXmlMessageParts.h"

#include <cstring>

#include "cim/value/CIMTextRules.h"
#include "cim/xml/CIMXmlDocument.h"
#include "cim/xml/CIMXmlError.h"

namespace cim::detail {
namespace {

[[noreturn]] void fail(const std::string& message) { throw CIMXmlError(message); }

// "2.0", "2.3.1": only the major number has to match.
void checkVersion(pugi::xml_node node, const char* attribute, std::string_view major) {
    const std::string_view version = requiredAttribute(node, attribute);
    const std::string_view leading = version.substr(0, version.find('.'));
    if (leading != major) {
        fail("unsupported " + std::string(attribute) + " \"" + std::string(version) + "\"");
    }
}

} // namespace

bool isElement(pugi::xml_node node, const char* name) { return std::strcmp(node.name(), name) == 0; }

// The element children of `parent`, with blank text ignored and any other text refused.
std::vector<pugi::xml_node> elementChildren(pugi::xml_node parent) {
    if (!trimXmlSpace(parent.value()).empty()) {
        fail(std::string("unexpected text in ") + parent.name());
    }
    std::vector<pugi::xml_node> children;
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element) {
            children.push_back(child);
            continue;
        }
        const bool text = child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata;
        if (text && !trimXmlSpace(child.value()).empty()) {
            fail(std::string("unexpected text in ") + parent.name());
        }
    }
    return children;
}

pugi::xml_node onlyChild(pugi::xml_node parent) {
    const auto children = elementChildren(parent);
    if (children.size() != 1) {
        fail(std::string(parent.name()) + " must hold exactly one element");
    }
    return children.front();
}

std::string_view requiredAttribute(pugi::xml_node node, const char* name) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute) {
        fail(std::string("missing attribute ") + name + " on " + node.name());
    }
    return attribute.value();
}

CIMName methodName(pugi::xml_node node) {
    const std::string_view name = requiredAttribute(node, "NAME");
    if (!CIMName::legal(name)) {
        fail("illegal method name \"" + std::string(name) + "\" on " + node.name());
    }
    return CIMName(name);
}

pugi::xml_node openMessage(const CIMXmlDocument& document, std::string& messageId, const char* body) {
    const pugi::xml_node cim = document.root();
    checkVersion(cim, "CIMVERSION", "2");
    checkVersion(cim, "DTDVERSION", "2");
    const pugi::xml_node message = onlyChild(cim);
    if (!isElement(message, "MESSAGE")) {
        fail(std::string("expected MESSAGE in CIM, found ") + message.name());
    }
    messageId = std::string(requiredAttribute(message, "ID"));
    if (const TextCheck check = checkText(messageId); !check) {
        fail(describe(check) + " in MESSAGE ID");
    }
    checkVersion(message, "PROTOCOLVERSION", "1");
    const pugi::xml_node content = onlyChild(message);
    if (!isElement(content, body)) {
        fail(std::string("expected ") + body + " in MESSAGE, found " + content.name());
    }
    return content;
}

} // namespace cim::detail
