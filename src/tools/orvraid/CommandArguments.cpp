#include "CommandArguments.h"

#include "CommandError.h"
#include "Keyword.h"

#include <algorithm>
#include <cctype>

namespace orvraid {

CommandArguments::CommandArguments(const std::vector<std::string>& words,
                                   const ArgumentRules& rules)
{
    for (const std::string& word : words) {
        if (equalsIgnoringCase(word, "noerr")) {
            m_noerr = true;
            continue;
        }
        if (rules.freeText) {
            m_values.push_back(word);
            continue;
        }
        if (word.find('=') != std::string::npos) {
            addParameter(word, rules);
            continue;
        }
        if (m_values.size() == rules.maxValues)
            throw CommandError::syntax("The command does not take \"" + word + "\".");
        m_values.push_back(word);
    }
    for (const ParameterSpec& spec : rules.parameters) {
        if (spec.required && !m_parameters.contains(spec.name))
            throw CommandError::syntax("The parameter " + spec.name + "= is required.");
    }
}

void CommandArguments::addParameter(const std::string& word, const ArgumentRules& rules)
{
    const std::size_t equals = word.find('=');
    const std::string name = toLower(std::string_view(word).substr(0, equals));
    if (name.empty())
        throw CommandError::syntax("\"" + word + "\" has no parameter name before \"=\".");
    const bool known = std::any_of(rules.parameters.begin(), rules.parameters.end(),
                                   [&](const ParameterSpec& spec) { return spec.name == name; });
    if (!known)
        throw CommandError::syntax("The command has no parameter " + name + "=.");
    if (!m_parameters.emplace(name, word.substr(equals + 1)).second)
        throw CommandError::syntax("The parameter " + name + "= is given twice.");
}

std::optional<std::string> CommandArguments::parameter(std::string_view name) const
{
    auto found = m_parameters.find(name);
    if (found == m_parameters.end())
        return std::nullopt;
    return found->second;
}

std::optional<unsigned long> CommandArguments::numberValue() const
{
    if (m_values.empty())
        return std::nullopt;
    const std::string& text = m_values.front();
    const bool digits = !text.empty() && text.size() <= 9 &&
                        std::all_of(text.begin(), text.end(),
                                    [](unsigned char c) { return std::isdigit(c) != 0; });
    if (!digits)
        throw CommandError::syntax("\"" + text + "\" is not a number.");
    return std::stoul(text);
}

}  // namespace orvraid
