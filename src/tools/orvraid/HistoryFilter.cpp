#include "HistoryFilter.h"

#include "Keyword.h"

#include <array>

namespace orvraid {

bool belongsInHistory(std::string_view line)
{
    static constexpr std::array<std::string_view, 2> kSecretParameters{"secret=", "password="};
    if (line.find_first_not_of(" \t") == std::string_view::npos)
        return false;
    // Looking at the raw text rather than the parsed words also catches lines that do not
    // parse, such as a secret with an unclosed quote.
    const std::string lower = toLower(line);
    for (std::string_view parameter : kSecretParameters) {
        if (lower.find(parameter) != std::string::npos)
            return false;
    }
    return true;
}

}  // namespace orvraid
