#include "sim/CimJson.h"

#include "cim/value/CIMObject.h"
#include "cim/value/CIMProperty.h"
#include "cim/value/CIMType.h"

#include <stdexcept>

namespace Merrow::Sim {

namespace {

template <typename T>
nlohmann::json scalarOrArray(const cim::CIMValue& value)
{
    if (!value.isArray())
        return value.get<T>();
    nlohmann::json list = nlohmann::json::array();
    const auto items = value.get<std::vector<T>>();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (value.isElementNull(i))
            list.push_back(nullptr);
        else
            list.push_back(items[i]);
    }
    return list;
}

template <typename T>
cim::CIMValue fromJsonAs(const nlohmann::json& json, bool isArray)
{
    if (!isArray)
        return cim::CIMValue(json.get<T>());
    std::vector<T> items;
    std::vector<bool> nulls;
    bool anyNull = false;
    for (const nlohmann::json& item : json) {
        nulls.push_back(item.is_null());
        anyNull = anyNull || item.is_null();
        items.push_back(item.is_null() ? T{} : item.get<T>());
    }
    cim::CIMValue value(std::move(items));
    if (anyNull)
        value.setNullElements(std::move(nulls));
    return value;
}

// Texts stand in for the types nlohmann cannot hold directly.
nlohmann::json textual(const cim::CIMValue& value)
{
    auto one = [&](std::size_t index) -> nlohmann::json {
        switch (value.getType()) {
        case cim::CIMType::DateTime:
            return value.isArray() ? value.get<std::vector<cim::CIMDateTime>>()[index].toString()
                                   : value.get<cim::CIMDateTime>().toString();
        case cim::CIMType::Reference:
            return value.isArray() ? value.get<std::vector<cim::CIMObjectPath>>()[index].toString()
                                   : value.get<cim::CIMObjectPath>().toString();
        case cim::CIMType::Char16:
            return static_cast<unsigned>(value.isArray() ? value.get<std::vector<char16_t>>()[index]
                                                         : value.get<char16_t>());
        default:
            return CimJson::instanceToJson(value.isArray() ? value.get<std::vector<cim::CIMInstance>>()[index]
                                                           : value.get<cim::CIMInstance>());
        }
    };
    if (!value.isArray())
        return one(0);
    nlohmann::json list = nlohmann::json::array();
    for (std::size_t i = 0; i < value.getArraySize(); ++i)
        list.push_back(value.isElementNull(i) ? nlohmann::json(nullptr) : one(i));
    return list;
}

nlohmann::json payload(const cim::CIMValue& value)
{
    using cim::CIMType;
    switch (value.getType()) {
    case CIMType::Boolean:
        return scalarOrArray<bool>(value);
    case CIMType::Uint8:
        return scalarOrArray<std::uint8_t>(value);
    case CIMType::Sint8:
        return scalarOrArray<std::int8_t>(value);
    case CIMType::Uint16:
        return scalarOrArray<std::uint16_t>(value);
    case CIMType::Sint16:
        return scalarOrArray<std::int16_t>(value);
    case CIMType::Uint32:
        return scalarOrArray<std::uint32_t>(value);
    case CIMType::Sint32:
        return scalarOrArray<std::int32_t>(value);
    case CIMType::Uint64:
        return scalarOrArray<std::uint64_t>(value);
    case CIMType::Sint64:
        return scalarOrArray<std::int64_t>(value);
    case CIMType::Real32:
        return scalarOrArray<float>(value);
    case CIMType::Real64:
        return scalarOrArray<double>(value);
    case CIMType::String:
        return scalarOrArray<std::string>(value);
    case CIMType::Char16:
    case CIMType::DateTime:
    case CIMType::Reference:
    case CIMType::Object:
    case CIMType::Instance:
        return textual(value);
    }
    throw std::invalid_argument("unknown CIM type");
}

cim::CIMValue textualFromJson(cim::CIMType type, const nlohmann::json& json, bool isArray)
{
    auto one = [&](const nlohmann::json& item) -> cim::CIMValue {
        switch (type) {
        case cim::CIMType::DateTime:
            return cim::CIMValue(cim::CIMDateTime(item.get<std::string>()));
        case cim::CIMType::Reference:
            return cim::CIMValue(cim::CIMObjectPath::parse(item.get<std::string>()));
        case cim::CIMType::Char16:
            return cim::CIMValue(static_cast<char16_t>(item.get<unsigned>()));
        case cim::CIMType::Object:
            return cim::CIMValue(cim::CIMObject(CimJson::instanceFromJson(item)));
        default:
            return cim::CIMValue(CimJson::instanceFromJson(item));
        }
    };
    if (!isArray)
        return one(json);
    switch (type) {
    case cim::CIMType::DateTime: {
        std::vector<cim::CIMDateTime> items;
        for (const auto& item : json)
            items.push_back(one(item).get<cim::CIMDateTime>());
        return cim::CIMValue(std::move(items));
    }
    case cim::CIMType::Reference: {
        std::vector<cim::CIMObjectPath> items;
        for (const auto& item : json)
            items.push_back(one(item).get<cim::CIMObjectPath>());
        return cim::CIMValue(std::move(items));
    }
    case cim::CIMType::Char16: {
        std::vector<char16_t> items;
        for (const auto& item : json)
            items.push_back(static_cast<char16_t>(item.get<unsigned>()));
        return cim::CIMValue(std::move(items));
    }
    default: {
        std::vector<cim::CIMInstance> items;
        for (const auto& item : json)
            items.push_back(CimJson::instanceFromJson(item));
        return cim::CIMValue(std::move(items));
    }
    }
}

} // namespace

