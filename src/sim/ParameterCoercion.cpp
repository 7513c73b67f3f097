#include "sim/ParameterCoercion.h"

#include "cim/value/CIMException.h"

#include <strings.h>

namespace Merrow::Sim {

namespace {

using cim::CIMException;
using cim::CIMStatusCode;
using cim::CIMType;
using cim::CIMValue;

template <typename T>
CIMValue arrayOf(const std::vector<CIMValue>& elements)
{
    std::vector<T> items;
    items.reserve(elements.size());
    for (const CIMValue& element : elements)
        items.push_back(element.get<T>());
    return CIMValue(std::move(items));
}

CIMValue makeArray(CIMType type, const std::vector<CIMValue>& elements)
{
    switch (type) {
    case CIMType::Boolean:
        return arrayOf<bool>(elements);
    case CIMType::Uint8:
        return arrayOf<std::uint8_t>(elements);
    case CIMType::Sint8:
        return arrayOf<std::int8_t>(elements);
    case CIMType::Uint16:
        return arrayOf<std::uint16_t>(elements);
    case CIMType::Sint16:
        return arrayOf<std::int16_t>(elements);
    case CIMType::Uint32:
        return arrayOf<std::uint32_t>(elements);
    case CIMType::Sint32:
        return arrayOf<std::int32_t>(elements);
    case CIMType::Uint64:
        return arrayOf<std::uint64_t>(elements);
    case CIMType::Sint64:
        return arrayOf<std::int64_t>(elements);
    case CIMType::Real32:
        return arrayOf<float>(elements);
    case CIMType::Real64:
        return arrayOf<double>(elements);
    case CIMType::Char16:
        return arrayOf<char16_t>(elements);
    case CIMType::String:
        return arrayOf<std::string>(elements);
    case CIMType::DateTime:
        return arrayOf<cim::CIMDateTime>(elements);
    case CIMType::Reference:
        return arrayOf<cim::CIMObjectPath>(elements);
    case CIMType::Object:
    case CIMType::Instance:
        break;
    }
    throw CIMException(CIMStatusCode::InvalidParameter, "embedded object arrays are not accepted here");
}

// The elements of a value as texts, for reading them again as another type.
std::vector<std::string> textsOf(const CIMValue& value)
{
    if (value.getType() == CIMType::String)
        return value.isArray() ? value.get<std::vector<std::string>>() : std::vector<std::string>{value.get<std::string>()};
    if (!value.isArray())
        return {value.toString()};
    // "{a,b}" -> the elements; only integers and booleans come this way, which hold no commas.
    std::string text = value.toString();
    std::vector<std::string> items;
    if (text.size() < 2)
        return items;
    text = text.substr(1, text.size() - 2);
    for (std::size_t start = 0; start <= text.size() && !text.empty();) {
        const std::size_t comma = text.find(',', start);
        items.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return items;
}

bool readableAsText(CIMType from, CIMType to)
{
    if (from == CIMType::String)
        return to != CIMType::Object && to != CIMType::Instance;
    return (cim::isIntegerType(from) || from == CIMType::Boolean) && cim::isIntegerType(to);
}

} // namespace

CIMValue ParameterCoercion::convert(const ParameterSpec& spec, const cim::CIMParamValue& given)
{
    const CIMValue& value = given.getValue();
    if (value.isNull())
        return CIMValue(spec.type, spec.isArray);
    if (value.getType() == spec.type && value.isArray() == spec.isArray)
        return value;
    if (value.getType() == spec.type && spec.isArray && spec.type == CIMType::Reference)
        return CIMValue(std::vector<cim::CIMObjectPath>{value.get<cim::CIMObjectPath>()});
    if (!readableAsText(value.getType(), spec.type))
        throw CIMException(CIMStatusCode::InvalidParameter,
                           spec.name + std::string(" must be of type ") + std::string(cim::cimTypeName(spec.type)));
    try {
        const std::vector<std::string> texts = textsOf(value);
        if (!spec.isArray) {
            if (texts.size() != 1)
                throw CIMException(CIMStatusCode::InvalidParameter, spec.name + std::string(" takes one value"));
            return CIMValue::fromText(spec.type, texts.front());
        }
        std::vector<CIMValue> elements;
        for (const std::string& text : texts)
            elements.push_back(CIMValue::fromText(spec.type, text));
        return makeArray(spec.type, elements);
    } catch (const CIMException&) {
        throw;
    } catch (const std::exception& e) {
        throw CIMException(CIMStatusCode::InvalidParameter, spec.name + std::string(": ") + e.what());
    }
}

std::map<std::string, CIMValue> ParameterCoercion::coerce(const std::vector<ParameterSpec>& specs,
                                                          const std::vector<cim::CIMParamValue>& given)
{
    std::map<std::string, CIMValue> values;
    for (const cim::CIMParamValue& parameter : given) {
        const ParameterSpec* spec = nullptr;
        for (const ParameterSpec& candidate : specs) {
            if (::strcasecmp(candidate.name, parameter.getParameterName().c_str()) == 0)
                spec = &candidate;
        }
        if (spec == nullptr)
            throw CIMException(CIMStatusCode::InvalidParameter, "no parameter " + parameter.getParameterName().getString());
        values[spec->name] = convert(*spec, parameter);
    }
    return values;
}

} // namespace Merrow::Sim
