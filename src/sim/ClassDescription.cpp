#include "sim/ClassDescription.h"

#include "sim/MethodTable.h"

#include "cim/value/CIMProperty.h"
#include "cim/value/CIMType.h"
#include "cim/xml/CIMXmlEncoder.h"
#include "cim/xml/CIMXmlWriter.h"

#include <set>
#include <strings.h>

namespace Merrow::Sim {

namespace {

using Element = cim::CIMXmlWriter::Element;

void writeQualifier(cim::CIMXmlWriter& writer, const char* name)
{
    Element qualifier(writer, "QUALIFIER");
    writer.attribute("NAME", name);
    writer.attribute("TYPE", "boolean");
    Element value(writer, "VALUE");
    writer.text("true");
}

void writeParameter(cim::CIMXmlWriter& writer, const ParameterSpec& parameter)
{
    const bool reference = parameter.type == cim::CIMType::Reference;
    const char* element = reference ? (parameter.isArray ? "PARAMETER.REFARRAY" : "PARAMETER.REFERENCE")
                                    : (parameter.isArray ? "PARAMETER.ARRAY" : "PARAMETER");
    Element scope(writer, element);
    writer.attribute("NAME", parameter.name);
    if (!reference)
        writer.attribute("TYPE", cim::cimTypeName(parameter.type));
    writeQualifier(writer, "IN");
}


// A property without a default value. Some parsers (wbemcli's among them) take only an
// element with an end tag, so the element is closed explicitly, never self-closed.
void writeProperty(cim::CIMXmlWriter& writer, const cim::CIMProperty& property)
{
    const cim::CIMType type = property.getType();
    const bool reference = type == cim::CIMType::Reference;
    Element scope(writer, reference ? "PROPERTY.REFERENCE" : property.isArray() ? "PROPERTY.ARRAY" : "PROPERTY");
    writer.attribute("NAME", property.getName().getString());
    if (!reference)
        writer.attribute("TYPE", cim::cimTypeName(type));
    writer.text("");
}

void writeClass(cim::CIMXmlWriter& writer, const std::string& className, const ClassInfo* superclass,
                const cim::CIMInstance* sample, const std::vector<MethodDescription>& methods)
{
    Element scope(writer, "CLASS");
    writer.attribute("NAME", className);
    if (superclass != nullptr)
        writer.attribute("SUPERCLASS", superclass->name);
    if (sample != nullptr) {
        for (const cim::CIMProperty& property : sample->getProperties())
            writeProperty(writer, property);
    }
    for (const MethodDescription& method : methods) {
        Element methodScope(writer, "METHOD");
        writer.attribute("NAME", method.name);
        writer.attribute("TYPE", "uint32");
        writer.text("");
        for (const ParameterSpec& parameter : method.in)
            writeParameter(writer, parameter);
    }
}

} // namespace

std::vector<MethodDescription> ClassDescription::methodsOf(const ClassInfo& cls)
{
    std::vector<MethodDescription> methods;
    std::set<std::string> seen;
    for (const ClassInfo* c = &cls; c != nullptr; c = c->superclass) {
        for (const MethodSpec& spec : MethodTable::all()) {
            if (::strcasecmp(spec.className, c->name.c_str()) == 0 && seen.insert(spec.methodName).second)
                methods.push_back({spec.methodName, spec.in});
        }
    }
    return methods;
}

std::string ClassDescription::getClassResponse(const std::string& messageId, const ClassInfo& cls, const InstanceStore& store)
{
    const cim::CIMInstance* sample = nullptr;
    for (const StoredObject* object : store.enumerate(cls)) {
        if (object->cls == &cls) {
            sample = object->instance.get();
            break;
        }
    }
    return getClassResponse(messageId, cls.name, cls.superclass, sample, methodsOf(cls));
}

std::string ClassDescription::getClassResponse(const std::string& messageId, const std::string& className,
                                               const ClassInfo* superclass, const cim::CIMInstance* sample,
                                               const std::vector<MethodDescription>& methods)
{
    std::string out;
    cim::CIMXmlWriter writer(out);
    cim::CIMXmlEncoder encoder(writer);
    encoder.beginMessage(messageId);
    writer.startElement("SIMPLERSP");
    writer.startElement("IMETHODRESPONSE");
    writer.attribute("NAME", "GetClass");
    writer.startElement("IRETURNVALUE");
    writeClass(writer, className, superclass, sample, methods);
    encoder.endMessage();
    return out;
}

std::vector<cim::CIMObjectPath> ClassDescription::classNames(const std::string& nameSpace, const ClassInfo* parent, bool deep)
{
    std::vector<cim::CIMObjectPath> names;
    const ClassRegistry& registry = ClassRegistry::instance();
    for (const ClassInfo* cls : registry.classesOf(nameSpace)) {
        const bool below = parent == nullptr ? (deep || cls->superclass == nullptr)
                                             : (cls != parent && (deep ? cls->isA(*parent) : cls->superclass == parent));
        if (below)
            names.emplace_back("", nameSpace, cls->name);
    }
    return names;
}

} // namespace Merrow::Sim
