// CIMName: the name of a class, property, method, parameter or key.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

namespace cim {

/// A CIM element name. The text keeps the case it was given (for display and for the
/// wire) and compares case-insensitively, as DSP0004 requires. Case folding covers the
/// ASCII letters; other characters compare exactly.
///
/// A name is either null (empty) or a legal DSP0004 identifier: a letter, "_" or a
/// character above U+007F, followed by letters, digits, "_" or characters above U+007F.
/// Constructing a name from anything else throws CIMValueError.
class CIMName {
public:
    CIMName() = default;
    CIMName(std::string name);    // NOLINT(google-explicit-constructor): names read as text
    CIMName(const char* name);    // NOLINT(google-explicit-constructor)
    CIMName(std::string_view name);

    const std::string& getString() const noexcept { return m_name; }
    const char* c_str() const noexcept { return m_name.c_str(); }
    bool isNull() const noexcept { return m_name.empty(); }

    /// True when `name` is a legal identifier (the empty string is not).
    static bool legal(std::string_view name) noexcept;

    friend bool operator==(const CIMName& a, const CIMName& b) noexcept;

private:
    std::string m_name;
};

/// Case-insensitive strict weak ordering, for maps and sets keyed by name.
struct CIMNameLess {
    bool operator()(const CIMName& a, const CIMName& b) const noexcept;
};

std::ostream& operator<<(std::ostream& os, const CIMName& name);

} // namespace cim
