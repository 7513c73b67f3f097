#include "cim/xml/CIMXmlEncoder.h"

#include "cim/xml/CIMIntrinsicParams.h"
#include "cim/value/CIMPrimitiveText.h"
#include "cim/value/CIMScalarText.h"
#include "cim/value/CIMTextRules.h"
#include "cim/value/CIMValueRep.h"
#include "cim/xml/CIMXmlError.h"

namespace cim {
namespace {

using Element = CIMXmlWriter::Element;
using Storage = detail::CIMValueAccess::Storage;
using detail::CIMArrayRep;

constexpr int kMaxEmbeddedDepth = 32;

const char* keyValueType(CIMKeyBinding::Type type) {
    switch (type) {
    case CIMKeyBinding::Type::Boolean: return "boolean";
    case CIMKeyBinding::Type::Numeric: return "numeric";
    case CIMKeyBinding::Type::String:
    case CIMKeyBinding::Type::Reference: break;
    }
    return "string";
}

bool isReference(const CIMValue& value) { return value.getType() == CIMType::Reference; }

// Embedded objects travel as strings marked with EmbeddedObject.
std::string_view wireTypeName(CIMType type) {
    return isEmbeddedType(type) ? std::string_view("string") : cimTypeName(type);
}

} // namespace

void CIMXmlEncoder::beginMessage(const std::string& messageId) {
    m_writer.declaration();
    m_writer.startElement("CIM");
    m_writer.attribute("CIMVERSION", "2.0");
    m_writer.attribute("DTDVERSION", "2.0");
    m_writer.startElement("MESSAGE");
    m_writer.attribute("ID", messageId);
    m_writer.attribute("PROTOCOLVERSION", "1.0");
}

void CIMXmlEncoder::writeInstance(const CIMInstance& instance) {
    Element element(m_writer, "INSTANCE");
    m_writer.attribute("CLASSNAME", instance.getClassName().getString());
    for (const CIMProperty& property : instance.getProperties()) {
        writeProperty(property);
    }
}

void CIMXmlEncoder::writeClass(const CIMClass& cimClass) {
    Element element(m_writer, "CLASS");
    m_writer.attribute("NAME", cimClass.getClassName().getString());
    if (!cimClass.getSuperClassName().isNull()) {
        m_writer.attribute("SUPERCLASS", cimClass.getSuperClassName().getString());
    }
    for (const CIMProperty& property : cimClass.getProperties()) {
        writeProperty(property);
    }
}

void CIMXmlEncoder::writeObject(const CIMObject& object) {
    if (object.isInstance()) {
        writeInstance(object.getInstance());
    } else {
        writeClass(object.getClass());
    }
}

void CIMXmlEncoder::writeProperty(const CIMProperty& property) {
    const CIMValue& value = property.getValue();
    if (isReference(value) && value.isArray()) {
        throw CIMXmlError("property " + property.getName().getString() +
                          ": CIM-XML has no array-of-references property");
    }
    const char* element = isReference(value) ? "PROPERTY.REFERENCE"
                          : value.isArray()  ? "PROPERTY.ARRAY"
                                             : "PROPERTY";
    Element scope(m_writer, element);
    m_writer.attribute("NAME", property.getName().getString());
    if (isReference(value)) {
        if (!property.getReferenceClassName().isNull()) {
            m_writer.attribute("REFERENCECLASS", property.getReferenceClassName().getString());
        }
    } else {
        writeTypeAttributes("TYPE", value);
    }
    if (!property.getClassOrigin().isNull()) {
        m_writer.attribute("CLASSORIGIN", property.getClassOrigin().getString());
    }
    if (property.getPropagated()) {
        m_writer.attribute("PROPAGATED", "true");
    }
    writeValue(value);
}

void CIMXmlEncoder::writeTypeAttributes(const char* typeAttribute, const CIMValue& value) {
    m_writer.attribute(typeAttribute, wireTypeName(value.getType()));
    if (value.getType() == CIMType::Instance) {
        m_writer.attribute("EmbeddedObject", "instance");
    } else if (value.getType() == CIMType::Object) {
        m_writer.attribute("EmbeddedObject", "object");
    }
}

void CIMXmlEncoder::writeValue(const CIMValue& value) {
    if (value.isNull()) {
        return;
    }
    if (value.isArray()) {
        writeArrayValue(value);
    } else {
        writeScalarValue(value);
    }
}

void CIMXmlEncoder::writeScalarValue(const CIMValue& value) {
    const Storage& data = detail::CIMValueAccess::storage(value);
    if (const auto* path = std::get_if<std::shared_ptr<const CIMObjectPath>>(&data)) {
        writeValueReference(**path);
        return;
    }
    Element element(m_writer, "VALUE");
    if (const auto* object = std::get_if<std::shared_ptr<const CIMObject>>(&data)) {
        writeEmbeddedObjectText(**object);
        return;
    }
    m_scratch.clear();
    std::visit(
        [this, &value](const auto& stored) {
            using T = std::decay_t<decltype(stored)>;
            if constexpr (std::is_invocable_v<detail::CIMPrimitiveText, const T&>) {
                detail::CIMPrimitiveText{value.getType(), m_scratch}(stored);
            }
        },
        data);
    m_writer.text(m_scratch);
}

void CIMXmlEncoder::writeArrayValue(const CIMValue& value) {
    const auto& rep = std::get<std::shared_ptr<const CIMArrayRep>>(detail::CIMValueAccess::storage(value));
    const bool references = isReference(value);
    Element array(m_writer, references ? "VALUE.REFARRAY" : "VALUE.ARRAY");
    std::visit(
        [&](const auto& elements) {
            using T = typename std::decay_t<decltype(elements)>::value_type;
            for (size_t i = 0; i < elements.size(); ++i) {
                if (value.isElementNull(i)) {
                    Element null(m_writer, "VALUE.NULL");
                    continue;
                }
                if constexpr (std::is_same_v<T, CIMObjectPath>) {
                    writeValueReference(elements[i]);
                } else if constexpr (std::is_same_v<T, CIMObject>) {
                    Element element(m_writer, "VALUE");
                    writeEmbeddedObjectText(elements[i]);
                } else {
                    Element element(m_writer, "VALUE");
                    m_scratch.clear();
                    detail::CIMPrimitiveText{value.getType(), m_scratch}(elements[i]);
                    m_writer.text(m_scratch);
                }
            }
        },
        rep->elements);
}

void CIMXmlEncoder::writeEmbeddedObjectText(const CIMObject& object) {
    if (m_embeddedDepth >= kMaxEmbeddedDepth) {
        throw CIMXmlError("embedded objects nested too deeply");
    }
    std::string inner;
    CIMXmlWriter innerWriter(inner);
    CIMXmlEncoder innerEncoder(innerWriter);
    innerEncoder.m_embeddedDepth = m_embeddedDepth + 1;
    innerEncoder.writeObject(object);
    m_writer.text(inner);
}

void CIMXmlEncoder::writeClassName(const CIMName& className) {
    Element element(m_writer, "CLASSNAME");
    m_writer.attribute("NAME", className.getString());
}

void CIMXmlEncoder::writeInstanceName(const CIMObjectPath& path) {
    Element element(m_writer, "INSTANCENAME");
    m_writer.attribute("CLASSNAME", path.getClassName().getString());
    const auto& keys = path.getKeyBindings();
    if (keys.size() == 1 && keys[0].getName().isNull()) {
        writeKeyValue(keys[0]);
        return;
    }
    for (const CIMKeyBinding& key : keys) {
        writeKeyBinding(key);
    }
}

void CIMXmlEncoder::writeKeyBinding(const CIMKeyBinding& key) {
    Element element(m_writer, "KEYBINDING");
    m_writer.attribute("NAME", key.getName().getString());
    writeKeyValue(key);
}

void CIMXmlEncoder::writeKeyValue(const CIMKeyBinding& key) {
    if (key.getType() == CIMKeyBinding::Type::Reference) {
        writeValueReference(key.getReference());
        return;
    }
    Element element(m_writer, "KEYVALUE");
    m_writer.attribute("VALUETYPE", keyValueType(key.getType()));
    m_writer.text(key.getValue());
}

void CIMXmlEncoder::writeLocalNamespacePath(const CIMNamespaceName& nameSpace) {
    if (nameSpace.isNull()) {
        throw CIMXmlError("LOCALNAMESPACEPATH needs a namespace");
    }
    Element element(m_writer, "LOCALNAMESPACEPATH");
    for (const std::string_view component : nameSpace.components()) {
        Element name(m_writer, "NAMESPACE");
        m_writer.attribute("NAME", component);
    }
}

void CIMXmlEncoder::writeNamespacePath(const CIMObjectPath& path) {
    Element element(m_writer, "NAMESPACEPATH");
    {
        Element host(m_writer, "HOST");
        m_writer.text(path.getHost());
    }
    writeLocalNamespacePath(path.getNameSpace());
}

void CIMXmlEncoder::writeInstancePath(const CIMObjectPath& path) {
    Element element(m_writer, "INSTANCEPATH");
    writeNamespacePath(path);
    writeInstanceName(path);
}

void CIMXmlEncoder::writeLocalInstancePath(const CIMObjectPath& path) {
    Element element(m_writer, "LOCALINSTANCEPATH");
    writeLocalNamespacePath(path.getNameSpace());
    writeInstanceName(path);
}

void CIMXmlEncoder::writeClassPath(const CIMObjectPath& path) {
    Element element(m_writer, "CLASSPATH");
    writeNamespacePath(path);
    writeClassName(path.getClassName());
}

void CIMXmlEncoder::writeLocalClassPath(const CIMObjectPath& path) {
    Element element(m_writer, "LOCALCLASSPATH");
    writeLocalNamespacePath(path.getNameSpace());
    writeClassName(path.getClassName());
}

void CIMXmlEncoder::writeObjectPath(const CIMObjectPath& path) {
    Element element(m_writer, "OBJECTPATH");
    if (path.hasKeys()) {
        writeInstancePath(path);
    } else {
        writeClassPath(path);
    }
}

void CIMXmlEncoder::writeValueReference(const CIMObjectPath& path) {
    Element element(m_writer, "VALUE.REFERENCE");
    const bool local = path.getHost().empty();
    if (path.getNameSpace().isNull()) {
        path.hasKeys() ? writeInstanceName(path) : writeClassName(path.getClassName());
    } else if (path.hasKeys()) {
        local ? writeLocalInstancePath(path) : writeInstancePath(path);
    } else {
        local ? writeLocalClassPath(path) : writeClassPath(path);
    }
}

CIMObjectPath CIMXmlEncoder::pathWithClass(const CIMObjectPath& path, const CIMName& className) const {
    if (!path.getClassName().isNull()) {
        return path;
    }
    CIMObjectPath completed = path;
    completed.setClassName(className);
    return completed;
}

void CIMXmlEncoder::writeNamedInstance(const CIMInstance& instance) {
    Element element(m_writer, "VALUE.NAMEDINSTANCE");
    writeInstanceName(pathWithClass(instance.getPath(), instance.getClassName()));
    writeInstance(instance);
}

void CIMXmlEncoder::writeInstanceWithPath(const CIMInstance& instance) {
    Element element(m_writer, "VALUE.INSTANCEWITHPATH");
    writeInstancePath(pathWithClass(instance.getPath(), instance.getClassName()));
    writeInstance(instance);
}

void CIMXmlEncoder::writeValueObject(const CIMObject& object) {
    Element element(m_writer, "VALUE.OBJECT");
    writeObject(object);
}

void CIMXmlEncoder::writeObjectWithPath(const CIMObject& object) {
    Element element(m_writer, "VALUE.OBJECTWITHPATH");
    const CIMObjectPath path = pathWithClass(object.getPath(), object.getClassName());
    object.isInstance() ? writeInstancePath(path) : writeClassPath(path);
    writeObject(object);
}

void CIMXmlEncoder::writeObjectWithLocalPath(const CIMObject& object) {
    Element element(m_writer, "VALUE.OBJECTWITHLOCALPATH");
    const CIMObjectPath path = pathWithClass(object.getPath(), object.getClassName());
    object.isInstance() ? writeLocalInstancePath(path) : writeLocalClassPath(path);
    writeObject(object);
}

void CIMXmlEncoder::writeParamValue(const CIMParamValue& param) {
    Element element(m_writer, "PARAMVALUE");
    m_writer.attribute("NAME", param.getParameterName().getString());
    // Without EmbeddedObject an embedded object would read back as a string.
    if (param.isTyped() || isEmbeddedType(param.getValue().getType())) {
        writeTypeAttributes("PARAMTYPE", param.getValue());
    }
    writeValue(param.getValue());
}

void CIMXmlEncoder::writeIParamValue(const CIMParamValue& param) {
    Element element(m_writer, "IPARAMVALUE");
    m_writer.attribute("NAME", param.getParameterName().getString());
    const CIMValue& value = param.getValue();
    if (value.isNull()) {
        return;
    }
    const bool scalar = !value.isArray();
    switch (detail::intrinsicParamForm(param.getParameterName())) {
    case detail::IParamForm::ClassName:
        if (scalar && value.getType() == CIMType::String && CIMName::legal(value.get<std::string>())) {
            writeClassName(CIMName(value.get<std::string>()));
            return;
        }
        if (scalar && isReference(value)) {
            writeClassName(value.get<CIMObjectPath>().getClassName());
            return;
        }
        break;
    case detail::IParamForm::InstanceName:
    case detail::IParamForm::ObjectName:
        if (scalar && isReference(value)) {
            const CIMObjectPath path = value.get<CIMObjectPath>();
            path.hasKeys() ? writeInstanceName(path) : writeClassName(path.getClassName());
            return;
        }
        break;
    case detail::IParamForm::Instance:
        if (scalar && value.getType() == CIMType::Instance) {
            writeInstance(value.get<CIMInstance>());
            return;
        }
        break;
    case detail::IParamForm::NamedInstance:
        if (scalar && value.getType() == CIMType::Instance) {
            writeNamedInstance(value.get<CIMInstance>());
            return;
        }
        break;
    case detail::IParamForm::Boolean:
    case detail::IParamForm::Generic:
        writeGenericIParamContent(value);
        return;
    }
    throw CIMXmlError("IPARAMVALUE " + param.getParameterName().getString() +
                      ": a value of type " + std::string(cimTypeName(value.getType())) +
                      (value.isArray() ? "[]" : "") + " does not fit this parameter");
}

void CIMXmlEncoder::writeGenericIParamContent(const CIMValue& value) {
    if (!value.isArray() && isEmbeddedType(value.getType())) {
        const CIMObject object = value.get<CIMObject>();
        if (object.isClass()) {
            writeClass(object.getClass());
        } else if (object.getPath().isNull()) {
            writeInstance(object.getInstance());
        } else {
            writeNamedInstance(object.getInstance());
        }
        return;
    }
    writeValue(value);
}

void CIMXmlEncoder::writeReturnValue(const CIMValue& value) {
    Element element(m_writer, "RETURNVALUE");
    writeTypeAttributes("PARAMTYPE", value);
    writeValue(value);
}

void CIMXmlEncoder::writeExpParamValue(const CIMParamValue& param) {
    Element element(m_writer, "EXPPARAMVALUE");
    m_writer.attribute("NAME", param.getParameterName().getString());
    const CIMValue& value = param.getValue();
    if (value.isNull()) {
        return;
    }
    if (value.isArray() || value.getType() != CIMType::Instance) {
        throw CIMXmlError("EXPPARAMVALUE " + param.getParameterName().getString() +
                          " must hold an instance");
    }
    writeInstance(value.get<CIMInstance>());
}

void CIMXmlEncoder::writeError(const CIMError& error) {
    Element element(m_writer, "ERROR");
    m_scratch.clear();
    detail::appendSigned(m_scratch, static_cast<int>(error.code));
    m_writer.attribute("CODE", m_scratch);
    if (!error.description.empty()) {
        m_writer.attribute("DESCRIPTION", error.description);
    }
    for (const CIMInstance& instance : error.instances) {
        writeInstance(instance);
    }
}

} // namespace cim
