// CIMNamespaceName: a CIM namespace such as "root/snia".
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace cim {

/// A namespace name: one or more identifiers joined by "/" ("root/snia", "interop").
/// A leading "/" is dropped. Compares case-insensitively like CIMName. Null when empty.
/// Constructing from anything that is not a list of legal identifiers throws CIMValueError.
class CIMNamespaceName {
public:
    CIMNamespaceName() = default;
    CIMNamespaceName(std::string name);   // NOLINT(google-explicit-constructor)
    CIMNamespaceName(const char* name);   // NOLINT(google-explicit-constructor)
    CIMNamespaceName(std::string_view name);

    const std::string& getString() const noexcept { return m_name; }
    bool isNull() const noexcept { return m_name.empty(); }

    /// The "/"-separated components ("root", "snia"), as LOCALNAMESPACEPATH lists them.
    std::vector<std::string_view> components() const;

    static bool legal(std::string_view name) noexcept;

    friend bool operator==(const CIMNamespaceName& a, const CIMNamespaceName& b) noexcept;

private:
    std::string m_name;
};

std::ostream& operator<<(std::ostream& os, const CIMNamespaceName& name);

} // namespace cim
