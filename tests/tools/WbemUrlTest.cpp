#include "WbemUrl.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace orvcim {
namespace {

struct UrlCase {
    std::string text;
    std::string host;
    std::uint16_t port;
    std::string user;
    std::string password;
    std::string objectPath;
};

void PrintTo(const UrlCase& c, std::ostream* out)
{
    *out << c.text;
}

class WbemUrlParsing : public ::testing::TestWithParam<UrlCase> {};

TEST_P(WbemUrlParsing, SplitsTheParts)
{
    const UrlCase& c = GetParam();
    const WbemUrl url = WbemUrl::parse(c.text);
    EXPECT_EQ(url.host(), c.host);
    EXPECT_EQ(url.port(), c.port);
    EXPECT_EQ(url.user(), c.user);
    EXPECT_EQ(url.password(), c.password);
    EXPECT_EQ(url.objectPath(), c.objectPath);
}

INSTANTIATE_TEST_SUITE_P(
    Urls, WbemUrlParsing,
    ::testing::Values(
        UrlCase{"http://admin:pw@array1:5989/root/snia:CIM_StorageVolume.DeviceID=\"v/1\"", "array1", 5989, "admin", "pw",
                "root/snia:CIM_StorageVolume.DeviceID=\"v/1\""},
        UrlCase{"127.0.0.2/root/snia:CIM_ComputerSystem", "127.0.0.2", 5988, "", "", "root/snia:CIM_ComputerSystem"},
        UrlCase{"http://user@host/interop:CIM_RegisteredProfile", "host", 5988, "user", "", "interop:CIM_RegisteredProfile"},
        UrlCase{"http://a%40b:p@ss:w@host:1/ns:C", "host", 1, "a@b", "p@ss:w", "ns:C"},
        UrlCase{"http://[::1]:5990/root/snia:X", "::1", 5990, "", "", "root/snia:X"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(WbemUrl, RejectsWhatCannotBeReached)
{
    for (const char* bad : {"https://host/ns:C", "ftp://host/ns:C", "http://host", "http://host/", "http:///ns:C",
                            "http://host:0/ns:C", "http://host:70000/ns:C", "http://host:x/ns:C", "http://host:/ns:C",
                            "http://[::1/ns:C", "http://u:%4@host/ns:C"}) {
        EXPECT_THROW(WbemUrl::parse(bad), std::invalid_argument) << bad;
    }
}

} // namespace
} // namespace orvcim
