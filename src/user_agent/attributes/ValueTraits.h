#pragma once

// How each value type of facade signatures converts to and from text, as ValueTypeOps
// instances: valueTypeOps<T>() answers the one instance for T. Strings, booleans, integers,
// floating values, StorageSize, DateTime, the UAEnums enumerations, service handles and
// vectors of any of these. A type outside that list still gets an instance (type "None")
// whose text conversion fails, so that a new facade operation never breaks the build.

#include "user_agent/attributes/ValueText.h"
#include "user_agent/attributes/ValueTypeOps.h"
#include "user_agent/base/DateTime.h"
#include "user_agent/base/EnumBase.h"
#include "user_agent/base/StorageSize.h"
#include "user_agent/indications/MerrowService.h"

#include <any>
#include <limits>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

namespace Merrow::UserAgent {

// The class name of a handle type ("Service_Disk"); specialised for every facade by the
// generated AllServiceHandles.h.
template <typename Handle>
struct HandleName;

// A handle of `typeName` as a std::any holding the typed handle, through that class's
// registry. Throws MWEDataConversionError when `service` is of another class.
std::any ServiceAsHandleValue(const char* typeName, const MerrowService& service);
// The instance id text that names a handle in summaries and lists: "<serial>:<class>".
std::string ServiceText(const MerrowService& service);

// Type ids are UAEnums::UAValueType values.
enum ValueTypeId : std::int32_t {
    kTypeNone = 0, kTypeInteger = 1, kTypeFloat = 3, kTypeBoolean = 5, kTypeDateTime = 7,
    kTypeStorageSize = 9, kTypeString = 11, kTypeEnum = 13, kTypeService = 15,
};

template <typename T>
struct ValueTraits {
    static constexpr bool isHandle = std::is_base_of_v<MerrowService, T>;
    static constexpr bool isEnum = std::is_base_of_v<EnumBase, T>;
    static constexpr bool isInteger = std::is_integral_v<T> && !std::is_same_v<T, bool>;

    static constexpr std::int32_t typeId() {
        if constexpr (std::is_same_v<T, std::string>) return kTypeString;
        else if constexpr (std::is_same_v<T, bool>) return kTypeBoolean;
        else if constexpr (isInteger) return kTypeInteger;
        else if constexpr (std::is_floating_point_v<T>) return kTypeFloat;
        else if constexpr (std::is_same_v<T, StorageSize>) return kTypeStorageSize;
        else if constexpr (std::is_same_v<T, DateTime>) return kTypeDateTime;
        else if constexpr (isEnum) return kTypeEnum;
        else if constexpr (isHandle) return kTypeService;
        else return kTypeNone;
    }

    static const char* typeName() {
        if constexpr (std::is_same_v<T, std::string>) return "std::string";
        else if constexpr (std::is_same_v<T, bool>) return "bool";
        else if constexpr (std::is_same_v<T, std::uint8_t>) return "Uint8";
        else if constexpr (std::is_same_v<T, std::uint16_t>) return "Uint16";
        else if constexpr (std::is_same_v<T, std::uint32_t>) return "Uint32";
        else if constexpr (std::is_same_v<T, std::uint64_t>) return "Uint64";
        else if constexpr (isInteger) return "Integer";
        else if constexpr (std::is_floating_point_v<T>) return "Float";
        else if constexpr (std::is_same_v<T, StorageSize>) return "StorageSize";
        else if constexpr (std::is_same_v<T, DateTime>) return "DateTime";
        else if constexpr (isEnum) return T::kClassName;
        else if constexpr (isHandle) return HandleName<T>::value;
        else return "None";
    }

    static std::string toText(const T& value) {
        if constexpr (std::is_same_v<T, std::string>) return value;
        else if constexpr (std::is_same_v<T, bool>) return ValueText::fromBool(value);
        else if constexpr (isInteger) return std::to_string(value);
        else if constexpr (std::is_floating_point_v<T>) {
            std::ostringstream text;
            text << value;
            return text.str();
        } else if constexpr (std::is_same_v<T, StorageSize>) return value.toString(true);
        else if constexpr (std::is_same_v<T, DateTime>) return value.toString();
        else if constexpr (isEnum) return value.c_str();
        else if constexpr (isHandle) return ServiceText(value);
        else return "<no text form>";
    }

