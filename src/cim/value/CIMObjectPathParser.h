// Reader for the text form of object paths (see CIMObjectPath).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cim/value/CIMObjectPath.h"

namespace cim::detail {

/// Reads `[//host/][namespace:]ClassName[.key=value{,key=value}]`.
///
/// Reference keys nest; a quoted value is tried as a path only down to kMaxNesting levels,
/// deeper quoted values stay strings, so hostile input cannot exhaust the stack.
class CIMObjectPathParser {
public:
    static constexpr int kMaxNesting = 16;

    explicit CIMObjectPathParser(std::string_view text, int nesting = 0);

    /// The path, or nullopt with error() saying what is wrong.
    std::optional<CIMObjectPath> parse();
    const std::string& error() const noexcept { return m_error; }

private:
    bool parseHost(CIMObjectPath& path);
    bool parseNameSpace(CIMObjectPath& path);
    bool parseClassName(CIMObjectPath& path);
    bool parseKeyBindings(CIMObjectPath& path);
    bool parseKeyBinding(CIMObjectPath& path);
    bool parseQuotedValue(const CIMName& name, CIMObjectPath& path);
    bool parseBareValue(const CIMName& name, CIMObjectPath& path);
    bool fail(std::string what);

    std::string_view m_text;
    size_t m_pos = 0;
    int m_nesting;
    std::string m_error;
};

} // namespace cim::detail