nlohmann::json CimJson::valueToJson(const cim::CIMValue& value)
{
    return {{"type", std::string(cim::cimTypeName(value.getType()))},
            {"array", value.isArray()},
            {"value", value.isNull() ? nlohmann::json(nullptr) : payload(value)}};
}

cim::CIMValue CimJson::valueFromJson(const nlohmann::json& json)
{
    const auto type = cim::cimTypeFromName(json.at("type").get<std::string>());
    if (!type)
        throw std::invalid_argument("unknown CIM type " + json.at("type").dump());
    const bool isArray = json.value("array", false);
    const nlohmann::json& data = json.at("value");
    if (data.is_null())
        return cim::CIMValue(*type, isArray);
    using cim::CIMType;
    switch (*type) {
    case CIMType::Boolean:
        return fromJsonAs<bool>(data, isArray);
    case CIMType::Uint8:
        return fromJsonAs<std::uint8_t>(data, isArray);
    case CIMType::Sint8:
        return fromJsonAs<std::int8_t>(data, isArray);
    case CIMType::Uint16:
        return fromJsonAs<std::uint16_t>(data, isArray);
    case CIMType::Sint16:
        return fromJsonAs<std::int16_t>(data, isArray);
    case CIMType::Uint32:
        return fromJsonAs<std::uint32_t>(data, isArray);
    case CIMType::Sint32:
        return fromJsonAs<std::int32_t>(data, isArray);
    case CIMType::Uint64:
        return fromJsonAs<std::uint64_t>(data, isArray);
    case CIMType::Sint64:
        return fromJsonAs<std::int64_t>(data, isArray);
    case CIMType::Real32:
        return fromJsonAs<float>(data, isArray);
    case CIMType::Real64:
        return fromJsonAs<double>(data, isArray);
    case CIMType::String:
        return fromJsonAs<std::string>(data, isArray);
    case CIMType::Char16:
    case CIMType::DateTime:
    case CIMType::Reference:
    case CIMType::Object:
    case CIMType::Instance:
        return textualFromJson(*type, data, isArray);
    }
    throw std::invalid_argument("unknown CIM type");
}

nlohmann::json CimJson::instanceToJson(const cim::CIMInstance& instance)
{
    nlohmann::json properties = nlohmann::json::array();
    for (const cim::CIMProperty& property : instance.getProperties()) {
        nlohmann::json entry = valueToJson(property.getValue());
        entry["name"] = property.getName().getString();
        properties.push_back(std::move(entry));
    }
    return {{"class", instance.getClassName().getString()}, {"properties", std::move(properties)}};
}

cim::CIMInstance CimJson::instanceFromJson(const nlohmann::json& json)
{
    cim::CIMInstance instance(cim::CIMName(json.at("class").get<std::string>()));
    for (const nlohmann::json& entry : json.at("properties"))
        instance.addProperty(cim::CIMProperty(entry.at("name").get<std::string>(), valueFromJson(entry)));
    return instance;
}

} // namespace Merrow::Sim
