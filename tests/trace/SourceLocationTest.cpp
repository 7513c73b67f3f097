// SourceLocation as a default argument names the caller, not the function that takes it.
#include <gtest/gtest.h>

#include <string>

#include "trace/SourceLocation.h"

namespace {

Merrow::Trace::SourceLocation calledFrom(Merrow::Trace::SourceLocation where = Merrow::Trace::SourceLocation::current())
{
    return where;
}

TEST(SourceLocation, DefaultArgumentGivesTheCallersFileLineAndFunction)
{
    const unsigned line = __LINE__ + 1;
    const Merrow::Trace::SourceLocation where = calledFrom();
    EXPECT_EQ(where.line(), line);
    EXPECT_NE(std::string(where.file_name()).find("SourceLocationTest.cpp"), std::string::npos);
    EXPECT_NE(std::string(where.function_name()).find("TestBody"), std::string::npos) << where.function_name();
}

TEST(SourceLocation, DefaultConstructedIsEmptyNotNull)
{
    const Merrow::Trace::SourceLocation none;
    EXPECT_STREQ(none.file_name(), "");
    EXPECT_STREQ(none.function_name(), "");
    EXPECT_EQ(none.line(), 0u);
}

} // namespace
