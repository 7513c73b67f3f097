#include "user_agent/base/MWExceptions.h"
#include "user_agent/base/UAException.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <type_traits>

namespace Merrow::UserAgent {
namespace {

template <typename T> std::function<std::unique_ptr<MWExceptionAbstractClass>()> make() {
    return [] { return std::make_unique<T>("message", "File.cpp", 42, "Ns::Class::function"); };
}

template <typename Base> bool isA(const MWExceptionAbstractClass& e) {
    return dynamic_cast<const Base*>(&e) != nullptr;
}

TEST(MWExceptionsTest, EachClassNamesItselfAndSitsInItsBranch) {
    struct Case {
        std::function<std::unique_ptr<MWExceptionAbstractClass>()> create;
        const char* name;
        bool application;
        bool pegasus;
        bool runtime;
    };
    const Case cases[] = {
        {make<MWException>(), "MWException", false, false, false},
        {make<MWEApplicationException>(), "MWEApplicationException", true, false, false},
        {make<MWEDataConversionError>(), "MWEDataConversionError", true, false, false},
        {make<MWEPegasusException>(), "MWEPegasusException", true, true, false},
        {make<MWEPegasusClientRequest>(), "MWEPegasusClientRequest", true, true, false},
        {make<MWERuntimeError>(), "MWERuntimeError", false, false, true},
        {make<MWEBadPointer>(), "MWEBadPointer", false, false, true},
        {make<MWEAssertionFailure>(), "MWEAssertionFailure", false, false, true},
        {make<MWEPegasusRuntimeError>(), "MWEPegasusRuntimeError", false, false, true},
    };
    for (const Case& c : cases) {
        const auto e = c.create();
        EXPECT_EQ(e->className(), c.name);
        EXPECT_TRUE(isA<MWException>(*e)) << c.name;
        EXPECT_EQ(isA<MWEApplicationException>(*e), c.application) << c.name;
        EXPECT_EQ(isA<MWEPegasusException>(*e), c.pegasus) << c.name;
        EXPECT_EQ(isA<MWERuntimeError>(*e), c.runtime) << c.name;
    }
}

TEST(MWExceptionsTest, CarriesWhereItWasThrown) {
    try {
        throw MWEDataConversionError(std::string("bad text"), "DateTime.cpp", 17,
                                     "Merrow::UserAgent::DateTime::DateTime");
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "bad text");
        const auto& mw = dynamic_cast<const MWExceptionAbstractClass&>(e);
        EXPECT_EQ(mw.getMessage(), "bad text");
        EXPECT_EQ(mw.getFile(), "DateTime.cpp");
        EXPECT_EQ(mw.getLine(), 17);
        EXPECT_EQ(mw.getFunction(), "Merrow::UserAgent::DateTime::DateTime");
    }
}

TEST(MWExceptionsTest, NullMessageBecomesEmpty) {
    const char* absent = nullptr;
    const MWEBadPointer e(absent, "", 0, "");
    EXPECT_EQ(e.getMessage(), "");
    EXPECT_STREQ(e.what(), "");

    // UAException stays outside the std::exception family so generic catch sites miss it.
    static_assert(!std::is_base_of_v<std::exception, UAException>);
    const UAException record(0, absent);
    EXPECT_EQ(record.getMessage(), "");
}

TEST(MWExceptionsTest, ReturnCodeExceptionHandsBackTheSameValue) {
    const MerrowReturnValue value = MerrowReturnValue::fromArrayResult(130);
    const ReturnCodeException withValueText(value, "Volume.cpp", 9, "f");
    EXPECT_EQ(withValueText.className(), "ReturnCodeException");
    EXPECT_EQ(withValueText.getMessage(), "Volume does not exist");
    EXPECT_EQ(withValueText.getReturnValue().getSerial(), value.getSerial());
    EXPECT_EQ(withValueText.getReturnValue().getFailureCode(), 130);

    const ReturnCodeException withOwnText(value, "volume vanished", "Volume.cpp", 9, "f");
    EXPECT_STREQ(withOwnText.what(), "volume vanished");
    EXPECT_EQ(withOwnText.getReturnValue().getSerial(), value.getSerial());
}

} // namespace
} // namespace Merrow::UserAgent
