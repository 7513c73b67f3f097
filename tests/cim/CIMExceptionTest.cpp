// The message of a CIM error names its code once, whatever the server's description holds.
#include <gtest/gtest.h>

#include "cim/value/CIMException.h"

namespace cim {
namespace {

TEST(CIMExceptionMessage, CodeNamedOnceWhenTheDescriptionStartsWithIt) {
    EXPECT_STREQ(CIMException(CIMStatusCode(5), "CIM_ERR_INVALID_CLASS: no class CIM_Foo").what(),
                 "CIM_ERR_INVALID_CLASS: no class CIM_Foo");
    EXPECT_STREQ(CIMException(CIMStatusCode(5), "CIM_ERR_INVALID_CLASS").what(), "CIM_ERR_INVALID_CLASS");
    EXPECT_STREQ(CIMException(CIMStatusCode(5), "no class CIM_Foo").what(), "CIM_ERR_INVALID_CLASS: no class CIM_Foo");
    EXPECT_STREQ(CIMException(CIMStatusCode(5), "").what(),
                 "CIM_ERR_INVALID_CLASS: The specified class does not exist");
}

TEST(CIMExceptionMessage, OtherCodesNameAndLongerNamesAreNotTakenForTheCode) {
    // Another code's name, or a longer word that starts with the name, is not the code.
    EXPECT_STREQ(CIMException(CIMStatusCode(7), "CIM_ERR_NOT_FOUND: x").what(),
                 "CIM_ERR_NOT_SUPPORTED: CIM_ERR_NOT_FOUND: x");
    EXPECT_STREQ(CIMException(CIMStatusCode(1), "CIM_ERR_FAILEDX happened").what(),
                 "CIM_ERR_FAILED: CIM_ERR_FAILEDX happened");
    EXPECT_EQ(CIMException(CIMStatusCode(5), "CIM_ERR_INVALID_CLASS: x").getDescription(), "CIM_ERR_INVALID_CLASS: x");
}

} // namespace
} // namespace cim
