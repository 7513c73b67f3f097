// Loading a provider into this process through the VDS stand-in: the class VDS has
// registered for the provider's id wins, the program's own class serves when VDS knows
// none, and OnLoad receives the stand-in's advise sink.
#include "FakeVdsObjects.h"
#include "ScratchRegistry.h"

#include "InProcessAttachment.h"

#include "platform/com/ComClassRegistry.h"
#include "platform/com/TaskMemory.h"
#include "platform/vds/VdsService.h"

#include <gtest/gtest.h>

namespace orvraid {
namespace {

using test::CLSID_FakeVdsProvider;
using test::FAKE_PROVIDER_ID;
using test::FakeVdsProvider;

// {0E4C9A61-27D3-4F80-B5C2-7A19D6E3F850}: a class nothing makes creatable.
constexpr CLSID kUnknownClass = {0x0E4C9A61, 0x27D3, 0x4F80, {0xB5, 0xC2, 0x7A, 0x19, 0xD6, 0xE3, 0xF8, 0x50}};

class InProcessAttachmentTest : public ::testing::Test {
protected:
    InProcessAttachmentTest()
    {
        orv::platform::ComClassRegistry::instance().registerClass(CLSID_FakeVdsProvider,
                                                                  CreateComInstance<FakeVdsProvider>);
    }
    ~InProcessAttachmentTest() override
    {
        orv::platform::ComClassRegistry::instance().unregisterClass(CLSID_FakeVdsProvider);
    }

    void registerWithVds(REFCLSID clsid)
    {
        CComPtr<IVdsAdmin> admin;
        ASSERT_EQ(CoCreateInstance(CLSID_VdsService, nullptr, CLSCTX_ALL, IID_IVdsAdmin, admin.put_void()), S_OK);
        std::u16string name = u"Test Provider";
        std::u16string version = u"1.0";
        ASSERT_EQ(admin->RegisterProvider(FAKE_PROVIDER_ID, clsid, name.data(), VDS_PT_HARDWARE, nullptr,
                                          version.data(), GUID{}),
                  S_OK);
    }

    static std::string loadedName(const InProcessAttachment& attachment)
    {
        VDS_PROVIDER_PROP prop{};
        EXPECT_EQ(attachment.provider()->GetProperties(&prop), S_OK);
        std::u16string name = prop.pwszName;
        CoTaskMemFree(prop.pwszName);
        CoTaskMemFree(prop.pwszVersion);
        return std::string(name.begin(), name.end());
    }

    ScratchRegistry registry;
};

TEST_F(InProcessAttachmentTest, LoadsTheClassRegisteredWithVdsAndGivesItTheSink)
{
    registerWithVds(CLSID_FakeVdsProvider);
    const int loadsBefore = FakeVdsProvider::s_loads;
    std::unique_ptr<InProcessAttachment> attachment;
    ASSERT_EQ(InProcessAttachment::load(FAKE_PROVIDER_ID, kUnknownClass, attachment), S_OK);
    ASSERT_NE(attachment, nullptr);
    EXPECT_EQ(loadedName(*attachment), "Test Provider");
    EXPECT_EQ(FakeVdsProvider::s_loads, loadsBefore + 1);
    EXPECT_TRUE(FakeVdsProvider::s_lastLoadHadSink);
}

TEST_F(InProcessAttachmentTest, FallsBackToTheProgramsClassWhenVdsKnowsNoProvider)
{
    std::unique_ptr<InProcessAttachment> attachment;
    ASSERT_EQ(InProcessAttachment::load(FAKE_PROVIDER_ID, CLSID_FakeVdsProvider, attachment), S_OK);
    EXPECT_EQ(loadedName(*attachment), "Test Provider");
}

TEST_F(InProcessAttachmentTest, AClassThatCannotBeCreatedLeavesNothingAttached)
{
    std::unique_ptr<InProcessAttachment> attachment;
    EXPECT_EQ(InProcessAttachment::load(FAKE_PROVIDER_ID, kUnknownClass, attachment), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(attachment, nullptr);

    // A registration with VDS that names a class this process cannot create is not
    // replaced by the fallback: VDS's word on the provider's class counts.
    registerWithVds(kUnknownClass);
    EXPECT_EQ(InProcessAttachment::load(FAKE_PROVIDER_ID, CLSID_FakeVdsProvider, attachment), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(attachment, nullptr);
}

}  // namespace
}  // namespace orvraid
