#include "CommandTable.h"

#include "CommandError.h"

#include <algorithm>
#include <cassert>
#include <ostream>

namespace orvraid {

void CommandTable::add(CommandRow row)
{
    // Resolution relies on this: a row whose keywords lead another's could never be told
    // apart from it.
    assert(std::none_of(m_rows.begin(), m_rows.end(),
                        [&](const CommandRow& other) {
                            const std::size_t n = std::min(other.keywords.size(), row.keywords.size());
                            return std::equal(row.keywords.begin(), row.keywords.begin() + n,
                                              other.keywords.begin());
                        }) &&
           "no command's keywords may lead another's");
    m_rows.push_back(std::move(row));
}

std::vector<const Keyword*> CommandTable::keywordsAt(const Rows& rows, std::size_t depth)
{
    std::vector<const Keyword*> keywords;
    for (const CommandRow* row : rows) {
        const Keyword& keyword = row->keywords[depth];
        const bool seen = std::any_of(keywords.begin(), keywords.end(),
                                      [&](const Keyword* k) { return *k == keyword; });
        if (!seen)
            keywords.push_back(&keyword);
    }
    return keywords;
}

std::string CommandTable::choices(const std::vector<const Keyword*>& keywords)
{
    std::string text;
    for (const Keyword* keyword : keywords)
        text += (text.empty() ? "" : ", ") + keyword->name();
    return text;
}

// Matches words from the first on while more than one keyword is possible or the single
// row left has keywords to go, stopping when the words run out.
CommandTable::Rows CommandTable::narrow(const Rows& all, std::size_t depth,
                                        const std::vector<std::string>& words, std::size_t& used)
{
    Rows rows = all;
    for (; depth < words.size(); ++depth) {
        if (rows.size() == 1 && rows.front()->keywords.size() == depth)
            break;
        const std::vector<const Keyword*> keywords = keywordsAt(rows, depth);
        const KeywordMatch match = matchKeyword(words[depth], keywords);
        if (match.outcome == KeywordMatch::Outcome::Ambiguous)
            throw CommandError::syntax("\"" + words[depth] + "\" could mean more than one of: " +
                                       choices(keywords) + ".");
        if (match.outcome == KeywordMatch::Outcome::Unknown)
            throw CommandError::syntax(
                depth == 0 ? "\"" + words[depth] + "\" is not a command. Type help for a list."
                           : "\"" + words[depth] + "\" is not one of: " + choices(keywords) + ".");
        const Keyword& chosen = *keywords[match.index];
        std::erase_if(rows, [&](const CommandRow* row) { return !(row->keywords[depth] == chosen); });
    }
    used = depth;
    return rows;
}

ResolvedCommand CommandTable::resolve(const std::vector<std::string>& words) const
{
    Rows all;
    for (const CommandRow& row : m_rows)
        all.push_back(&row);
    std::size_t used = 0;
    const Rows rows = narrow(all, 0, words, used);
    if (rows.size() != 1 || rows.front()->keywords.size() != used)
        throw CommandError::syntax("The command is incomplete; it goes on with one of: " +
                                   choices(keywordsAt(rows, used)) + ".");
    return {rows.front(), std::vector<std::string>(words.begin() + static_cast<long>(used), words.end())};
}

std::string CommandTable::usage(const CommandRow& row)
{
    std::string text;
    for (const Keyword& keyword : row.keywords)
        text += (text.empty() ? "" : " ") + keyword.name();
    if (!row.syntax.empty())
        text += " " + row.syntax;
    return text;
}

void CommandTable::printHelp(std::ostream& out, const std::vector<std::string>& words) const
{
    Rows rows;
    for (const CommandRow& row : m_rows)
        rows.push_back(&row);
    std::size_t used = 0;
    rows = narrow(rows, 0, words, used);
    std::size_t width = 0;
    for (const CommandRow* row : rows)
        width = std::max(width, usage(*row).size());
    for (const CommandRow* row : rows) {
        const std::string line = usage(*row);
        out << "  " << line << std::string(width - line.size() + 2, ' ') << row->summary << '\n';
    }
}

}  // namespace orvraid
