#include "CIMTextPrinter.h"

#include "cim/value/CIMType.h"

namespace orvcim {

using cim::CIMType;
using cim::CIMValue;

CIMTextPrinter::CIMTextPrinter(std::ostream& out)
    : m_out(out)
{
}

namespace {

bool isControl(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

// A sender's text must not be able to start a line of its own in the output, which would
// read as a property or an indication that never came.
void appendEscapedControl(std::string& out, char c)
{
    static constexpr char kHex[] = "0123456789abcdef";
    switch (c) {
    case '\n': out.append("\\n"); return;
    case '\r': out.append("\\r"); return;
    case '\t': out.append("\\t"); return;
    default: break;
    }
    const auto byte = static_cast<unsigned char>(c);
    out.append("\\x");
    out.push_back(kHex[byte >> 4]);
    out.push_back(kHex[byte & 0xF]);
}

} // namespace

std::string CIMTextPrinter::quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (isControl(c)) {
            appendEscapedControl(out, c);
            continue;
        }
        if (c == '"' || c == '\\')
            out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

std::string CIMTextPrinter::printable(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (isControl(c))
            appendEscapedControl(out, c);
        else
            out.push_back(c);
    }
    return out;
}

std::string& CIMTextPrinter::indent(int depth)
{
    return m_block.append(static_cast<std::size_t>(depth) * 2, ' ');
}

// One write per block: the stream is not touched line by line.
void CIMTextPrinter::writeBlock()
{
    m_out.write(m_block.data(), static_cast<std::streamsize>(m_block.size()));
    m_block.clear();
}

void CIMTextPrinter::printInstance(const cim::CIMInstance& instance)
{
    if (instance.getPath().isNull())
        m_block.append("instance of ").append(instance.getClassName().getString());
    else
        m_block.append(printable(instance.getPath().toString()));
    m_block += '\n';
    printProperties(instance, 1);
    m_block += '\n';
    writeBlock();
}

void CIMTextPrinter::printObject(const cim::CIMObject& object)
{
    if (object.isInstance())
        return printInstance(object.getInstance());
    m_block.append("class ").append(object.getClassName().getString()).append("\n\n");
    writeBlock();
}

void CIMTextPrinter::printPath(const cim::CIMObjectPath& path)
{
    m_block.append(printable(path.toString())).append("\n\n");
    writeBlock();
}

void CIMTextPrinter::printPathLine(const cim::CIMObjectPath& path)
{
    m_block.append(printable(path.toString())) += '\n';
    writeBlock();
}

void CIMTextPrinter::printMethodResult(const CIMValue& returnValue, const std::vector<cim::CIMParamValue>& outParameters)
{
    m_block.append("ReturnValue = ").append(valueText(returnValue)) += '\n';
    for (const cim::CIMParamValue& parameter : outParameters)
        printValueLine(parameter.getParameterName().getString(), parameter.getValue(), 0);
    m_block += '\n';
    writeBlock();
}

void CIMTextPrinter::printLine(const std::string& text)
{
    m_block.append(printable(text)).append("\n\n");
    writeBlock();
}

void CIMTextPrinter::printProperties(const cim::CIMInstance& instance, int depth)
{
    for (const cim::CIMProperty& property : instance.getProperties()) {
        indent(depth).append(property.getName().getString()).append(" : ").append(cim::cimTypeName(property.getType()));
        if (property.isArray())
            m_block.append("[]");
        printValue(property.getValue(), depth);
    }
}

void CIMTextPrinter::printValueLine(const std::string& name, const CIMValue& value, int depth)
{
    indent(depth).append(name);
    printValue(value, depth);
}

// " = value" and the end of the line, or the nested blocks of embedded objects.
void CIMTextPrinter::printValue(const CIMValue& value, int depth)
{
    m_block.append(" =");
    if (cim::isEmbeddedType(value.getType()) && !value.isNull())
        return printEmbedded(value, depth + 1);
    m_block.append(" ").append(valueText(value)) += '\n';
}

// An embedded instance is printed as a nested block, one per array element.
void CIMTextPrinter::printEmbedded(const CIMValue& value, int depth)
{
    m_block += '\n';
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
            indent(depth).append("NULL\n");
            continue;
        }
        if (!objects[i].isInstance()) {
            indent(depth).append("class ").append(objects[i].getClassName().getString()) += '\n';
            continue;
        }
        indent(depth).append("instance of ").append(objects[i].getClassName().getString()) += '\n';
        printProperties(objects[i].getInstance(), depth + 1);
    }
}

std::string CIMTextPrinter::valueText(const CIMValue& value)
{
    if (value.isNull())
        return "NULL";
    if (value.getType() != CIMType::String && value.getType() != CIMType::Char16)
        return printable(value.toString());
    if (!value.isArray())
        return quoted(value.getType() == CIMType::String ? value.get<std::string>() : value.toString());
    if (value.getType() == CIMType::Char16)
        return printable(value.toString());
    const auto elements = value.get<std::vector<std::string>>();
    std::string out = "{";
    for (std::size_t i = 0; i < elements.size(); ++i) {
        out += i == 0 ? "" : ",";
        out += value.isElementNull(i) ? "NULL" : quoted(elements[i]);
    }
    return out + "}";
}

} // namespace orvcim