    static T fromText(const std::string& text, const ValueContext& context) {
        if constexpr (std::is_same_v<T, std::string>) return text;
        else if constexpr (std::is_same_v<T, bool>) return ValueText::toBool(text);
        else if constexpr (std::is_unsigned_v<T> && isInteger)
            return static_cast<T>(ValueText::toUnsigned(text, std::numeric_limits<T>::max(), typeName()));
        else if constexpr (isInteger)
            return static_cast<T>(ValueText::toSigned(text, std::numeric_limits<T>::min(),
                                                      std::numeric_limits<T>::max(), typeName()));
        else if constexpr (std::is_floating_point_v<T>) return static_cast<T>(ValueText::toFloat(text, typeName()));
        else if constexpr (std::is_same_v<T, StorageSize> || std::is_same_v<T, DateTime>) return T(text);
        else if constexpr (isEnum) {
            T value;
            if (!value.set(text))
                ValueText::fail(text, typeName());
            return value;
        } else if constexpr (isHandle) return handleFromText(text, context);
        else ValueText::fail(text, typeName());
    }

    static void toServices(const T& value, std::vector<MerrowService>& services) {
        if constexpr (isHandle)
            services.push_back(value);
    }

    static void toItemTexts(const T&, std::vector<std::string>&) {}

    static std::vector<std::string> choices() {
        if constexpr (isEnum) return T().getSettableTexts();
        else return {};
    }

private:
    static T handleFromText(const std::string& text, const ValueContext& context) {
        MerrowService service;
        if (!context.resolver || context.resolver(typeName(), text, service).isFailure())
            ValueText::fail(text, typeName());
        return std::any_cast<T>(ServiceAsHandleValue(typeName(), service));
    }
};

template <typename Item>
struct ValueTraits<std::vector<Item>> {
    using ItemTraits = ValueTraits<Item>;
    static constexpr std::int32_t typeId() {
        return ItemTraits::typeId() == kTypeNone ? kTypeNone : ItemTraits::typeId() + 1;
    }
    static const char* typeName() { return ItemTraits::typeName(); }
    static std::string toText(const std::vector<Item>& values) {
        std::vector<std::string> items;
        for (const Item& value : values)
            items.push_back(ItemTraits::toText(value));
        return ValueText::joinList(items);
    }
    static std::vector<Item> fromText(const std::string& text, const ValueContext& context) {
        std::vector<Item> values;
        for (const std::string& item : ValueText::splitList(text))
            values.push_back(ItemTraits::fromText(item, context));
        return values;
    }
    static void toServices(const std::vector<Item>& values, std::vector<MerrowService>& services) {
        for (const Item& value : values)
            ItemTraits::toServices(value, services);
    }
    static void toItemTexts(const std::vector<Item>& values, std::vector<std::string>& items) {
        for (const Item& value : values)
            items.push_back(ItemTraits::toText(value));
    }
    static std::vector<std::string> choices() { return ItemTraits::choices(); }
};

template <typename T>
struct ValueTraitsList : std::false_type {};
template <typename Item>
struct ValueTraitsList<std::vector<Item>> : std::true_type {};

template <typename T>
const ValueTypeOps& valueTypeOps() {
    using Traits = ValueTraits<T>;
    static const ValueTypeOps ops{
        Traits::typeName(),
        Traits::typeId(),
        Traits::typeId() == kTypeService || Traits::typeId() == kTypeService + 1,
        ValueTraitsList<T>::value,
        [](const std::any& value) { return Traits::toText(std::any_cast<const T&>(value)); },
        [](const std::string& text, const ValueContext& context, std::any& value) {
            value = Traits::fromText(text, context);
        },
        [](const std::any& value, std::vector<MerrowService>& services) {
            Traits::toServices(std::any_cast<const T&>(value), services);
        },
        [](const std::any& value, std::vector<std::string>& items) {
            Traits::toItemTexts(std::any_cast<const T&>(value), items);
        },
        &Traits::choices,
    };
    return ops;
}

} // namespace Merrow::UserAgent
