#include "CIMTextPrinter.h"

#include "cim/CIMType.h"

namespace orvcim {

using cim::CIMType;
using cim::CIMValue;

CIMTextPrinter::CIMTextPrinter(std::ostream& out)
    : m_out(out)
{
}

std::string CIMTextPrinter::quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

std::ostream& CIMTextPrinter::indent(int depth)
{
    return m_out << std::string(static_cast<std::size_t>(depth) * 2, ' ');
}

void CIMTextPrinter::printInstance(const cim::CIMInstance& instance)
{
    if (instance.getPath().isNull())
        m_out << "instance of " << instance.getClassName() << '\n';
    else
        m_out << instance.getPath() << '\n';
    printProperties(instance, 1);
    m_out << '\n';
}

void CIMTextPrinter::printObject(const cim::CIMObject& object)
{
    if (object.isInstance())
        return printInstance(object.getInstance());
    m_out << "class " << object.getClassName() << "\n\n";
}

void CIMTextPrinter::printPath(const cim::CIMObjectPath& path)
{
    m_out << path << "\n\n";
}

void CIMTextPrinter::printMethodResult(const CIMValue& returnValue, const std::vector<cim::CIMParamValue>& outParameters)
{
    m_out << "ReturnValue = " << valueText(returnValue) << '\n';
    for (const cim::CIMParamValue& parameter : outParameters)
        printValueLine(parameter.getParameterName().getString(), parameter.getValue(), 0);
    m_out << '\n';
}

void CIMTextPrinter::printLine(const std::string& text)
{
    m_out << text << "\n\n";
}

void CIMTextPrinter::printProperties(const cim::CIMInstance& instance, int depth)
{
    for (const cim::CIMProperty& property : instance.getProperties())
        printValueLine(property.getName().getString() + " : " + std::string(cim::cimTypeName(property.getType()))
                           + (property.isArray() ? "[]" : ""),
                       property.getValue(), depth);
}

void CIMTextPrinter::printValueLine(const std::string& name, const CIMValue& value, int depth)
{
    indent(depth) << name << " =";
    if (cim::isEmbeddedType(value.getType()) && !value.isNull())
        return printEmbedded(value, depth + 1);
    m_out << ' ' << valueText(value) << '\n';
}

// An embedded instance is printed as a nested block, one per array element.
void CIMTextPrinter::printEmbedded(const CIMValue& value, int depth)
{
    m_out << '\n';
    std::vector<cim::CIMObject> objects;
    if (!value.isArray())
        objects.push_back(value.get<cim::CIMObject>());
    else if (value.getType() == CIMType::Instance)
        for (auto& instance : value.get<std::vector<cim::CIMInstance>>())
            objects.emplace_back(std::move(instance));
    else
        objects = value.get<std::vector<cim::CIMObject>>();
    for (std::size_t i = 0; i < objects.size(); ++i) {
        if (value.isArray() && value.isElementNull(i)) {
            indent(depth) << "NULL\n";
            continue;
        }
        if (!objects[i].isInstance()) {
            indent(depth) << "class " << objects[i].getClassName() << '\n';
            continue;
        }
        indent(depth) << "instance of " << objects[i].getClassName() << '\n';
        printProperties(objects[i].getInstance(), depth + 1);
    }
}

std::string CIMTextPrinter::valueText(const CIMValue& value)
{
    if (value.isNull())
        return "NULL";
    if (value.getType() != CIMType::String && value.getType() != CIMType::Char16)
        return value.toString();
    if (!value.isArray())
        return quoted(value.getType() == CIMType::String ? value.get<std::string>() : value.toString());
    if (value.getType() == CIMType::Char16)
        return value.toString();
    const auto elements = value.get<std::vector<std::string>>();
    std::string out = "{";
    for (std::size_t i = 0; i < elements.size(); ++i) {
        out += i == 0 ? "" : ",";
        out += value.isElementNull(i) ? "NULL" : quoted(elements[i]);
    }
    return out + "}";
}

} // namespace orvcim
