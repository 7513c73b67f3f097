#pragma once

#include "user_agent/attributes/ValueTypeOps.h"

#include <any>
#include <string>
#include <vector>

namespace Merrow::UserAgent {

// One value read from or handed to a service by name: the typed value and the operations
// of its type. A value is copied with its type; an empty value has no type.
class AttributeValue {
public:
    AttributeValue() = default;
    AttributeValue(std::any value, const ValueTypeOps& ops) : m_value(std::move(value)), m_ops(&ops) {}

    bool hasValue() const { return m_ops != nullptr && m_value.has_value(); }
    const std::any& value() const { return m_value; }
    const ValueTypeOps* ops() const { return m_ops; }

    // The value as text: lists as "[" a "," b "]", handles by instance id. Throws what the
    // type's conversion throws.
    std::string toText() const;
    // The service handles the value holds (one for a handle, each of a list of handles).
    std::vector<MerrowService> services() const;
    // The text of each item of a list value.
    std::vector<std::string> itemTexts() const;
    bool isObject() const { return m_ops != nullptr && m_ops->isObject; }
    bool isList() const { return m_ops != nullptr && m_ops->isList; }

private:
    std::any m_value;
    const ValueTypeOps* m_ops = nullptr;
};

} // namespace Merrow::UserAgent
