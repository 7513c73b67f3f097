#include "cim/xml/CIMXmlResponseParts.h"

#include <array>
#include <cstring>

#include "cim/xml/CIMXmlDecoder.h"
#include "cim/xml/CIMXmlDocument.h"
#include "cim/xml/CIMXmlError.h"
#include "cim/xml/CIMXmlMessageParts.h"

namespace cim::detail {
namespace {

[[noreturn]] void fail(const std::string& message) { throw CIMXmlError(message); }

bool is(pugi::xml_node node, const char* name) { return isElement(node, name); }

// Which element of IRETURNVALUE each result kind uses.
struct ReturnElement {
    CIMReturnKind kind;
    const char* element;
};

constexpr std::array<ReturnElement, 12> kReturnElements{{
    {CIMReturnKind::Instances, "INSTANCE"},
    {CIMReturnKind::NamedInstances, "VALUE.NAMEDINSTANCE"},
    {CIMReturnKind::InstancesWithPath, "VALUE.INSTANCEWITHPATH"},
    {CIMReturnKind::Objects, "VALUE.OBJECT"},
    {CIMReturnKind::ObjectsWithPath, "VALUE.OBJECTWITHPATH"},
    {CIMReturnKind::ObjectsWithLocalPath, "VALUE.OBJECTWITHLOCALPATH"},
    {CIMReturnKind::Classes, "CLASS"},
    {CIMReturnKind::InstanceNames, "INSTANCENAME"},
    {CIMReturnKind::InstancePaths, "INSTANCEPATH"},
    {CIMReturnKind::ObjectPaths, "OBJECTPATH"},
    {CIMReturnKind::ClassNames, "CLASSNAME"},
    {CIMReturnKind::Value, "VALUE"},
}};

} // namespace

std::optional<CIMReturnKind> returnKindOf(std::string_view name) {
    for (const ReturnElement& entry : kReturnElements) {
        if (name == entry.element) {
            return entry.kind;
        }
    }
    if (name == "VALUE.ARRAY" || name == "VALUE.REFERENCE") {
        return CIMReturnKind::Value;
    }
    return std::nullopt;
}

void decodeReturnItem(CIMXmlDecoder& decoder, pugi::xml_node node, CIMReturnKind kind, CIMResponse& response) {
    switch (kind) {
    case CIMReturnKind::Instances: response.instances.push_back(decoder.decodeInstance(node)); return;
    case CIMReturnKind::NamedInstances: response.instances.push_back(decoder.decodeNamedInstance(node)); return;
    case CIMReturnKind::InstancesWithPath: response.instances.push_back(decoder.decodeInstanceWithPath(node)); return;
    case CIMReturnKind::Objects: response.objects.push_back(decoder.decodeValueObject(node)); return;
    case CIMReturnKind::ObjectsWithPath: response.objects.push_back(decoder.decodeObjectWithPath(node)); return;
    case CIMReturnKind::ObjectsWithLocalPath: response.objects.push_back(decoder.decodeObjectWithLocalPath(node)); return;
    case CIMReturnKind::Classes: response.objects.emplace_back(decoder.decodeClass(node)); return;
    case CIMReturnKind::InstanceNames: response.paths.push_back(decoder.decodeInstanceName(node)); return;
    case CIMReturnKind::InstancePaths: response.paths.push_back(decoder.decodeInstancePath(node)); return;
    case CIMReturnKind::ObjectPaths: response.paths.push_back(decoder.decodeObjectPath(node)); return;
    case CIMReturnKind::ClassNames: {
        CIMObjectPath path;
        path.setClassName(decoder.decodeClassName(node));
        response.paths.push_back(std::move(path));
        return;
    }
    case CIMReturnKind::Value:
    case CIMReturnKind::Nothing: break;
    }
}

namespace {

// IRETURNVALUE holds a list of one element kind, or one value. Several VALUEs read as a
// string array.
void decodeIReturnValue(CIMXmlDecoder& decoder, pugi::xml_node node, CIMResponse& response) {
    const auto children = elementChildren(node);
    if (children.empty()) {
        return;
    }
    const auto kind = returnKindOf(children.front().name());
    if (!kind) {
        fail(std::string("unexpected ") + children.front().name() + " in IRETURNVALUE");
    }
    response.kind = *kind;
    for (const pugi::xml_node child : children) {
        if (std::strcmp(child.name(), children.front().name()) != 0) {
            fail(std::string("IRETURNVALUE mixes ") + children.front().name() + " and " + child.name());
        }
    }
    if (*kind != CIMReturnKind::Value) {
        response.instances.reserve(children.size());
        for (const pugi::xml_node child : children) {
            decodeReturnItem(decoder, child, *kind, response);
        }
        return;
    }
    const bool reference = is(children.front(), "VALUE.REFERENCE");
    if (children.size() == 1) {
        response.value = decoder.decodeValue(children.front(), reference ? CIMType::Reference : CIMType::String);
        return;
    }
    if (!is(children.front(), "VALUE")) {
        fail(std::string("more than one ") + children.front().name() + " in IRETURNVALUE");
    }
    std::vector<std::string> values;
    for (const pugi::xml_node child : children) {
        values.push_back(decoder.decodeValue(child, CIMType::String).get<std::string>());
    }
    response.value = CIMValue(std::move(values));
}

// IMETHODRESPONSE: (ERROR | (IRETURNVALUE?, PARAMVALUE*))
// METHODRESPONSE:  (ERROR | (RETURNVALUE?, PARAMVALUE*))
// With `separateList`, IRETURNVALUE is not read but handed back there: its items are read
// apart from this tree.
void decodeMethodResponse(CIMXmlDecoder& decoder, pugi::xml_node node, CIMResponse& response,
                          pugi::xml_node* separateList) {
    response.extrinsic = is(node, "METHODRESPONSE");
    response.methodName = methodName(node);
    const auto children = elementChildren(node);
    if (!children.empty() && is(children.front(), "ERROR")) {
        if (children.size() > 1) {
            fail(std::string("unexpected ") + children[1].name() + " after ERROR");
        }
        response.error = decoder.decodeError(children.front());
        return;
    }
    const char* returnElement = response.extrinsic ? "RETURNVALUE" : "IRETURNVALUE";
    size_t next = 0;
    if (next < children.size() && is(children[next], returnElement)) {
        if (response.extrinsic) {
            response.returnValue = decoder.decodeReturnValue(children[next]);
        } else if (separateList) {
            *separateList = children[next];
        } else {
            decodeIReturnValue(decoder, children[next], response);
        }
        ++next;
    }
    for (; next < children.size(); ++next) {
        response.outParams.push_back(decoder.decodeParamValue(children[next]));
    }
}

} // namespace


CIMResponse decodeResponseDocument(const CIMXmlDocument& document, pugi::xml_node* separateList) {
    CIMResponse response;
    const pugi::xml_node method = onlyChild(openMessage(document, response.messageId, "SIMPLERSP"));
    if (!is(method, "IMETHODRESPONSE") && !is(method, "METHODRESPONSE")) {
        fail(std::string("unexpected ") + method.name() + " in SIMPLERSP");
    }
    CIMXmlDecoder decoder;
    decodeMethodResponse(decoder, method, response, separateList);
    return response;
}

} // namespace cim::detail
