#include "cim/xml/CIMXmlCodec.h"

#include <array>
#include <cstring>

#include <pugixml.hpp>

#include "cim/value/CIMTextRules.h"
#include "cim/xml/CIMXmlDecoder.h"
#include "cim/xml/CIMXmlDocument.h"
#include "cim/xml/CIMXmlEncoder.h"
#include "cim/xml/CIMXmlError.h"
#include "cim/xml/CIMXmlMessageParts.h"
#include "cim/xml/CIMXmlResponseReader.h"

namespace cim {
namespace {

using Element = CIMXmlWriter::Element;
using detail::elementChildren;
using detail::methodName;
using detail::onlyChild;
using detail::openMessage;

[[noreturn]] void fail(const std::string& message) { throw CIMXmlError(message); }

bool is(pugi::xml_node node, const char* name) { return detail::isElement(node, name); }

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

CIMResponse decodeResponse(std::string&& xml) { return CIMXmlResponseReader(std::move(xml)).readAll(); }

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
