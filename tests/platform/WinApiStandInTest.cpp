#include "platform/winapi/RpcUuid.h"
#include "platform/winapi/WideTime.h"
#include "platform/winapi/Winsock.h"

#include <gtest/gtest.h>

#include <sys/utsname.h>

#include <array>
#include <string>

TEST(WinsockTest, StartUpsPairWithCleanUpsAndAnswerTheVersionToUse)
{
    WSADATA data{};
    EXPECT_EQ(WSAStartup(MAKEWORD(2, 0), nullptr), WSAEFAULT);
    EXPECT_EQ(WSAStartup(MAKEWORD(0, 9), &data), WSAVERNOTSUPPORTED);

    struct Case {
        WORD requested;
        WORD granted;
    };
    for (const Case& row : {Case{MAKEWORD(2, 0), MAKEWORD(2, 0)}, Case{MAKEWORD(1, 1), MAKEWORD(1, 1)},
                            Case{MAKEWORD(2, 2), MAKEWORD(2, 2)}, Case{MAKEWORD(3, 0), MAKEWORD(2, 2)},
                            Case{MAKEWORD(2, 9), MAKEWORD(2, 2)}}) {
        SCOPED_TRACE(row.requested);
        ASSERT_EQ(WSAStartup(row.requested, &data), 0);
        EXPECT_EQ(data.wVersion, row.granted);
        EXPECT_EQ(data.wHighVersion, MAKEWORD(2, 2));
        EXPECT_EQ(WSACleanup(), 0);
    }
    // Nested: two start-ups need two clean-ups; a third one is a mistake.
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 0), &data), 0);
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 0), &data), 0);
    EXPECT_EQ(WSACleanup(), 0);
    EXPECT_EQ(WSACleanup(), 0);
    EXPECT_EQ(WSACleanup(), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
}

TEST(WinsockTest, TheHostNameIsTheMachines)
{
    std::array<char, 256> name{};
    ASSERT_EQ(gethostname(name.data(), name.size()), 0);
    utsname machine{};
    ASSERT_EQ(uname(&machine), 0);
    EXPECT_EQ(std::string(name.data()), std::string(machine.nodename));
}

TEST(RpcUuidTest, NilUuidsAreMadeAndRecognised)
{
    UUID id;
    CoCreateGuid(&id);
    RPC_STATUS status = -1;
    EXPECT_EQ(UuidIsNil(&id, &status), 0);
    EXPECT_EQ(status, RPC_S_OK);
    EXPECT_EQ(UuidCreateNil(&id), RPC_S_OK);
    EXPECT_EQ(UuidIsNil(&id, &status), 1);
    EXPECT_EQ(UuidIsNil(nullptr, &status), 1);
    UUID almost = GUID_NULL;
    almost.Data4[7] = 1;
    EXPECT_EQ(UuidIsNil(&almost, nullptr), 0);
}

TEST(WideTimeTest, FormatsLikeStrftimeInWideText)
{
    std::tm when{};
    when.tm_year = 126; // 2026
    when.tm_mon = 11;
    when.tm_mday = 7;
    when.tm_hour = 5;
    when.tm_min = 4;
    when.tm_sec = 3;
    when.tm_wday = 1;
    std::array<WCHAR, 260> text{};
    // The volume names use "%c" (here in the C locale the tests run in).
    EXPECT_EQ(wcsftime(text.data(), text.size(), u"%c", &when), 24u);
    EXPECT_EQ(std::u16string(text.data()), u"Mon Dec  7 05:04:03 2026");
    EXPECT_EQ(wcsftime(text.data(), text.size(), u"créé %Y-%m-%d ✓", &when), 17u);
    EXPECT_EQ(std::u16string(text.data()), u"créé 2026-12-07 ✓");
    // The result and its terminator must fit.
    EXPECT_EQ(wcsftime(text.data(), 10, u"%Y-%m-%d", &when), 0u);
    EXPECT_EQ(wcsftime(text.data(), 11, u"%Y-%m-%d", &when), 10u);
    EXPECT_EQ(wcsftime(nullptr, 11, u"%Y", &when), 0u);
}
