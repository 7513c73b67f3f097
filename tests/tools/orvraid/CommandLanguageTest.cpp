// The command language: keywords and their abbreviations, words and quotes, parameters,
// and how the command table resolves a line to its row.
#include "CommandArguments.h"
#include "CommandError.h"
#include "CommandTable.h"
#include "CommandTokenizer.h"
#include "Keyword.h"

#include <gtest/gtest.h>

#include <sstream>

namespace orvraid {
namespace {

KeywordMatch::Outcome outcomeOf(std::string_view word, const std::vector<const Keyword*>& candidates)
{
    return matchKeyword(word, candidates).outcome;
}

TEST(KeywordTest, MatchesWholeWordsAndAbbreviationsOfThreeLettersOrMore)
{
    const Keyword subsystems{"subsystems"};
    const Keyword select{"select"};
    EXPECT_TRUE(subsystems.isSpelledAs("SubSystems"));
    EXPECT_TRUE(subsystems.isAbbreviatedAs("subsystem"));
    EXPECT_TRUE(subsystems.isAbbreviatedAs("SUB"));
    EXPECT_FALSE(subsystems.isAbbreviatedAs("su"));
    EXPECT_FALSE(subsystems.isAbbreviatedAs("subsystemsx"));
    EXPECT_FALSE(select.isAbbreviatedAs("sex"));
}

TEST(KeywordTest, AnAliasIsMatchedLikeTheKeywordItself)
{
    const Keyword portals{"tportals", "portals"};
    EXPECT_EQ(outcomeOf("portals", {&portals}), KeywordMatch::Outcome::Found);
    EXPECT_EQ(outcomeOf("tpo", {&portals}), KeywordMatch::Outcome::Found);
    EXPECT_EQ(outcomeOf("port", {&portals}), KeywordMatch::Outcome::Found);
    EXPECT_EQ(portals.name(), "tportals");
}

TEST(KeywordTest, AmbiguousAbbreviationsAreRefusedButAWholeWordWins)
{
    const Keyword rem{"rem"};
    const Keyword remove{"remove"};
    const Keyword refresh{"refresh"};
    const Keyword reenumerate{"reenumerate"};
    const std::vector<const Keyword*> all{&remove, &rem, &refresh, &reenumerate};
    EXPECT_EQ(matchKeyword("REM", all).index, 1u);
    EXPECT_EQ(outcomeOf("rem", all), KeywordMatch::Outcome::Found);
    EXPECT_EQ(outcomeOf("re", all), KeywordMatch::Outcome::Unknown);
    EXPECT_EQ(outcomeOf("ree", all), KeywordMatch::Outcome::Found);
    EXPECT_EQ(outcomeOf("remo", all), KeywordMatch::Outcome::Found);
    EXPECT_EQ(outcomeOf("xyz", all), KeywordMatch::Outcome::Unknown);

    const Keyword luns{"luns"};
    const Keyword lunplexes{"lunplexes"};
    EXPECT_EQ(outcomeOf("lun", {&luns, &lunplexes}), KeywordMatch::Outcome::Ambiguous);
}

TEST(CommandTokenizerTest, SplitsOnBlanksAndKeepsQuotedBlanks)
{
    EXPECT_EQ(tokenizeCommand("  list\tsubsystems  "), (std::vector<std::string>{"list", "subsystems"}));
    EXPECT_EQ(tokenizeCommand("add array host=h password=\"a b\" noerr"),
              (std::vector<std::string>{"add", "array", "host=h", "password=a b", "noerr"}));
    EXPECT_EQ(tokenizeCommand("name \"\""), (std::vector<std::string>{"name", ""}));
    EXPECT_TRUE(tokenizeCommand("   ").empty());
}

TEST(CommandTokenizerTest, AnOpenQuoteIsASyntaxError)
{
    try {
        tokenizeCommand("add array host=\"h");
        FAIL() << "an open quote was accepted";
    } catch (const CommandError& error) {
        EXPECT_EQ(error.code(), ExitCode::SyntaxOrSelection);
    }
}

const ArgumentRules kArrayRules{{{"host", true}, {"user", true}, {"password", false}}, 0};

TEST(CommandArgumentsTest, ReadsParametersCaseInsensitivelyAndNoerrAnywhere)
{
    const CommandArguments arguments({"HOST=127.85.0.1", "noerr", "User=Admin", "password="}, kArrayRules);
    EXPECT_EQ(arguments.parameter("host"), "127.85.0.1");
    EXPECT_EQ(arguments.parameter("user"), "Admin");
    EXPECT_EQ(arguments.parameter("password"), "");
    EXPECT_TRUE(arguments.noerr());
    EXPECT_FALSE(CommandArguments({"host=h", "user=u"}, kArrayRules).noerr());
}

TEST(CommandArgumentsTest, RefusesWhatTheRulesDoNotAllow)
{
    struct Case {
        const char* description;
        std::vector<std::string> words;
        ArgumentRules rules;
    };
    const ArgumentRules oneNumber{{}, 1};
    const std::vector<Case> cases{
        {"a required parameter missing", {"host=h"}, kArrayRules},
        {"an unknown parameter", {"host=h", "user=u", "port=5"}, kArrayRules},
        {"a parameter given twice", {"host=h", "user=u", "HOST=g"}, kArrayRules},
        {"a parameter without a name", {"host=h", "user=u", "=x"}, kArrayRules},
        {"a value the command does not take", {"host=h", "user=u", "extra"}, kArrayRules},
        {"two values where one is allowed", {"1", "2"}, oneNumber},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        EXPECT_THROW(CommandArguments(c.words, c.rules), CommandError);
    }
}

TEST(CommandArgumentsTest, NumberValuesMustBeDigits)
{
    const ArgumentRules oneNumber{{}, 1};
    EXPECT_EQ(CommandArguments({"12"}, oneNumber).numberValue(), 12u);
    EXPECT_EQ(CommandArguments({}, oneNumber).numberValue(), std::nullopt);
    EXPECT_THROW(CommandArguments({"-1"}, oneNumber).numberValue(), CommandError);
    EXPECT_THROW(CommandArguments({"1x"}, oneNumber).numberValue(), CommandError);
    EXPECT_THROW(CommandArguments({"99999999999"}, oneNumber).numberValue(), CommandError);
}

TEST(CommandArgumentsTest, FreeTextKeepsEveryWord)
{
    const CommandArguments comment({"host=h", "anything", "goes"}, ArgumentRules{{}, 0, true});
    EXPECT_EQ(comment.values(), (std::vector<std::string>{"host=h", "anything", "goes"}));
}

class CommandTableTest : public ::testing::Test {
protected:
    CommandTableTest()
    {
        for (const char* object : {"subsystems", "luns", "arrays"})
            table.add({{{"list"}, {object}}, "", std::string("lists ") + object, {}, nullptr});
        table.add({{{"select"}, {"subsystem"}}, "[<n>]", "selects", {{}, 1}, nullptr});
        table.add({{{"exit"}}, "", "leaves", {}, nullptr});
    }

