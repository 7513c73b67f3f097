// Splits a command line into words: blanks separate them, double quotes keep blanks inside
// one word ("name=\"Array 1\"" or "\"a b\""), and the quotes themselves are dropped.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvraid {

// CommandError::syntax for a quote that is not closed.
std::vector<std::string> tokenizeCommand(std::string_view line);

}  // namespace orvraid
