#include "ValueArgument.h"

#include "cim/value/CIMInstance.h"
#include "cim/value/CIMName.h"
#include "cim/value/CIMObject.h"
#include "cim/value/CIMObjectPath.h"
#include "cim/value/CIMValueError.h"

#include <algorithm>
#include <stdexcept>

namespace orvcim {

using cim::CIMType;
using cim::CIMValue;

namespace {

// Splits at commas outside quotes. An element that starts with a quote is a string: its
// quotes go and \" and \\ are unescaped. Any other element (a path with quoted keys, say)
// is kept as written.
std::vector<std::pair<std::string, bool>> splitElements(std::string_view text, bool list)
{
    std::vector<std::pair<std::string, bool>> elements;
    std::string current;
    bool quotedElement = false;
    bool inQuotes = false;
    bool atStart = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inQuotes && c == '\\' && i + 1 < text.size()) {
            if (!quotedElement)
                current.push_back(c);
            current.push_back(text[++i]);
        } else if (c == '"') {
            quotedElement |= atStart;
            inQuotes = !inQuotes;
            if (!quotedElement)
                current.push_back(c);
        } else if (c == ',' && list && !inQuotes) {
            elements.emplace_back(std::move(current), quotedElement);
            current.clear();
            quotedElement = false;
            atStart = true;
            continue;
        } else {
            current.push_back(c);
        }
        atStart = false;
    }
    if (inQuotes)
        throw std::invalid_argument("unterminated quote in \"" + std::string(text) + "\"");
    if (list && text.empty())
        return elements;
    elements.emplace_back(std::move(current), quotedElement);
    return elements;
}

// A path of an instance: class and keys, the namespace optional.
bool looksLikeInstancePath(const std::string& text)
{
    if (text.find('=') == std::string::npos || text.find('.') == std::string::npos)
        return false;
    try {
        return cim::CIMObjectPath::parse(text).hasKeys();
    } catch (const cim::CIMValueError&) {
        return false;
    }
}

bool isInteger(const std::string& text)
{
    const std::size_t digits = text.starts_with('-') ? 1 : 0;
    return text.size() > digits && std::all_of(text.begin() + digits, text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isReal(const std::string& text)
{
    try {
        std::size_t used = 0;
        std::stod(text, &used);
        return used == text.size();
    } catch (const std::exception&) {
        return false;
    }
}

bool isBoolean(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text == "TRUE" || text == "FALSE";
}

template <typename T>
CIMValue arrayOf(const std::vector<CIMValue>& elements)
{
    std::vector<T> values;
    values.reserve(elements.size());
    for (const CIMValue& element : elements)
        values.push_back(element.get<T>());
    return CIMValue(std::move(values));
}

CIMValue arrayValue(CIMType type, const std::vector<CIMValue>& elements)
{
    switch (type) {
    case CIMType::Boolean: return arrayOf<bool>(elements);
    case CIMType::Uint8: return arrayOf<std::uint8_t>(elements);
    case CIMType::Sint8: return arrayOf<std::int8_t>(elements);
    case CIMType::Uint16: return arrayOf<std::uint16_t>(elements);
    case CIMType::Sint16: return arrayOf<std::int16_t>(elements);
    case CIMType::Uint32: return arrayOf<std::uint32_t>(elements);
    case CIMType::Sint32: return arrayOf<std::int32_t>(elements);
    case CIMType::Uint64: return arrayOf<std::uint64_t>(elements);
    case CIMType::Sint64: return arrayOf<std::int64_t>(elements);
    case CIMType::Real32: return arrayOf<float>(elements);
    case CIMType::Real64: return arrayOf<double>(elements);
    case CIMType::Char16: return arrayOf<char16_t>(elements);
    case CIMType::String: return arrayOf<std::string>(elements);
    case CIMType::DateTime: return arrayOf<cim::CIMDateTime>(elements);
    case CIMType::Reference: return arrayOf<cim::CIMObjectPath>(elements);
    case CIMType::Object:
    case CIMType::Instance: break;
    }
    throw std::invalid_argument("embedded objects cannot be given on the command line");
}

std::optional<CIMType> typeNamed(std::string_view name)
{
    if (name == "ref")
        return CIMType::Reference;
    return cim::cimTypeFromName(name);
}

} // namespace

ValueArgument ValueArgument::parse(std::string_view text)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos || equals == 0)
        throw std::invalid_argument("expected name=value, got \"" + std::string(text) + "\"");
    std::string_view name = text.substr(0, equals);
    std::string_view value = text.substr(equals + 1);

    ValueArgument argument;
    const std::size_t colon = name.find(':');
    if (colon != std::string_view::npos) {
        std::string_view typeName = name.substr(colon + 1);
        if (typeName.ends_with("[]")) {
            argument.m_isArray = true;
            typeName.remove_suffix(2);
        }
        argument.m_type = typeNamed(typeName);
        if (!argument.m_type)
            throw std::invalid_argument("unknown type \"" + std::string(typeName) + "\"");
        name = name.substr(0, colon);
    }
    if (!cim::CIMName::legal(name))
        throw std::invalid_argument("\"" + std::string(name) + "\" is not a CIM name");
    argument.m_name = std::string(name);

    if (value == "NULL") {
        argument.m_isNull = true;
        return argument;
    }
    const bool braced = value.size() >= 2 && value.front() == '{' && value.back() == '}';
    if (braced) {
        if (argument.m_type && !argument.m_isArray)
            throw std::invalid_argument(argument.m_name + " is declared " + std::string(cim::cimTypeName(*argument.m_type))
                                        + ", not an array, but given a list");
        argument.m_isArray = true;
        value = value.substr(1, value.size() - 2);
    }
    for (auto& [element, quoted] : splitElements(value, argument.m_isArray))
        argument.m_elements.push_back({std::move(element), quoted});
    return argument;
}