    std::string resolvedSummary(const std::vector<std::string>& words) const
    {
        return table.resolve(words).row->summary;
    }

    ExitCode failureOf(const std::vector<std::string>& words) const
    {
        try {
            table.resolve(words);
        } catch (const CommandError& error) {
            return error.code();
        }
        return ExitCode::Success;
    }

    CommandTable table;
};

TEST_F(CommandTableTest, ResolvesKeywordByKeywordAndLeavesTheRestAsArguments)
{
    EXPECT_EQ(resolvedSummary({"LIST", "Subs"}), "lists subsystems");
    EXPECT_EQ(resolvedSummary({"lis", "lun"}), "lists luns");
    EXPECT_EQ(resolvedSummary({"exit"}), "leaves");
    const ResolvedCommand select = table.resolve({"sel", "subsystem", "2", "noerr"});
    EXPECT_EQ(select.row->summary, "selects");
    EXPECT_EQ(select.argumentWords, (std::vector<std::string>{"2", "noerr"}));
}

TEST_F(CommandTableTest, UnknownAmbiguousAndIncompleteCommandsAreSyntaxErrors)
{
    EXPECT_EQ(failureOf({"frobnicate"}), ExitCode::SyntaxOrSelection);
    EXPECT_EQ(failureOf({"list", "controllers"}), ExitCode::SyntaxOrSelection);
    EXPECT_EQ(failureOf({"list"}), ExitCode::SyntaxOrSelection);
    EXPECT_EQ(failureOf({"li", "subsystems"}), ExitCode::SyntaxOrSelection);
    EXPECT_EQ(failureOf({"select"}), ExitCode::SyntaxOrSelection);
}

TEST_F(CommandTableTest, HelpShowsEveryRowOrThoseTheWordsName)
{
    std::ostringstream all;
    table.printHelp(all, {});
    EXPECT_NE(all.str().find("list arrays"), std::string::npos);
    EXPECT_NE(all.str().find("select subsystem [<n>]"), std::string::npos);
    EXPECT_NE(all.str().find("exit"), std::string::npos);

    std::ostringstream lists;
    table.printHelp(lists, {"lis"});
    EXPECT_NE(lists.str().find("list luns"), std::string::npos);
    EXPECT_EQ(lists.str().find("select"), std::string::npos);
    EXPECT_EQ(lists.str().find("exit"), std::string::npos);

    std::ostringstream ignored;
    EXPECT_THROW(table.printHelp(ignored, {"nothing"}), CommandError);
}

}  // namespace
}  // namespace orvraid
