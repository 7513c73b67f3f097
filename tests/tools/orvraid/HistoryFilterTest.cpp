// Which interactive lines may be remembered: nothing that carries a secret.
#include "HistoryFilter.h"

#include <gtest/gtest.h>

namespace {

TEST(HistoryFilterTest, LinesWithSecretsOrPasswordsAreNeverKept)
{
    struct Case {
        const char* line;
        bool kept;
    };
    const Case cases[] = {
        {"list targets", true},
        {"unmask lun initiator=iqn.2026-11.com.example:a", true},
        {"chap target set secret=Good-Secret-42", false},
        {"CHAP TARGET SET SECRET=Good-Secret-42", false},
        {"chap target remember initiator=iqn.2026-11.com.example:a secret=\"with blanks\"", false},
        {"chap target set secret=\"unclosed", false},
        {"add array host=10.0.0.5 user=admin password=secret", false},
        {"add array host=10.0.0.5 user=admin PassWord=secret", false},
        {"", false},
        {"   \t", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(orvraid::belongsInHistory(c.line), c.kept) << c.line;
}

}  // namespace
