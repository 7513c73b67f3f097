#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace Merrow::UserAgent {

// Which table entry an operation came from: getters (GET, LIST, SINGLE, SAME_PATH,
// PATH_ACTION), setters (SET), or operations whose form shows in their signature (ACTION,
// CUSTOM).
enum class EntryForm { Getter, Setter, Operation };

// How an operation becomes an attribute: getters drop "GetService" or "Get" and are
// readable, setters drop "Set" and are writable; of the other operations, one with a single
// result and no argument named "Get..." or "Is..." is readable (without "Get"), one with a
// single argument and no result named "Set..." is writable, and everything else is an
// action that keeps the operation's name.
class AttributeNaming {
public:
    static std::int32_t Kind(EntryForm form, const std::string& operation, std::size_t inputs,
                             std::size_t results);
    static std::string Name(std::int32_t kind, const std::string& operation);
    // "Name" -> "name": the parameter of a setter, the result of a getter.
    static std::string LowerFirst(std::string name);
};

} // namespace Merrow::UserAgent
