// A keyword of the command language and the rule by which typed words match it.
//
// Keywords are matched without regard to letter case. A word matches when it is one of the
// keyword's spellings or an abbreviation of one: a leading part of at least
// kMinimumAbbreviation letters ("sel" for "select", "subs" for "subsystems"). The singular
// of a plural keyword is such a leading part, so "lun" and "luns" both name the LUNs.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvraid {

class Keyword {
public:
    static constexpr std::size_t kMinimumAbbreviation = 3;

    // The first spelling is the one help shows; the others are accepted alike.
    Keyword(std::initializer_list<std::string_view> spellings);

    const std::string& name() const { return m_spellings.front(); }
    bool operator==(const Keyword& other) const { return name() == other.name(); }

    bool isSpelledAs(std::string_view word) const;
    bool isAbbreviatedAs(std::string_view word) const;

private:
    std::vector<std::string> m_spellings;
};

// Which of `candidates` a word names. A full spelling wins over abbreviations; two
// keywords that the word abbreviates equally make it ambiguous.
struct KeywordMatch {
    enum class Outcome { Found, Unknown, Ambiguous };
    Outcome outcome = Outcome::Unknown;
    std::size_t index = 0;  // into candidates, when Found
};
KeywordMatch matchKeyword(std::string_view word, const std::vector<const Keyword*>& candidates);

bool equalsIgnoringCase(std::string_view a, std::string_view b);
std::string toLower(std::string_view text);

}  // namespace orvraid
