#include "user_agent/base/CIMValueConversions.h"

#include <charconv>

namespace Merrow::UserAgent {

namespace {

template <typename T> CIMWideInteger widen(T number) {
    CIMWideInteger wide;
    if constexpr (std::is_signed_v<T>) {
        if (number < 0) {
            wide.isNegative = true;
            wide.negative = number;
            return wide;
        }
    }
    wide.magnitude = static_cast<std::uint64_t>(number);
    return wide;
}

template <typename T> std::vector<CIMWideInteger> widenAll(const std::vector<T>& numbers) {
    std::vector<CIMWideInteger> wide;
    wide.reserve(numbers.size());
    for (T number : numbers)
        wide.push_back(widen(number));
    return wide;
}

// Calls `read` with a value-initialised object of the C++ type that holds `type`, or
// returns null for a type that is neither boolean nor integer.
template <typename Result, typename Read>
std::optional<Result> byIntegerType(cim::CIMType type, Read read) {
    switch (type) {
    case cim::CIMType::Boolean:
        return read(bool{});
    case cim::CIMType::Uint8:
        return read(std::uint8_t{});
    case cim::CIMType::Sint8:
        return read(std::int8_t{});
    case cim::CIMType::Uint16:
        return read(std::uint16_t{});
    case cim::CIMType::Sint16:
        return read(std::int16_t{});
    case cim::CIMType::Uint32:
        return read(std::uint32_t{});
    case cim::CIMType::Sint32:
        return read(std::int32_t{});
    case cim::CIMType::Uint64:
        return read(std::uint64_t{});
    case cim::CIMType::Sint64:
        return read(std::int64_t{});
    case cim::CIMType::Real32:
    case cim::CIMType::Real64:
    case cim::CIMType::Char16:
    case cim::CIMType::String:
    case cim::CIMType::DateTime:
    case cim::CIMType::Reference:
    case cim::CIMType::Object:
    case cim::CIMType::Instance:
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

std::optional<CIMWideInteger> CIMValueToWideInteger(const cim::CIMValue& value) {
    if (value.isNull() || value.isArray())
        return std::nullopt;
    return byIntegerType<CIMWideInteger>(
        value.getType(), [&](auto tag) { return widen(value.get<decltype(tag)>()); });
}

std::optional<std::vector<CIMWideInteger>> CIMValueToWideIntegers(const cim::CIMValue& value) {
    if (value.isNull() || !value.isArray())
        return std::nullopt;
    return byIntegerType<std::vector<CIMWideInteger>>(value.getType(), [&](auto tag) {
        return widenAll(value.get<std::vector<decltype(tag)>>());
    });
}

std::optional<std::uint32_t> CIMValueToUint32(const cim::CIMValue& value) {
    const auto number = CIMValueToWideInteger(value);
    if (!number)
        return std::nullopt;
    return number->as<std::uint32_t>();
}

std::optional<std::uint64_t> CIMValueToUint64(const cim::CIMValue& value) {
    const auto number = CIMValueToWideInteger(value);
    if (!number || number->isNegative)
        return std::nullopt;
    return number->magnitude;
}

std::optional<std::uint64_t> CIMValueOrTextToUint64(const cim::CIMValue& value) {
    if (value.isNull() || value.isArray() || value.getType() != cim::CIMType::String)
        return CIMValueToUint64(value);
    const std::string& text = value.get<std::string>();
    std::uint64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

} // namespace Merrow::UserAgent
