// The commands orvraid knows, one row each: the keywords that name it, what follows them,
// its help and its handler. Parsing is the same for every row, so a new command is a new
// row with a handler, never new parsing code.
//
// A line is resolved keyword by keyword: the first word must name one of the first
// keywords of the rows, the next word one of the second keywords of the rows left, and so
// on until one row is left whose keywords are used up; the remaining words are its
// arguments (CommandArguments).
#pragma once

#include "CommandArguments.h"
#include "Keyword.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace orvraid {

struct CommandContext;

struct CommandRow {
    using Handler = std::function<void(CommandContext&, const CommandArguments&)>;

    std::vector<Keyword> keywords;
    std::string syntax;   // as help shows it, after the keywords: "host=<host> user=<user>"
    std::string summary;  // one line
    ArgumentRules rules;
    Handler handler;
};

// A line resolved to its row.
struct ResolvedCommand {
    const CommandRow* row = nullptr;
    std::vector<std::string> argumentWords;
};

class CommandTable {
public:
    void add(CommandRow row);

    // CommandError::syntax for an unknown, ambiguous or incomplete command.
    ResolvedCommand resolve(const std::vector<std::string>& words) const;

    // Every row, or the rows whose leading keywords the words name ("help list").
    void printHelp(std::ostream& out, const std::vector<std::string>& words) const;

private:
    using Rows = std::vector<const CommandRow*>;

    static std::vector<const Keyword*> keywordsAt(const Rows& rows, std::size_t depth);
    static Rows narrow(const Rows& rows, std::size_t depth, const std::vector<std::string>& words,
                       std::size_t& used);
    static std::string choices(const std::vector<const Keyword*>& keywords);
    static std::string usage(const CommandRow& row);

    std::vector<CommandRow> m_rows;
};

}  // namespace orvraid