CIMType ValueArgument::guessedType() const
{
    if (m_elements.empty())
        return CIMType::String;
    auto all = [this](auto predicate) {
        return std::all_of(m_elements.begin(), m_elements.end(), [&](const Element& e) { return !e.quoted && predicate(e.text); });
    };
    if (all(looksLikeInstancePath))
        return CIMType::Reference;
    if (all(isBoolean))
        return CIMType::Boolean;
    if (all(isInteger))
        return all([](const std::string& t) { return !t.starts_with('-'); }) ? CIMType::Uint64 : CIMType::Sint64;
    if (all(isReal))
        return CIMType::Real64;
    return CIMType::String;
}

CIMValue ValueArgument::typedValue(CIMType type, bool isArray) const
{
    if (m_isNull)
        return CIMValue(type, isArray);
    try {
        std::vector<CIMValue> elements;
        for (const Element& element : m_elements)
            elements.push_back(CIMValue::fromText(type, element.text));
        if (isArray)
            return arrayValue(type, elements);
        if (elements.size() != 1)
            throw std::invalid_argument(m_name + " takes one value, not a list");
        return elements.front();
    } catch (const cim::CIMValueError& e) {
        throw std::invalid_argument(m_name + ": " + e.what());
    }
}

cim::CIMParamValue ValueArgument::toParameter() const
{
    if (m_type)
        return {m_name, typedValue(*m_type, m_isArray)};
    const CIMType guess = guessedType();
    const bool allQuoted = !m_elements.empty()
                           && std::all_of(m_elements.begin(), m_elements.end(), [](const Element& e) { return e.quoted; });
    if (guess == CIMType::Reference || allQuoted || m_isNull)
        return {m_name, typedValue(guess, m_isArray)};
    // Numbers, booleans and words go as text; the server knows the parameter's type.
    return {m_name, typedValue(CIMType::String, m_isArray), false};
}

cim::CIMProperty ValueArgument::toProperty(std::optional<CIMType> knownType, std::optional<bool> knownArray) const
{
    const CIMType type = m_type ? *m_type : knownType ? *knownType : guessedType();
    const bool isArray = m_type ? m_isArray : knownArray ? *knownArray : m_isArray;
    return cim::CIMProperty(m_name, typedValue(type, isArray));
}

} // namespace orvcim
