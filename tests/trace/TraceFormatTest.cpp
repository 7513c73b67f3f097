#include "trace/TraceFormat.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using namespace Merrow::Trace::TraceFormat;

TEST(TraceFormatTest, CategoryAbbreviationKeepsInitialsAndLastComponent) {
    const std::pair<const char*, const char*> cases[] = {
        {"TC.Info.Codepath.EntryExit.Entry", "ICE.Entry"},
        {"TC.Error.FATAL.PegasusCallFailed", "EF.PegasusCallFailed"},
        {"TC.Error.Non-fatal.Recoverable", "EN.Recoverable"},
        {"TC.VDS.PortalGroup", "V.PortalGroup"},
        {"TC.Info", ".Info"},
        {"NoDotsAtAll", "NoDotsAtAll"},
        {"TC.", "U.UNDEFINED"},
        {"", "U.NOTAVAILABLE"},
        {"TC.VDS..Lock", "V.Lock"},
    };
    for (const auto& [category, expected] : cases)
        EXPECT_EQ(categoryAbbreviation(category), expected) << category;
}

TEST(TraceFormatTest, LocationIsAlwaysFortyCharactersAndKeepsTheLineNumber) {
    std::string shortLocation;
    appendLocation(shortLocation, "/src/user_agent/UACIMClient.cpp", 42);
    EXPECT_EQ(shortLocation, std::string(40 - 18, '-') + "UACIMClient.cpp:42");

    std::string exact;
    const std::string name36(33, 'f');
    appendLocation(exact, name36 + ".cc", 1234); // 36 + 5 = 41 characters
    EXPECT_EQ(exact.size(), 40u);
    EXPECT_EQ(exact, name36.substr(1) + ".cc:1234");

    std::string longLocation;
    appendLocation(longLocation, "C:\\work\\" + std::string(60, 'x') + ".cpp", 987654);
    EXPECT_EQ(longLocation.size(), 40u);
    EXPECT_EQ(longLocation.substr(longLocation.size() - 12), "x.cpp:987654");
}

TEST(TraceFormatTest, LocationUsesBackslashBeforeSlashForTheBaseName) {
    EXPECT_EQ(locationBaseName("a/b\\c/d.cpp"), "c/d.cpp");
    EXPECT_EQ(locationBaseName("a/b/d.cpp"), "d.cpp");
    EXPECT_EQ(locationBaseName("d.cpp"), "d.cpp");
    // The file stored with a record follows the opposite order and is empty without separators.
    EXPECT_EQ(recordFileName("a\\b/c\\d.cpp"), "c\\d.cpp");
    EXPECT_EQ(recordFileName("a\\b\\d.cpp"), "d.cpp");
    EXPECT_EQ(recordFileName("d.cpp"), "");
}

TEST(TraceFormatTest, HeaderIsPaddedOrCutToThirtyCharacters) {
    std::string header;
    appendHeader(header, 5, "TC.Info.Codepath.EntryExit.Entry");
    EXPECT_EQ(header, "V:5 C:ICE.Entry---------------");
    std::string cut;
    appendHeader(cut, 4294967295u, "TC.Error.FATAL.InternalAPIFailure");
    EXPECT_EQ(cut, "V:4294967295 C:EF.InternalAPIF");
}

TEST(TraceFormatTest, IndentationAlternatesAndStopsBeyondNinetyNine) {
    const std::pair<int, std::string> cases[] = {
        {0, ""}, {-1, ""}, {1, "| "}, {2, "| . "}, {3, "| . | "}, {100, ""}};
    for (const auto& [depth, expected] : cases) {
        std::string text;
        appendIndentation(text, depth);
        EXPECT_EQ(text, expected) << depth;
    }
    std::string deepest;
    appendIndentation(deepest, 99);
    EXPECT_EQ(deepest.size(), 198u);
    EXPECT_EQ(deepest.substr(194), ". | "); // level 99 is odd
}

TEST(TraceFormatTest, TimestampShowsLocalTimeMillisecondsAndTwelveBitsOfThreadId) {
    const char* oldTz = std::getenv("TZ");
    const std::string saved = oldTz ? oldTz : "";
    setenv("TZ", "UTC", 1);
    tzset();
    std::string text;
    // 2009-02-13 23:31:30.007 UTC
    appendTimestamp(text, 1234567890007LL, 0x12ABC);
    EXPECT_EQ(text, "09-02-13 23:31:30.007 &ABC");
    if (oldTz)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

TEST(TraceFormatTest, QualifiedFunctionNameComesOutOfPrettySignatures) {
    const std::pair<const char*, const char*> cases[] = {
        {"void Merrow::UserAgent::DateTime::parse(const std::string&)",
         "Merrow::UserAgent::DateTime::parse"},
        {"Merrow::UserAgent::DateTime::DateTime(const char*)", "Merrow::UserAgent::DateTime::DateTime"},
        {"std::vector<std::pair<int, int> > ns::f(int)", "ns::f"},
        {"static int* ns::C::g()", "ns::C::g"},
        {"Merrow::UserAgent::DateTime::DateTime", "Merrow::UserAgent::DateTime::DateTime"},
        {"int main()", "main"},
    };
    for (const auto& [pretty, expected] : cases)
        EXPECT_EQ(qualifiedFunctionName(pretty), expected) << pretty;
    EXPECT_EQ(afterLastColon("Merrow::UserAgent::DateTime::parse"), "parse");
    EXPECT_EQ(afterLastColon("main"), "");
}
