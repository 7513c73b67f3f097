#include "Keyword.h"

#include <algorithm>
#include <cctype>

namespace orvraid {

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

std::string toLower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

Keyword::Keyword(std::initializer_list<std::string_view> spellings)
{
    for (std::string_view spelling : spellings)
        m_spellings.push_back(toLower(spelling));
}

bool Keyword::isSpelledAs(std::string_view word) const
{
    return std::any_of(m_spellings.begin(), m_spellings.end(),
                       [&](const std::string& spelling) { return equalsIgnoringCase(spelling, word); });
}

bool Keyword::isAbbreviatedAs(std::string_view word) const
{
    if (word.size() < kMinimumAbbreviation)
        return false;
    return std::any_of(m_spellings.begin(), m_spellings.end(), [&](const std::string& spelling) {
        return word.size() <= spelling.size() &&
               equalsIgnoringCase(std::string_view(spelling).substr(0, word.size()), word);
    });
}

KeywordMatch matchKeyword(std::string_view word, const std::vector<const Keyword*>& candidates)
{
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (candidates[i]->isSpelledAs(word))
            return {KeywordMatch::Outcome::Found, i};
    }
    KeywordMatch match;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (!candidates[i]->isAbbreviatedAs(word))
            continue;
        if (match.outcome == KeywordMatch::Outcome::Found)
            return {KeywordMatch::Outcome::Ambiguous, 0};
        match = {KeywordMatch::Outcome::Found, i};
    }
    return match;
}

}  // namespace orvraid
