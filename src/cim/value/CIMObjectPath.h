// CIMObjectPath: the path of a class or an instance.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "cim/value/CIMKeyBinding.h"
#include "cim/value/CIMName.h"
#include "cim/value/CIMNamespaceName.h"

namespace cim {

/// The path of a CIM class or instance: host (optional), namespace (optional), class name
/// and, for an instance, its key bindings in the order given.
///
/// Text form (what toString prints and parse reads):
///
///     [//host/][namespace:]ClassName[.key=value{,key=value}]
///     //array1:5988/root/snia:CIM_StorageVolume.DeviceID="v1",SystemName="a b"
///
/// String keys are quoted with `\"` and `\\` escaped; booleans are TRUE/FALSE and numbers
/// are written bare; a reference key is the referenced path's text form, quoted like a
/// string. When reading, a quoted value that itself reads as an instance path with keys is
/// taken as a reference, any other quoted value as a string. An unnamed key is written as
/// `ClassName.="value"`.
class CIMObjectPath {
public:
    CIMObjectPath() = default;
    CIMObjectPath(std::string host, CIMNamespaceName nameSpace, CIMName className,
                  std::vector<CIMKeyBinding> keyBindings = {});
    /// Same as parse(text).
    explicit CIMObjectPath(std::string_view text);

    /// Reads the text form; throws CIMValueError naming what is wrong. An empty text
    /// gives the null path.
    static CIMObjectPath parse(std::string_view text);
    std::string toString() const;

    const std::string& getHost() const noexcept { return m_host; }
    /// The host may carry a port ("array1:5988"); it may not contain "/", white space,
    /// quotes or control characters (CIMValueError).
    void setHost(std::string host);
    const CIMNamespaceName& getNameSpace() const noexcept { return m_nameSpace; }
    void setNameSpace(CIMNamespaceName nameSpace) { m_nameSpace = std::move(nameSpace); }
    const CIMName& getClassName() const noexcept { return m_className; }
    void setClassName(CIMName className) { m_className = std::move(className); }
    const std::vector<CIMKeyBinding>& getKeyBindings() const noexcept { return m_keyBindings; }
    void setKeyBindings(std::vector<CIMKeyBinding> keyBindings);
    void addKeyBinding(CIMKeyBinding keyBinding);
    /// The key of that name (case-insensitive), or nullptr.
    const CIMKeyBinding* findKeyBinding(const CIMName& name) const noexcept;

    /// No class name.
    bool isNull() const noexcept { return m_className.isNull(); }
    bool hasKeys() const noexcept { return !m_keyBindings.empty(); }

    /// Same host, namespace and class (all case-insensitive) and the same set of keys in any
    /// order (see CIMKeyBinding::equal).
    bool identical(const CIMObjectPath& other) const;
    friend bool operator==(const CIMObjectPath& a, const CIMObjectPath& b) { return a.identical(b); }

private:
    std::string m_host;
    CIMNamespaceName m_nameSpace;
    CIMName m_className;
    std::vector<CIMKeyBinding> m_keyBindings;
};

std::ostream& operator<<(std::ostream& os, const CIMObjectPath& path);

} // namespace cim
