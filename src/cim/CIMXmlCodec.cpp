#include "cim/CIMXmlCodec.h"

#include <array>
#include <cstring>

#include <pugixml.hpp>

#include "cim/CIMTextRules.h"
#include "cim/CIMXmlDecoder.h"
#include "cim/CIMXmlDocument.h"
#include "cim/CIMXmlEncoder.h"
#include "cim/CIMXmlError.h"

namespace cim {
namespace {

using Element = CIMXmlWriter::Element;

[[noreturn]] void fail(const std::string& message) { throw CIMXmlError(message); }

bool is(pugi::xml_node node, const char* name) { return std::strcmp(node.name(), name) == 0; }

// The element children of `parent`, with blank text ignored and any other text refused.
std::vector<pugi::xml_node> elementChildren(pugi::xml_node parent) {
    if (!detail::trimXmlSpace(parent.value()).empty()) {
        fail(std::string("unexpected text in ") + parent.name());
    }
    std::vector<pugi::xml_node> children;
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element) {
            children.push_back(child);
            continue;
        }
        const bool text = child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata;
        if (text && !detail::trimXmlSpace(child.value()).empty()) {
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

// "2.0", "2.3.1": only the major number has to match.
void checkVersion(pugi::xml_node node, const char* attribute, std::string_view major) {
    const std::string_view version = requiredAttribute(node, attribute);
    const std::string_view leading = version.substr(0, version.find('.'));
    if (leading != major) {
        fail("unsupported " + std::string(attribute) + " \"" + std::string(version) + "\"");
    }
}

// CIM/MESSAGE checked; returns the one element MESSAGE holds, which must be `body`.
pugi::xml_node openMessage(const CIMXmlDocument& document, std::string& messageId, const char* body) {
    const pugi::xml_node cim = document.root();
    checkVersion(cim, "CIMVERSION", "2");
    checkVersion(cim, "DTDVERSION", "2");
    const pugi::xml_node message = onlyChild(cim);
    if (!is(message, "MESSAGE")) {
        fail(std::string("expected MESSAGE in CIM, found ") + message.name());
    }
    messageId = std::string(requiredAttribute(message, "ID"));
    if (const detail::TextCheck check = detail::checkText(messageId); !check) {
        fail(detail::describe(check) + " in MESSAGE ID");
    }
    checkVersion(message, "PROTOCOLVERSION", "1");
    const pugi::xml_node content = onlyChild(message);
    if (!is(content, body)) {
        fail(std::string("expected ") + body + " in MESSAGE, found " + content.name());
    }
    return content;
}

// SIMPLEREQ and SIMPLEEXPREQ: (CORRELATOR*, call)
pugi::xml_node callIn(pugi::xml_node simple) {
    pugi::xml_node call;
    for (const pugi::xml_node child : elementChildren(simple)) {
        if (is(child, "CORRELATOR")) {
            continue;
        }
        if (call) {
            fail(std::string("unexpected ") + child.name() + " in " + simple.name());
        }
        call = child;
    }
    if (!call) {
        fail(std::string("empty ") + simple.name());
    }
    return call;
}

CIMNamespaceName extrinsicNamespace(const CIMRequest& request) {
    return request.nameSpace.isNull() ? request.target.getNameSpace() : request.nameSpace;
}

void encodeMethodCall(CIMXmlEncoder& encoder, CIMXmlWriter& writer, const CIMRequest& request) {
    Element call(writer, "METHODCALL");
    writer.attribute("NAME", request.methodName.getString());
    CIMObjectPath target = request.target;
    target.setNameSpace(extrinsicNamespace(request));
    if (target.hasKeys()) {
        encoder.writeLocalInstancePath(target);
    } else {
        encoder.writeLocalClassPath(target);
    }
    for (const CIMParamValue& param : request.params) {
        encoder.writeParamValue(param);
    }
}

void encodeIMethodCall(CIMXmlEncoder& encoder, CIMXmlWriter& writer, const CIMRequest& request) {
    Element call(writer, "IMETHODCALL");
    writer.attribute("NAME", request.methodName.getString());
    encoder.writeLocalNamespacePath(request.nameSpace);
    for (const CIMParamValue& param : request.params) {
        encoder.writeIParamValue(param);
    }
}

// METHODCALL: ((LOCALCLASSPATH | LOCALINSTANCEPATH), PARAMVALUE*)
void decodeMethodCall(CIMXmlDecoder& decoder, pugi::xml_node call, CIMRequest& request) {
    request.extrinsic = true;
    request.methodName = methodName(call);
    const auto children = elementChildren(call);
    if (children.empty()) {
        fail("METHODCALL without a target path");
    }
    const pugi::xml_node target = children.front();
    if (is(target, "LOCALINSTANCEPATH")) {
        request.target = decoder.decodeLocalInstancePath(target);
    } else if (is(target, "LOCALCLASSPATH")) {
        request.target = decoder.decodeLocalClassPath(target);
    } else {
        fail(std::string("expected LOCALINSTANCEPATH or LOCALCLASSPATH in METHODCALL, found ") +
             target.name());
    }
    request.nameSpace = request.target.getNameSpace();
    for (size_t i = 1; i < children.size(); ++i) {
        request.params.push_back(decoder.decodeParamValue(children[i]));
    }
}

// IMETHODCALL: (LOCALNAMESPACEPATH, IPARAMVALUE*)
void decodeIMethodCall(CIMXmlDecoder& decoder, pugi::xml_node call, CIMRequest& request) {
    request.methodName = methodName(call);
    const auto children = elementChildren(call);
    if (children.empty()) {
        fail("IMETHODCALL without LOCALNAMESPACEPATH");
    }
    request.nameSpace = decoder.decodeLocalNamespacePath(children.front());
    for (size_t i = 1; i < children.size(); ++i) {
        request.params.push_back(decoder.decodeIParamValue(children[i]));
    }
}

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

std::optional<CIMReturnKind> returnKindOf(pugi::xml_node node) {
    for (const ReturnElement& entry : kReturnElements) {
        if (is(node, entry.element)) {
            return entry.kind;
        }
    }
    if (is(node, "VALUE.ARRAY") || is(node, "VALUE.REFERENCE")) {
        return CIMReturnKind::Value;
    }
    return std::nullopt;
}

void decodeReturnItem(CIMXmlDecoder& decoder, pugi::xml_node node, CIMResponse& response) {
    switch (response.kind) {
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

// IRETURNVALUE holds a list of one element kind, or one value. Several VALUEs read as a
// string array.
void decodeIReturnValue(CIMXmlDecoder& decoder, pugi::xml_node node, CIMResponse& response) {
    const auto children = elementChildren(node);
    if (children.empty()) {
        return;
    }
    const auto kind = returnKindOf(children.front());
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
            decodeReturnItem(decoder, child, response);
        }
        return;
    }
    const bool reference = is(children.front(), "VALUE.REFERENCE");
    if (children.size() == 1) {
        response.value = decoder.decodeValue(children.front(),
                                             reference ? CIMType::Reference : CIMType::String);
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

void encodeIReturnValue(CIMXmlEncoder& encoder, CIMXmlWriter& writer, const CIMResponse& response) {
    if (response.kind == CIMReturnKind::Nothing) {
        return;
    }
    Element element(writer, "IRETURNVALUE");
    switch (response.kind) {
    case CIMReturnKind::Nothing: return;
    case CIMReturnKind::Instances:
        for (const CIMInstance& instance : response.instances) encoder.writeInstance(instance);
        return;
    case CIMReturnKind::NamedInstances:
        for (const CIMInstance& instance : response.instances) encoder.writeNamedInstance(instance);
        return;
    case CIMReturnKind::InstancesWithPath:
        for (const CIMInstance& instance : response.instances) encoder.writeInstanceWithPath(instance);
        return;
    case CIMReturnKind::Objects:
        for (const CIMObject& object : response.objects) encoder.writeValueObject(object);
        return;
    case CIMReturnKind::ObjectsWithPath:
        for (const CIMObject& object : response.objects) encoder.writeObjectWithPath(object);
        return;
    case CIMReturnKind::ObjectsWithLocalPath:
        for (const CIMObject& object : response.objects) encoder.writeObjectWithLocalPath(object);
        return;
    case CIMReturnKind::Classes:
        for (const CIMObject& object : response.objects) encoder.writeClass(object.getClass());
        return;
    case CIMReturnKind::InstanceNames:
        for (const CIMObjectPath& path : response.paths) encoder.writeInstanceName(path);
        return;
    case CIMReturnKind::InstancePaths:
        for (const CIMObjectPath& path : response.paths) encoder.writeInstancePath(path);
        return;
    case CIMReturnKind::ObjectPaths:
        for (const CIMObjectPath& path : response.paths) encoder.writeObjectPath(path);
        return;
    case CIMReturnKind::ClassNames:
        for (const CIMObjectPath& path : response.paths) encoder.writeClassName(path.getClassName());
        return;
    case CIMReturnKind::Value:
        encoder.writeValue(response.value);
        return;
    }
}

// IMETHODRESPONSE: (ERROR | (IRETURNVALUE?, PARAMVALUE*))
// METHODRESPONSE:  (ERROR | (RETURNVALUE?, PARAMVALUE*))
void decodeMethodResponse(CIMXmlDecoder& decoder, pugi::xml_node node, CIMResponse& response) {
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

std::string encodeRequest(const CIMRequest& request) {
    std::string out;
    CIMXmlWriter writer(out);
    CIMXmlEncoder encoder(writer);
    encoder.beginMessage(request.messageId);
    {
        Element simple(writer, "SIMPLEREQ");
        if (request.extrinsic) {
            encodeMethodCall(encoder, writer, request);
        } else {
            encodeIMethodCall(encoder, writer, request);
        }
    }
    encoder.endMessage();
    return out;
}

CIMRequest decodeRequest(std::string_view xml) {
    const CIMXmlDocument document{std::string(xml), "CIM"};
    CIMRequest request;
    const pugi::xml_node call = callIn(openMessage(document, request.messageId, "SIMPLEREQ"));
    CIMXmlDecoder decoder;
    if (is(call, "METHODCALL")) {
        decodeMethodCall(decoder, call, request);
    } else if (is(call, "IMETHODCALL")) {
        decodeIMethodCall(decoder, call, request);
    } else {
        fail(std::string("unexpected ") + call.name() + " in SIMPLEREQ");
    }
    return request;
}

std::string encodeResponse(const CIMResponse& response) {
    std::string out;
    CIMXmlWriter writer(out);
    CIMXmlEncoder encoder(writer);
    encoder.beginMessage(response.messageId);
    {
        Element simple(writer, "SIMPLERSP");
        Element method(writer, response.extrinsic ? "METHODRESPONSE" : "IMETHODRESPONSE");
        writer.attribute("NAME", response.methodName.getString());
        if (response.error) {
            encoder.writeError(*response.error);
        } else {
            if (response.extrinsic) {
                encoder.writeReturnValue(response.returnValue);
            } else {
                encodeIReturnValue(encoder, writer, response);
            }
            for (const CIMParamValue& param : response.outParams) {
                encoder.writeParamValue(param);
            }
        }
    }
    encoder.endMessage();
    return out;
}

CIMResponse decodeResponse(std::string_view xml) { return decodeResponse(std::string(xml)); }

CIMResponse decodeResponse(const char* xml) { return decodeResponse(std::string(xml)); }

CIMResponse decodeResponse(std::string&& xml) {
    const CIMXmlDocument document{std::move(xml), "CIM"};
    CIMResponse response;
    const pugi::xml_node method = onlyChild(openMessage(document, response.messageId, "SIMPLERSP"));
    if (!is(method, "IMETHODRESPONSE") && !is(method, "METHODRESPONSE")) {
        fail(std::string("unexpected ") + method.name() + " in SIMPLERSP");
    }
    CIMXmlDecoder decoder;
    decodeMethodResponse(decoder, method, response);
    return response;
}

std::string encodeExportRequest(const CIMExportRequest& request) {
    std::string out;
    CIMXmlWriter writer(out);
    CIMXmlEncoder encoder(writer);
    encoder.beginMessage(request.messageId);
    {
        Element simple(writer, "SIMPLEEXPREQ");
        Element call(writer, "EXPMETHODCALL");
        writer.attribute("NAME", request.methodName.getString());
        for (const CIMParamValue& param : request.params) {
            encoder.writeExpParamValue(param);
        }
    }
    encoder.endMessage();
    return out;
}

// EXPMETHODCALL: (EXPPARAMVALUE*)
CIMExportRequest decodeExportRequest(std::string_view xml) {
    return decodeExportRequest(std::string(xml));
}

CIMExportRequest decodeExportRequest(const char* xml) { return decodeExportRequest(std::string(xml)); }

CIMExportRequest decodeExportRequest(std::string&& xml) {
    const CIMXmlDocument document{std::move(xml), "CIM"};
    CIMExportRequest request;
    const pugi::xml_node call = callIn(openMessage(document, request.messageId, "SIMPLEEXPREQ"));
    if (!is(call, "EXPMETHODCALL")) {
        fail(std::string("unexpected ") + call.name() + " in SIMPLEEXPREQ");
    }
    request.methodName = methodName(call);
    CIMXmlDecoder decoder;
    for (const pugi::xml_node child : elementChildren(call)) {
        request.params.push_back(decoder.decodeExpParamValue(child));
    }
    return request;
}

std::string encodeExportResponse(const CIMExportResponse& response) {
    std::string out;
    CIMXmlWriter writer(out);
    CIMXmlEncoder encoder(writer);
    encoder.beginMessage(response.messageId);
    {
        Element simple(writer, "SIMPLEEXPRSP");
        Element method(writer, "EXPMETHODRESPONSE");
        writer.attribute("NAME", response.methodName.getString());
        if (response.error) {
            encoder.writeError(*response.error);
        } else {
            Element empty(writer, "IRETURNVALUE");
        }
    }
    encoder.endMessage();
    return out;
}

// EXPMETHODRESPONSE: (ERROR | IRETURNVALUE?)
CIMExportResponse decodeExportResponse(std::string_view xml) {
    const CIMXmlDocument document{std::string(xml), "CIM"};
    CIMExportResponse response;
    const pugi::xml_node method = onlyChild(openMessage(document, response.messageId, "SIMPLEEXPRSP"));
    if (!is(method, "EXPMETHODRESPONSE")) {
        fail(std::string("unexpected ") + method.name() + " in SIMPLEEXPRSP");
    }
    response.methodName = methodName(method);
    const auto children = elementChildren(method);
    if (children.size() > 1) {
        fail("EXPMETHODRESPONSE holds more than one element");
    }
    if (children.empty()) {
        return response;
    }
    if (is(children.front(), "ERROR")) {
        CIMXmlDecoder decoder;
        response.error = decoder.decodeError(children.front());
    } else if (!is(children.front(), "IRETURNVALUE") || !elementChildren(children.front()).empty()) {
        fail(std::string("unexpected ") + children.front().name() + " in EXPMETHODRESPONSE");
    }
    return response;
}

std::string encodeInstanceElement(const CIMInstance& instance) {
    std::string out;
    CIMXmlWriter writer(out);
    CIMXmlEncoder(writer).writeInstance(instance);
    return out;
}

CIMInstance decodeInstanceElement(std::string_view xml) {
    const CIMXmlDocument document{std::string(xml), "INSTANCE"};
    return CIMXmlDecoder().decodeInstance(document.root());
}

} // namespace cim
