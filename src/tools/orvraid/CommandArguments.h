// What follows a command's keywords: "name=value" parameters, plain values (a number to
// select, a comment) and the word "noerr".
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvraid {

struct ParameterSpec {
    std::string name;   // lower case, without "="
    bool required = false;
};

// How many plain values a command takes, and which parameters.
struct ArgumentRules {
    std::vector<ParameterSpec> parameters;
    std::size_t maxValues = 0;
    // Everything after the keywords is one free text (a comment); nothing is checked.
    bool freeText = false;
};

class CommandArguments {
public:
    // CommandError::syntax for an unknown or repeated parameter, a missing required one,
    // an empty parameter name or more values than the rules allow.
    CommandArguments(const std::vector<std::string>& words, const ArgumentRules& rules);

    bool noerr() const { return m_noerr; }
    // The value of `name` (lower case), when given; it may be empty ("secret=").
    std::optional<std::string> parameter(std::string_view name) const;
    const std::vector<std::string>& values() const { return m_values; }
    // The single plain value as a number; nullopt when there is none, and
    // CommandError::syntax when it is not a number.
    std::optional<unsigned long> numberValue() const;

private:
    void addParameter(const std::string& word, const ArgumentRules& rules);

    bool m_noerr = false;
    std::map<std::string, std::string, std::less<>> m_parameters;
    std::vector<std::string> m_values;
};

}  // namespace orvraid
