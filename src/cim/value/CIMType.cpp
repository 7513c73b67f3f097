#include "cim/value/CIMType.h"

#include <array>
#include <utility>

#include "cim/value/CIMTextRules.h"

namespace cim {
namespace {

constexpr std::array<std::pair<CIMType, std::string_view>, 17> kTypeNames{{
    {CIMType::Boolean, "boolean"},     {CIMType::Uint8, "uint8"},
    {CIMType::Sint8, "sint8"},         {CIMType::Uint16, "uint16"},
    {CIMType::Sint16, "sint16"},       {CIMType::Uint32, "uint32"},
    {CIMType::Sint32, "sint32"},       {CIMType::Uint64, "uint64"},
    {CIMType::Sint64, "sint64"},       {CIMType::Real32, "real32"},
    {CIMType::Real64, "real64"},       {CIMType::Char16, "char16"},
    {CIMType::String, "string"},       {CIMType::DateTime, "datetime"},
    {CIMType::Reference, "reference"}, {CIMType::Object, "object"},
    {CIMType::Instance, "instance"},
}};

} // namespace

std::string_view cimTypeName(CIMType type) noexcept {
    for (const auto& [candidate, name] : kTypeNames) {
        if (candidate == type) {
            return name;
        }
    }
    return "unknown";
}

std::optional<CIMType> cimTypeFromName(std::string_view name) noexcept {
    for (const auto& [type, candidate] : kTypeNames) {
        if (detail::equalNoCase(candidate, name)) {
            return type;
        }
    }
    return std::nullopt;
}

bool isIntegerType(CIMType type) noexcept {
    return type >= CIMType::Uint8 && type <= CIMType::Sint64;
}

bool isSignedIntegerType(CIMType type) noexcept {
    return type == CIMType::Sint8 || type == CIMType::Sint16 || type == CIMType::Sint32 ||
           type == CIMType::Sint64;
}

bool isRealType(CIMType type) noexcept { return type == CIMType::Real32 || type == CIMType::Real64; }

bool isEmbeddedType(CIMType type) noexcept {
    return type == CIMType::Object || type == CIMType::Instance;
}

} // namespace cim
