#include "user_agent/attributes/AttributeTexts.h"

namespace Merrow::UserAgent {
namespace {

bool same(const char* text, const std::string& wanted) { return text != nullptr && wanted == text; }

} // namespace

std::string AttributeTexts::attributeText(const std::string& operation) const {
    for (const AttributeTextEntry& entry : m_texts)
        if (entry.parameter == nullptr && same(entry.operation, operation))
            return entry.text;
    return {};
}

std::string AttributeTexts::parameterText(const std::string& operation,
                                          const std::string& parameter) const {
    for (const AttributeTextEntry& entry : m_texts)
        if (same(entry.parameter, parameter) && same(entry.operation, operation))
            return entry.text;
    for (const AttributeTextEntry& entry : m_texts)
        if (same(entry.parameter, parameter) && same(entry.operation, ""))
            return entry.text;
    return {};
}

std::string AttributeTexts::attributeName(const std::string& operation) const {
    for (const AttributeNameEntry& entry : m_names)
        if (same(entry.operation, operation))
            return entry.name;
    return {};
}

const OptionalArgumentsEntry* AttributeTexts::optionalArguments(const std::string& operation) const {
    for (const OptionalArgumentsEntry& entry : m_optionalArguments)
        if (same(entry.operation, operation))
            return &entry;
    return nullptr;
}

} // namespace Merrow::UserAgent
