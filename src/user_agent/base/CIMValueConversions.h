#pragma once

// Reading CIM values into C++ types the way the client library needs them: integers of any
// CIM width into any C++ width when the number fits, booleans as 0/1 where a number is
// wanted, and arrays element by element. Everything else must match exactly.

#include "cim/value/CIMDateTime.h"
#include "cim/value/CIMObjectPath.h"
#include "cim/value/CIMValue.h"

#include <cstdint>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace Merrow::UserAgent {

// A boolean or integer value of any width; `isNegative` tells which member holds it.
struct CIMWideInteger {
    bool isNegative = false;
    std::uint64_t magnitude = 0; // when not negative
    std::int64_t negative = 0;   // when negative

    template <typename T> bool fitsInto() const {
        return isNegative ? std::in_range<T>(negative) : std::in_range<T>(magnitude);
    }
    template <typename T> T as() const {
        return isNegative ? static_cast<T>(negative) : static_cast<T>(magnitude);
    }
};

// Null for anything but a non-null scalar boolean or integer.
std::optional<CIMWideInteger> CIMValueToWideInteger(const cim::CIMValue& value);
// Null for anything but a non-null array of booleans or integers.
std::optional<std::vector<CIMWideInteger>> CIMValueToWideIntegers(const cim::CIMValue& value);

// The low 32 bits of a boolean or integer of any width, as a C cast would give them (an
// extrinsic method's return value is a uint32, but arrays have been seen sending sint32).
std::optional<std::uint32_t> CIMValueToUint32(const cim::CIMValue& value);
// A non-negative boolean or integer of any width.
std::optional<std::uint64_t> CIMValueToUint64(const cim::CIMValue& value);
// As CIMValueToUint64, and decimal text as well: some arrays send numbers untyped.
std::optional<std::uint64_t> CIMValueOrTextToUint64(const cim::CIMValue& value);

namespace detail {
template <typename T> struct IsVector : std::false_type {};
template <typename E> struct IsVector<std::vector<E>> : std::true_type {};

template <typename T>
inline constexpr bool isCIMInteger = std::is_integral_v<T> && !std::is_same_v<T, bool> &&
                                     !std::is_same_v<T, char> && !std::is_same_v<T, char16_t>;

template <typename T> struct IsIntegerVector : std::false_type {};
template <typename E>
struct IsIntegerVector<std::vector<E>> : std::bool_constant<isCIMInteger<E>> {};

template <typename T>
bool integersInto(const std::vector<CIMWideInteger>& numbers, std::vector<T>& out) {
    std::vector<T> result;
    result.reserve(numbers.size());
    for (const CIMWideInteger& number : numbers) {
        if (!number.fitsInto<T>())
            return false;
        result.push_back(number.as<T>());
    }
    out = std::move(result);
    return true;
}
} // namespace detail

// Converts a non-null `value` into `out`; false (and `out` untouched) when the value is null,
// of another kind, or a number that does not fit. T is one of std::string, bool, an integer
// type, cim::CIMObjectPath, cim::CIMDateTime, or a std::vector of one of them.
template <typename T> bool CIMValueTo(const cim::CIMValue& value, T& out) {
    if (value.isNull())
        return false;
    if constexpr (detail::isCIMInteger<T>) {
        const auto number = CIMValueToWideInteger(value);
        if (!number || !number->template fitsInto<T>())
            return false;
        out = number->template as<T>();
        return true;
    } else if constexpr (detail::IsIntegerVector<T>::value) {
        const auto numbers = CIMValueToWideIntegers(value);
        return numbers && detail::integersInto(*numbers, out);
    } else {
        constexpr cim::CIMType type = [] {
            using E = typename std::conditional_t<detail::IsVector<T>::value, T,
                                                  std::vector<T>>::value_type;
            static_assert(std::is_same_v<E, std::string> || std::is_same_v<E, bool> ||
                              std::is_same_v<E, cim::CIMObjectPath> ||
                              std::is_same_v<E, cim::CIMDateTime>,
                          "no CIM conversion for this type");
            if constexpr (std::is_same_v<E, std::string>)
                return cim::CIMType::String;
            else if constexpr (std::is_same_v<E, bool>)
                return cim::CIMType::Boolean;
            else if constexpr (std::is_same_v<E, cim::CIMObjectPath>)
                return cim::CIMType::Reference;
            else
                return cim::CIMType::DateTime;
        }();
        if (value.getType() != type || value.isArray() != detail::IsVector<T>::value)
            return false;
        out = value.get<T>();
        return true;
    }
}

} // namespace Merrow::UserAgent
