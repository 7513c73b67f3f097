// CIMValueError: a value, name, path or datetime that breaks the CIM rules.
#pragma once

#include <stdexcept>
#include <string>

namespace cim {

/// Thrown by the value model: an illegal name, a malformed object path or datetime text,
/// a value read as the wrong type, a null value read as a value, a duplicate property.
class CIMValueError : public std::runtime_error {
public:
    explicit CIMValueError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace cim
