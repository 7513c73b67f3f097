#include "user_agent/base/StorageSize.h"
#include "user_agent/base/MWExceptions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace Merrow::UserAgent {
namespace {

constexpr std::uint64_t KiB = 1024;
constexpr std::uint64_t MiB = KiB * 1024;
constexpr std::uint64_t GiB = MiB * 1024;
constexpr std::uint64_t EiB = GiB * 1024 * 1024 * 1024;
constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

TEST(StorageSizeTest, RoundsUpToWholeBlocks) {
    struct Case {
        std::uint64_t bytes;
        std::uint64_t rounded;
    };
    const Case cases[] = {{0, 0},
                          {1, 512},
                          {511, 512},
                          {512, 512},
                          {513, 1024},
                          {kMax - 511, kMax - 511},
                          {kMax - 510, kMax - 511},
                          {kMax, kMax - 511}};
    for (const Case& c : cases)
        EXPECT_EQ(StorageSize(c.bytes).bytes(), c.rounded) << c.bytes;
}

TEST(StorageSizeTest, ParsesNumbersWithUnits) {
    struct Case {
        const char* text;
        std::uint64_t bytes;
    };
    const Case cases[] = {
        {"1,536 MB", 1536 * MiB},
        {"1.5 kb", 1536},
        {"700 bytes", 1024},
        {"700", 1024},
        {"512B", 512},
        {"1 Bytes", 512},
        {"0", 0},
        {"0.1", 0},
        {"1.5", 512},
        {" \t2 GB\n", 2 * GiB},
        {"2 gB", 2 * GiB},
        {"1,0,2,4", 1024},
        {".5 KB", 512},
        {"15 EB", 15 * EiB},
    };
    for (const Case& c : cases) {
        const StorageSize size{std::string(c.text)};
        EXPECT_EQ(size.bytes(), c.bytes) << c.text;
        EXPECT_TRUE(size.hasBinaryUnits()) << c.text;
    }
}

TEST(StorageSizeTest, MalformedTextNamesWhatFailed) {
    struct Case {
        const char* text;
        const char* prefix;
    };
    const char* number = "Invalid size string : '";
    const char* unit = "Invalid size unit suffix string : '";
    const Case cases[] = {
        {"1 XB", unit}, {"5 M B", unit},   {"5 KiB", unit},   {"12abc", unit},
        {"", number},   {"MB", number},    {"-5 MB", number}, {"1.2.3 MB", number},
        {".", number},  {"16 EB", number}, {"1 ZB", number},  {"1 YB", number},
    };
    for (const Case& c : cases) {
        try {
            StorageSize size{std::string(c.text)};
            ADD_FAILURE() << "accepted '" << c.text << "' as " << size.bytes();
        } catch (const MWEDataConversionError& e) {
            EXPECT_EQ(e.getMessage(), std::string(c.prefix) + c.text + "'");
            EXPECT_EQ(e.getFunction(), "Merrow::UserAgent::StorageSize::StorageSize");
            EXPECT_TRUE(e.getFile().ends_with("StorageSize.cpp")) << e.getFile();
        }
    }
}

TEST(StorageSizeTest, PrintsInTheLargestFittingUnit) {
    struct Case {
        std::uint64_t bytes;
        bool binary;
        bool scaledOnly;
        const char* text;
    };
    const Case cases[] = {
        {0, true, true, "0 bytes"},
        {512, true, true, "512 bytes"},
        {1024, true, true, "1 KB"},
        {1536, true, true, "1.5000e+00 KB"},
        {1536, true, false, "1536 ( 1.5000e+00 KB )"},
        {3 * GiB, true, false, "3221225472 ( 3 GB )"},
        {MiB - 512, true, true, "1.0235e+03 KB"},
        {kMax, true, true, "1.6000e+01 EB"},
        {1024, false, true, "1.0240e+00 KB"},
        {512000, false, true, "512 KB"},
        {1024000, false, true, "1.0240e+00 MB"},
        {4000000000, false, true, "4 GB"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StorageSize(c.bytes, c.binary).toString(c.scaledOnly), c.text) << c.bytes;
}

TEST(StorageSizeTest, ExactTextRoundTrips) {
    for (const std::uint64_t bytes : {std::uint64_t{512}, 7 * KiB, 3 * GiB, 5 * EiB}) {
        const StorageSize size(bytes);
        EXPECT_EQ(StorageSize(size.toString(true)), size) << size.toString();
    }
}

} // namespace
} // namespace Merrow::UserAgent
