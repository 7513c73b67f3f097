// How lists, details and sizes look on the terminal.
#include "DetailList.h"
#include "DisplayWidth.h"
#include "SizeText.h"
#include "TextTable.h"
#include "VdsProperties.h"
#include "VdsText.h"

#include <gtest/gtest.h>

#include <sstream>

namespace orvraid {
namespace {

TEST(TextTableTest, UnderlinesHeadersAlignsColumnsAndMarksTheSelectedRow)
{
    TextTable table({{"LUN ###"}, {"Size", TextTable::Align::Right}, {"Name"}});
    table.addRow({"LUN 0", "10 GB", "Data"});
    table.addRow({"LUN 1", "512 MB", ""}, true);
    std::ostringstream out;
    table.print(out);
    EXPECT_EQ(out.str(),
              "  LUN ###    Size  Name\n"
              "  -------  ------  ----\n"
              "  LUN 0     10 GB  Data\n"
              "* LUN 1    512 MB\n");
}

TEST(TextTableTest, WideCharactersCountAsOneColumnEach)
{
    TextTable table({{"Name"}, {"Status"}});
    table.addRow({"\u00C4rger@127.85.0.1", "Online"});
    table.addRow({"x", "Failed"});
    std::ostringstream out;
    table.print(out);
    std::istringstream lines(out.str());
    std::string line;
    std::vector<std::size_t> statusColumns;
    while (std::getline(lines, line)) {
        const std::size_t start = line.find_first_of("SOF-", line.find_last_of(' ', line.size() - 2));
        statusColumns.push_back(displayWidth(std::string_view(line).substr(0, start)));
    }
    EXPECT_EQ(statusColumns, (std::vector<std::size_t>{20, 20, 20, 20}));
}

TEST(DetailListTest, LinesUpTheColonsAndDropsTrailingBlanks)
{
    DetailList details;
    details.add("Name", "Fake@127.85.0.1");
    details.add("Identification", "");
    std::ostringstream out;
    details.print(out);
    EXPECT_EQ(out.str(), "Name           : Fake@127.85.0.1\nIdentification :\n");
}

TEST(SizeTextTest, UsesTheLargestUnitThatKeepsTenOrMoreAndRounds)
{
    constexpr std::uint64_t KiB = 1024;
    EXPECT_EQ(sizeText(0), "0 B");
    EXPECT_EQ(sizeText(10 * KiB - 1), "10239 B");
    EXPECT_EQ(sizeText(10 * KiB), "10 KB");
    EXPECT_EQ(sizeText(10 * KiB + KiB / 2), "11 KB");
    EXPECT_EQ(sizeText(10 * KiB + KiB / 2 - 1), "10 KB");
    EXPECT_EQ(sizeText(8 * KiB * KiB * KiB), "8192 MB");
    EXPECT_EQ(sizeText(107 * KiB * KiB * KiB), "107 GB");
    EXPECT_EQ(sizeText(UINT64_MAX), "16 EB");
}

TEST(VdsTextTest, UnknownValuesShowTheirNumber)
{
    EXPECT_EQ(statusText(3), "Unknown (3)");
    EXPECT_EQ(arrayStatusText(7), "Unknown (7)");
    EXPECT_EQ(subsystemFlagsText(0), "");
    EXPECT_EQ(subsystemFlagsText(VDS_SF_LUN_MASKING_CAPABLE | VDS_SF_SUPPORTS_AUTH_MUTUAL_CHAP),
              "LUN masking, mutual CHAP");
}

TEST(IpAddressTextTest, ShowsEachKindOfAddress)
{
    VDS_IPADDRESS address{};
    address.type = VDS_IPT_IPV4;
    address.ipv4Address = 0x7F550001;
    EXPECT_EQ(ipAddressText(address), "127.85.0.1");
    address.type = VDS_IPT_IPV6;
    address.ipv6Address[15] = 1;
    EXPECT_EQ(ipAddressText(address), "::1");
    address.type = VDS_IPT_TEXT;
    const std::u16string text = u"array.example";
    std::copy(text.begin(), text.end(), address.wszTextAddress);
    EXPECT_EQ(ipAddressText(address), "array.example");
    address.type = VDS_IPT_EMPTY;
    EXPECT_EQ(ipAddressText(address), "");
}

}  // namespace
}  // namespace orvraid
