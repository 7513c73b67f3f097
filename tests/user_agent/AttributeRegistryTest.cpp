// The attribute registries as the facade tables generate them: every class starts with "ID"
// and "Status", every attribute and parameter is described, names and kinds follow the
// typed operations, and text conversions refuse what does not describe a value.

#include "user_agent/attributes/AllServiceHandles.h"
#include "user_agent/attributes/AttributeRegistry.h"
#include "user_agent/attributes/ServiceAttributes.h"
#include "user_agent/attributes/ValueText.h"
#include "user_agent/attributes/ValueTraits.h"
#include "user_agent/base/MWExceptions.h"
#include "user_agent/services/Service_Volume.h"

#include <gtest/gtest.h>

#include <string>

namespace Merrow::UserAgent {
namespace {

using R = MerrowReturnValue;

const AttributeRegistry& registryOf(const std::string& typeName) {
    const AttributeRegistry* registry = AttributeRegistry::Find(typeName);
    EXPECT_NE(registry, nullptr) << typeName;
    static const AttributeRegistry empty("", {}, nullptr);
    return registry ? *registry : empty;
}

const AttributeDescriptor* attribute(const std::string& typeName, std::int32_t kind, const std::string& name) {
    return registryOf(typeName).find(kind, name);
}

TEST(AttributeRegistryTest, EveryServiceClassHasARegistryStartingWithIdAndStatus) {
    const std::vector<const AttributeRegistry*> all = AttributeRegistry::All();
    ASSERT_GE(all.size(), 26u);
    for (const AttributeRegistry* registry : all) {
        ASSERT_GE(registry->attributes().size(), 2u) << registry->typeName();
        EXPECT_EQ(registry->attributes()[0].name(), "ID") << registry->typeName();
        EXPECT_EQ(registry->attributes()[0].description(), "The service's ID");
        EXPECT_EQ(registry->attributes()[1].name(), "Status") << registry->typeName();
        EXPECT_EQ(registry->attributes()[1].description(), "The service's Operational Status");
    }
    EXPECT_EQ(AttributeRegistry::Find("Service_NoSuchThing"), nullptr);
}

// Operations added to a facade table arrive in its registry by themselves; their texts do
// not, and this walk names each one that is missing.
TEST(AttributeRegistryTest, EveryAttributeParameterAndResultIsDescribed) {
    for (const AttributeRegistry* registry : AttributeRegistry::All()) {
        for (const AttributeDescriptor& attribute : registry->attributes()) {
            const std::string where = registry->typeName() + "." + attribute.name() + " (" + attribute.operation() + ")";
            EXPECT_FALSE(attribute.description().empty()) << where;
            for (const AttributeDescriptor& parameter : attribute.parameters())
                EXPECT_FALSE(parameter.description().empty()) << where << " parameter " << parameter.name();
            for (const AttributeDescriptor& result : attribute.results())
                EXPECT_FALSE(result.description().empty()) << where << " result " << result.name();
        }
    }
}

TEST(AttributeRegistryTest, NamesAndKindsFollowTheTypedOperations) {
    constexpr auto readable = AttributeDescriptor::kReadable;
    constexpr auto writable = AttributeDescriptor::kWritable;
    constexpr auto action = AttributeDescriptor::kAction;
    EXPECT_NE(attribute("Service_CorvaneSystem", readable, "VolumeList"), nullptr);
    EXPECT_NE(attribute("Service_CorvaneSystem", readable, "Controllers"), nullptr);
    EXPECT_NE(attribute("Service_CorvaneSystem", readable, "iSCSI"), nullptr);
    EXPECT_NE(attribute("Service_CorvaneSystem", writable, "Name"), nullptr);
    EXPECT_NE(attribute("Service_CorvaneSystem", action, "GetMaxVolumeSize"), nullptr);
    EXPECT_NE(attribute("Service_Volume", readable, "Name"), nullptr);
    EXPECT_NE(attribute("Service_Volume", readable, "Size"), nullptr);
    EXPECT_EQ(attribute("Service_Volume", readable, "GetSize"), nullptr);
    EXPECT_NE(attribute("Service_Task", readable, "StartTime"), nullptr);
    EXPECT_NE(attribute("Service_PoolList", readable, "GlobalSparePool"), nullptr);

    const AttributeDescriptor* setName = attribute("Service_Volume", writable, "Name");
    ASSERT_NE(setName, nullptr);
    EXPECT_EQ(setName->description(), "Sets the volume name");
    ASSERT_EQ(setName->parameters().size(), 1u);
    EXPECT_EQ(setName->parameters()[0].ops().typeId, kTypeString);

    const AttributeDescriptor* grow = attribute("Service_Volume", action, "MaxGrowSize");
    ASSERT_NE(grow, nullptr);
    EXPECT_EQ(grow->description(), "The amount (in bytes) that the current volume could be grown");
    ASSERT_EQ(grow->parameters().size(), 1u);
    EXPECT_EQ(grow->parameters()[0].name(), "disksToUse");
    EXPECT_EQ(grow->parameters()[0].kind(), AttributeDescriptor::kObjectParameter);
    EXPECT_EQ(grow->parameters()[0].ops().typeId, kTypeService + 1);
    EXPECT_STREQ(grow->parameters()[0].ops().typeName, "Service_Disk");
    ASSERT_EQ(grow->results().size(), 1u);
    EXPECT_EQ(grow->results()[0].name(), "growSize");
    EXPECT_EQ(grow->results()[0].ops().typeId, kTypeStorageSize);
}

TEST(AttributeRegistryTest, ActionParametersKeepTheirOrderTypesAndKinds) {
    const AttributeDescriptor* create = attribute("Service_CorvaneSystem", AttributeDescriptor::kAction, "CreateVolume");
    ASSERT_NE(create, nullptr);
    const std::vector<std::string> names{"name", "sizeInBytes", "compositionName", "disks", "stripeWidth", "stripeDepth"};
    ASSERT_EQ(create->parameters().size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(create->parameters()[i].name(), names[i]);
    EXPECT_EQ(create->parameters()[0].description(), "Volume name");
    EXPECT_EQ(create->parameters()[1].kind(), AttributeDescriptor::kPlainParameter);
    EXPECT_EQ(create->parameters()[2].ops().typeId, kTypeEnum);
    EXPECT_EQ(create->parameters()[3].kind(), AttributeDescriptor::kObjectParameter);
    EXPECT_EQ(create->minimumArguments(), 3u);
    EXPECT_EQ(create->argumentCountMessage(), "Expected 3,4,5 or 6 arguments");
    ASSERT_EQ(create->results().size(), 1u);
    EXPECT_EQ(create->results()[0].name(), "newVolume");
    EXPECT_EQ(create->results()[0].description(), "Service_Volume that was created");
    // An empty handle of the result's class is its prototype.
    EXPECT_EQ(create->results()[0].prototype().value().type(), typeid(Service_Volume));

    const AttributeDescriptor* depth = attribute("Service_CorvaneSystem", AttributeDescriptor::kAction, "GetMaxVolumeSize");
    ASSERT_NE(depth, nullptr);
    EXPECT_EQ(depth->parameters()[depth->parameterIndex("stripeDepth")].description(), "Stripe depth (chunksize)");
    EXPECT_EQ(depth->argumentCountMessage(), "Expected 4 arguments");
}

TEST(AttributeRegistryTest, HelpListsParametersWithTheirTypesAndResults) {
    std::string help;
    ASSERT_EQ(ServiceAttributes::Help("Service_Volume", help).getCode(), R::UA_S_OK);
    EXPECT_NE(help.find("GrowTo (action) - Grows the volume to a new size\n\tsizeInBytes - Volume size in bytes (Uint64)\n"),
              std::string::npos) << help;
    EXPECT_NE(help.find("\tdisksToUse - Disks the volume may grow onto (Service_Disk list)"), std::string::npos);
    EXPECT_NE(help.find("\tReturns: growSize - "), std::string::npos);
    EXPECT_NE(help.find("\tcompositionName - Volume composition to use (VolumeCompositionName) one of [JBOD,Stripe,Mirror,StripeMirror,Parity]"),
              std::string::npos) << help;
    EXPECT_EQ(ServiceAttributes::Help("Service_Nothing", help).getCode(), R::UA_E_INVALIDARG);
}

TEST(AttributeRegistryTest, AnEmptyHandleHasNoAttributesToReach) {
    std::string text;
    EXPECT_EQ(ServiceAttributes::Get(Service_Volume(), "Name", text).getCode(), R::UA_E_SERVICE_INVALID);
    AttributeSummary summary;
    EXPECT_EQ(ServiceAttributes::Show(Service_Volume(), summary).getCode(), R::UA_E_SERVICE_INVALID);
    std::vector<AttributeValue> results;
    EXPECT_EQ(ServiceAttributes::Invoke(Service_Volume(), "GrowTo", {"1GB"}, {}, results).getCode(),
              R::UA_E_SERVICE_INVALID);
}

TEST(AttributeRegistryTest, TextConversionsRefuseWhatIsNoValueOfTheType) {
    EXPECT_EQ(ValueTraits<std::uint8_t>::fromText("255", {}), 255);
    EXPECT_THROW(ValueTraits<std::uint8_t>::fromText("256", {}), MWEDataConversionError);
    EXPECT_THROW(ValueTraits<std::uint64_t>::fromText("12x", {}), MWEDataConversionError);
    EXPECT_THROW(ValueTraits<std::uint64_t>::fromText("-1", {}), MWEDataConversionError);
    EXPECT_TRUE(ValueTraits<bool>::fromText(" Yes ", {}));
    EXPECT_THROW(ValueTraits<bool>::fromText("maybe", {}), MWEDataConversionError);
    EXPECT_EQ(ValueTraits<StorageSize>::fromText("1 GB", {}).bytes(), 1073741824u);
    EXPECT_EQ(ValueTraits<UAEnums::VolumeCompositionName>::fromText("mirr", {}).getValue(), 3);
    EXPECT_THROW(ValueTraits<UAEnums::VolumeCompositionName>::fromText("Raid7", {}), MWEDataConversionError);
    // Objects named in text need a resolver from the caller.
    EXPECT_THROW(ValueTraits<Service_Volume>::fromText("1", {}), MWEDataConversionError);

    const std::vector<std::uint16_t> values = ValueTraits<std::vector<std::uint16_t>>::fromText("[1, 2,3]", {});
    EXPECT_EQ(values, (std::vector<std::uint16_t>{1, 2, 3}));
    EXPECT_EQ(ValueTraits<std::vector<std::uint16_t>>::toText(values), "[1,2,3]");
    EXPECT_TRUE(ValueTraits<std::vector<std::uint16_t>>::fromText("[]", {}).empty());
    EXPECT_EQ(ValueText::splitArgumentNames("(name, sizeInBytes,  disks)"),
              (std::vector<std::string>{"name", "sizeInBytes", "disks"}));
}

} // namespace
} // namespace Merrow::UserAgent
