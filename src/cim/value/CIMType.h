// CIMType: the CIM data types a value can have.
#pragma once

#include <optional>
#include <string_view>

namespace cim {

/// The CIM data types. Object and Instance are embedded objects: a value of type Instance
/// always holds an instance, a value of type Object an instance or a class (on the wire:
/// a string property or parameter with EmbeddedObject="instance" or "object").
enum class CIMType {
    Boolean,
    Uint8,
    Sint8,
    Uint16,
    Sint16,
    Uint32,
    Sint32,
    Uint64,
    Sint64,
    Real32,
    Real64,
    Char16,
    String,
    DateTime,
    Reference,
    Object,
    Instance,
};

/// The DSP0201 spelling: "boolean", "uint8", ..., "datetime", "reference", "object",
/// "instance".
std::string_view cimTypeName(CIMType type) noexcept;

/// The type spelled `name` (case-insensitive); nullopt for an unknown name.
std::optional<CIMType> cimTypeFromName(std::string_view name) noexcept;

bool isIntegerType(CIMType type) noexcept;
bool isSignedIntegerType(CIMType type) noexcept;
bool isRealType(CIMType type) noexcept;
bool isEmbeddedType(CIMType type) noexcept;

} // namespace cim
