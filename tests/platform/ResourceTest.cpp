#include "platform/strings/ResourceLibrary.h"
#include "platform/strings/ResourceString.h"
#include "platform/strings/StringTable.h"

#include <gtest/gtest.h>

#include <thread>

namespace orv::platform {
namespace {

TEST(ResourceLibrary, LoadedLibrarySuppliesTheProductAndVendorStrings)
{
    ResourceLibrary library;
    ASSERT_EQ(library.load(ORV_RESOURCES_LIBRARY), S_OK) << library.lastError();
    EXPECT_TRUE(library.isLoaded());
    for (UINT id = 105; id <= 109; ++id) {
        std::optional<std::u16string> text = library.loadString(id);
        ASSERT_TRUE(text.has_value()) << id;
        EXPECT_FALSE(text->empty()) << id;
    }
    // The SCSI inquiry fields these become are 8 and 16 characters wide.
    EXPECT_LE(library.loadString(108)->size(), 8u);
    EXPECT_LE(library.loadString(106)->size(), 16u);
    EXPECT_FALSE(library.loadString(104).has_value());
    EXPECT_FALSE(library.loadString(110).has_value());
}

TEST(ResourceLibrary, LoadStringTruncatesLikeThePlatform)
{
    ResourceLibrary library;
    ASSERT_EQ(library.load(ORV_RESOURCES_LIBRARY), S_OK);
    const std::u16string full = *library.loadString(107);
    ASSERT_GE(full.size(), 3u);

    WCHAR buffer[260];
    EXPECT_EQ(library.loadString(107, buffer, 260), static_cast<int>(full.size()));
    EXPECT_EQ(std::u16string(buffer), full);
    EXPECT_EQ(library.loadString(107, buffer, 3), 2);
    EXPECT_EQ(std::u16string(buffer), full.substr(0, 2));
    EXPECT_EQ(library.loadString(107, buffer, 0), 0);
    EXPECT_EQ(library.loadString(107, nullptr, 260), 0);
    EXPECT_EQ(library.loadString(999, buffer, 260), 0);
}

TEST(ResourceLibrary, MissingLibraryIsAClearFailure)
{
    ResourceLibrary library;
    EXPECT_EQ(library.load("/nonexistent/libOrv_Resources.so"), HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND));
    EXPECT_FALSE(library.isLoaded());
    EXPECT_NE(library.lastError().find("/nonexistent/libOrv_Resources.so"), std::string::npos);
    WCHAR buffer[16];
    EXPECT_EQ(library.loadString(105, buffer, 16), 0);
    EXPECT_FALSE(library.loadString(105).has_value());
}

TEST(ResourceLibrary, LibraryWithoutTheStringFunctionIsRefused)
{
    ResourceLibrary library;
    EXPECT_EQ(library.load("libsqlite3.so.0"), HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND));
    EXPECT_FALSE(library.isLoaded());
    EXPECT_NE(library.lastError().find("OrvResources_LoadString"), std::string::npos);
}

TEST(ResourceLibrary, UnloadAndReloadOnceMore)
{
    ResourceLibrary library;
    ASSERT_EQ(library.load(ORV_RESOURCES_LIBRARY), S_OK);
    library.unload();
    EXPECT_FALSE(library.isLoaded());
    EXPECT_FALSE(library.loadString(109).has_value());
    ASSERT_EQ(library.load(ORV_RESOURCES_LIBRARY), S_OK);
    EXPECT_TRUE(library.loadString(109).has_value());
    // A failed reload leaves nothing loaded rather than the old library.
    EXPECT_NE(library.load("/nonexistent/lib.so"), S_OK);
    EXPECT_FALSE(library.loadString(109).has_value());
}

TEST(ResourceLibrary, ConcurrentReadersAndReloadsAreSafe)
{
    ResourceLibrary library;
    ASSERT_EQ(library.load(ORV_RESOURCES_LIBRARY), S_OK);
    std::thread reloader([&library] {
        for (int i = 0; i < 50; ++i)
            library.load(ORV_RESOURCES_LIBRARY);
    });
    int found = 0;
    for (int i = 0; i < 2000; ++i) {
        WCHAR buffer[64];
        found += library.loadString(105, buffer, 64) > 0 ? 1 : 0;
    }
    reloader.join();
    EXPECT_GT(found, 0);
    EXPECT_TRUE(library.loadString(105).has_value());
}

TEST(ResourceLibrary, DefaultPathFollowsTheEnvironment)
{
    ::setenv("ORVDS_RESOURCES", "/opt/orvds/libOrv_Resources.so", 1);
    EXPECT_EQ(ResourceLibrary::defaultPath(), "/opt/orvds/libOrv_Resources.so");
    ::unsetenv("ORVDS_RESOURCES");
    // Tests run from build/tests, so the library is found in build/lib.
    EXPECT_EQ(std::filesystem::weakly_canonical(ResourceLibrary::defaultPath()),
              std::filesystem::weakly_canonical(ORV_RESOURCES_LIBRARY));
    ResourceLibrary library;
    EXPECT_EQ(library.load(), S_OK);
}

TEST(StringTable, HoldsEveryStringTheProgramLoads)
{
    std::vector<UINT> ids = {201, 203, 209, 226, 227, 239, 2110, 2120, 2130, 2140, 2150};
    for (UINT id = 2002; id <= 2018; ++id)
        ids.push_back(id);
    for (UINT id : ids) {
        std::optional<std::u16string> text = StringTable::loadString(id);
        ASSERT_TRUE(text.has_value()) << id;
        EXPECT_FALSE(text->empty()) << id;
    }
    EXPECT_FALSE(StringTable::loadString(2019).has_value());
    WCHAR buffer[4];
    EXPECT_EQ(StringTable::loadString(2003, buffer, 4), 3);
    EXPECT_EQ(std::u16string(buffer), u"Sof");
}

TEST(StringTable, FormatsTakeTheirArgumentsInOrder)
{
    ResourceLibrary library;
    ASSERT_EQ(library.load(ORV_RESOURCES_LIBRARY), S_OK);
    const std::u16string product = *library.loadString(107);
    const std::u16string array = *library.loadString(106);
    const std::u16string name = formatResourceString(
        *StringTable::loadString(StringTable::IDS_PROVIDER_NAME_FORMAT), {product, array});
    EXPECT_EQ(name, product + u" VDS Provider for the " + array);
    EXPECT_EQ(formatResourceString(*StringTable::loadString(StringTable::IDS_VOLUME_NAME_FORMAT),
                                   {u"Parity", u"12/06/26 10:00:00", u"host1"}),
              u"Parity created 12/06/26 10:00:00 by host1");
}

TEST(ResourceString, FormattingHandlesEscapesAndMissingArguments)
{
    struct Case {
        std::u16string format;
        std::initializer_list<std::u16string_view> arguments;
        std::u16string expected;
    };
    const Case cases[] = {
        {u"%s controller", {u"Corvane"}, u"Corvane controller"},
        {u"100%% %S", {u"done"}, u"100% done"},
        {u"(0x%0x)", {u"unused"}, u"(0x%0x)"},
        {u"%s and %s", {u"one"}, u"one and %s"},
        {u"plain", {u"surplus"}, u"plain"},
        {u"trailing %", {}, u"trailing %"},
        {u"%s", {u"%s"}, u"%s"},  // arguments are not formatted again
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatResourceString(c.format, c.arguments), c.expected);
}

}  // namespace
}  // namespace orv::platform
