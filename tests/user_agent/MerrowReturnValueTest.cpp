#include "user_agent/base/MerrowReturnValue.h"
#include "user_agent/base/SerialCounter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

namespace Merrow::UserAgent {
namespace {

using Code = MerrowReturnValue::Code;

Code anyCode(std::int32_t number) {
    return static_cast<Code>(number);
}

TEST(MerrowReturnValueTest, FailureStartsAtOneHundred) {
    struct Case {
        std::int32_t code;
        bool failure;
    };
    const Case cases[] = {{-1, false},  {0, false},   {1, false},  {2, false},
                          {99, false},  {100, true},  {101, true}, {113, true},
                          {1001, true}, {1017, true}, {5000, true}};
    for (const Case& c : cases)
        EXPECT_EQ(MerrowReturnValue(anyCode(c.code)).isFailure(), c.failure) << c.code;
}

TEST(MerrowReturnValueTest, DefaultIsOkWithoutFailureCode) {
    const MerrowReturnValue value;
    EXPECT_EQ(value.getCode(), MerrowReturnValue::UA_S_OK);
    EXPECT_EQ(value.getFailureCode(), -1);
    EXPECT_EQ(value.getMessage(), "The action was successful");
}

TEST(MerrowReturnValueTest, MessageFollowsPrecedence) {
    struct Case {
        const char* description;
        std::int32_t code;
        const char* message;
        std::optional<std::int32_t> failureCode;
        const char* expected;
    };
    const Case cases[] = {
        {"caller's message over the code text", MerrowReturnValue::UA_E_FAIL,
         "disk shelf 2 is gone", std::nullopt, "disk shelf 2 is gone"},
        {"caller's message over the failure text", MerrowReturnValue::UA_E_REQUEST_FAILED,
         "refused", 25, "refused"},
        {"code text without message", MerrowReturnValue::UA_E_FAIL, "", std::nullopt,
         "The action requested failed"},
        {"failure text over the code text of a success", MerrowReturnValue::UA_S_OK, "", 4,
         "Corvane Reboot is now Required"},
        {"bit 15 of the failure code is ignored", MerrowReturnValue::UA_E_REQUEST_FAILED, "",
         25 + 32768, "Request failed"},
        {"row placed after 40 is found", MerrowReturnValue::UA_E_REQUEST_FAILED, "", 5,
         "NTP Server not available"},
        {"row placed after 48 is found", MerrowReturnValue::UA_E_REQUEST_FAILED, "", 999,
         "Unknown Error"},
        {"row after the out-of-order rows", MerrowReturnValue::UA_E_REQUEST_FAILED, "", 100,
         "An Initiator with that name already exists"},
        {"last row before the end of the list", MerrowReturnValue::UA_E_REQUEST_FAILED, "", 998,
         "Internal Error"},
        {"unknown failure code shows the full number", MerrowReturnValue::UA_E_REQUEST_FAILED, "",
         12345, "Error with unknown failure code from Corvane : 12345"},
        {"unknown masked code shows the unmasked number", MerrowReturnValue::UA_E_REQUEST_FAILED,
         "", 12345 + 32768, "Error with unknown failure code from Corvane : 45113"},
        {"masking to zero matches no row", MerrowReturnValue::UA_E_REQUEST_FAILED, "", 32768,
         "Error with unknown failure code from Corvane : 32768"},
        {"the end-of-list marker is not a failure text", MerrowReturnValue::UA_E_REQUEST_FAILED, "",
         65535, "Error with unknown failure code from Corvane : 65535"},
        {"request failed without failure code", MerrowReturnValue::UA_E_REQUEST_FAILED, "",
         std::nullopt,
         "The action requested failed due to request-specific issues (see FailureCode:-1)"},
        {"zero is not a failure code", MerrowReturnValue::UA_E_REQUEST_FAILED, "", 0,
         "The action requested failed due to request-specific issues (see FailureCode:0)"},
        {"negative failure code goes into the request text", MerrowReturnValue::UA_E_REQUEST_FAILED,
         "", -7, "The action requested failed due to request-specific issues (see FailureCode:-7)"},
        {"CIM status code", MerrowReturnValue::UA_E_CIM_ERR_NOT_FOUND, "", std::nullopt,
         "The requested object could not be found"},
        {"undefined code 100", 100, "", std::nullopt,
         "The action requested failed for UNKNOWN reasons"},
        {"undefined code 1000", 1000, "", std::nullopt,
         "The action requested failed for UNKNOWN reasons"},
    };
    for (const Case& c : cases) {
        MerrowReturnValue value(anyCode(c.code), c.message);
        if (c.failureCode)
            value.setFailureCode(*c.failureCode);
        EXPECT_EQ(value.getMessage(), c.expected) << c.description;
    }
}

TEST(MerrowReturnValueTest, StatisticsResetFailuresShareOneText) {
    const auto text256 = MerrowReturnValue::fromArrayResult(256).getMessage();
    EXPECT_EQ(text256, "Fabrimon failure to reset the statistics counters for LAG");
    EXPECT_EQ(MerrowReturnValue::fromArrayResult(262).getMessage(), text256);
}

TEST(MerrowReturnValueTest, ArrayResultBecomesRequestFailed) {
    const auto value = MerrowReturnValue::fromArrayResult(24);
    EXPECT_EQ(value.getCode(), MerrowReturnValue::UA_E_REQUEST_FAILED);
    EXPECT_EQ(value.getFailureCode(), 24);
    EXPECT_TRUE(value.isFailure());
    EXPECT_EQ(value.getMessage(), "Invalid Parameter");
}

TEST(MerrowReturnValueTest, CodeNamesFallBackToUnknown) {
    struct Case {
        std::int32_t code;
        const char* name;
    };
    const Case cases[] = {{0, "UA_S_OK"},
                          {2, "UA_S_ASYNC"},
                          {107, "UA_E_DATACONVERSTIONERROR"},
                          {1014, "UA_E_CIM_ERR_QUERY_LANGUAGE_NOT_SUPPORTED"},
                          {-1, "UNKNOWN_MerrowReturnValue"},
                          {3, "UNKNOWN_MerrowReturnValue"},
                          {100, "UNKNOWN_MerrowReturnValue"},
                          {114, "UNKNOWN_MerrowReturnValue"},
                          {1000, "UNKNOWN_MerrowReturnValue"},
                          {1018, "UNKNOWN_MerrowReturnValue"}};
    for (const Case& c : cases) {
        const MerrowReturnValue value(anyCode(c.code));
        EXPECT_EQ(value.getCodeName(), c.name) << c.code;
        std::ostringstream streamed;
        streamed << value;
        EXPECT_EQ(streamed.str(), c.name) << c.code;
    }
}

TEST(MerrowReturnValueTest, CopiesKeepTheSerialNewValuesDoNot) {
    const MerrowReturnValue original(MerrowReturnValue::UA_E_FAIL, "broken");
    const MerrowReturnValue copy(original);
    MerrowReturnValue assigned;
    const std::int32_t assignedSerialBefore = assigned.getSerial();
    assigned = original;

    EXPECT_EQ(copy.getSerial(), original.getSerial());
    EXPECT_EQ(assigned.getSerial(), original.getSerial());
    EXPECT_NE(assignedSerialBefore, original.getSerial());
    EXPECT_EQ(assigned.getMessage(), "broken");
    EXPECT_NE(MerrowReturnValue(original.getCode()).getSerial(), original.getSerial());
}

TEST(MerrowReturnValueTest, SerialsAreDistinctAcrossThreads) {
    constexpr int kThreads = 4;
    constexpr int kValuesPerThread = 5000;
    std::vector<std::vector<std::int32_t>> serials(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&mine = serials[t]] {
            for (int i = 0; i < kValuesPerThread; ++i)
                mine.push_back(MerrowReturnValue(MerrowReturnValue::UA_S_OK).getSerial());
        });
    }
    for (auto& thread : threads)
        thread.join();

    std::vector<std::int32_t> all;
    for (const auto& mine : serials)
        all.insert(all.end(), mine.begin(), mine.end());
    std::sort(all.begin(), all.end());
    EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end()) << "a serial repeated";
    EXPECT_GE(all.front(), 1);
}

TEST(SerialCounterTest, NeverAnswersBelowOne) {
    struct Case {
        std::int32_t last;
        std::int32_t next;
    };
    const Case cases[] = {
        {0, 1},
        {1, 2},
        {-5, 1},
        {std::numeric_limits<std::int32_t>::min(), 1},
        {std::numeric_limits<std::int32_t>::max() - 1, std::numeric_limits<std::int32_t>::max()},
        {std::numeric_limits<std::int32_t>::max(), 1}};
    for (const Case& c : cases) {
        SerialCounter<std::int32_t> counter(c.last);
        EXPECT_EQ(counter.next(), c.next) << c.last;
    }
}

} // namespace
} // namespace Merrow::UserAgent
