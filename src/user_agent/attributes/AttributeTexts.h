#pragma once

#include <cstddef>
#include <span>
#include <string>

namespace Merrow::UserAgent {

// One row of a class's text table (texts/<class>.texts, expanded by
// AttributeRegistryDefinitions.inc). `parameter` null: the text of the attribute that
// `operation` gives; `operation` empty: the text of that parameter in every operation.
struct AttributeTextEntry {
    const char* operation;
    const char* parameter;
    const char* text;
};

// An attribute whose name is not the one the naming rule gives ("GetMaxGrowSize" is the
// action "MaxGrowSize").
struct AttributeNameEntry {
    const char* operation;
    const char* name;
};

// An action whose trailing arguments may be left out by callers by name: the fewest it
// takes and the message for a count outside the range.
struct OptionalArgumentsEntry {
    const char* operation;
    std::size_t minimum;
    const char* message;
};

// The description table of one service class. Rows with a null operation are padding.
class AttributeTexts {
public:
    AttributeTexts(std::span<const AttributeTextEntry> texts,
                   std::span<const AttributeNameEntry> names,
                   std::span<const OptionalArgumentsEntry> optionalArguments)
        : m_texts(texts), m_names(names), m_optionalArguments(optionalArguments) {}

    // Empty when the table has none: the completeness test catches that.
    std::string attributeText(const std::string& operation) const;
    std::string parameterText(const std::string& operation, const std::string& parameter) const;
    // Empty when the naming rule applies.
    std::string attributeName(const std::string& operation) const;
    const OptionalArgumentsEntry* optionalArguments(const std::string& operation) const;

private:
    std::span<const AttributeTextEntry> m_texts;
    std::span<const AttributeNameEntry> m_names;
    std::span<const OptionalArgumentsEntry> m_optionalArguments;
};

} // namespace Merrow::UserAgent
