#include "user_agent/indications/UAIndication.h"
#include "user_agent/base/MWExceptions.h"
#include "user_agent/base/UAException.h"

#include "IndicationBuilders.h"

#include <gtest/gtest.h>

#include <functional>

namespace Merrow::UserAgent {
namespace {

using Testing::makeIndicationInstance;
using Testing::makeVolume;

cim::CIMInstance withProperty(cim::CIMInstance instance, const char* name, cim::CIMValue value) {
    instance.setPropertyValue(name, std::move(value));
    return instance;
}

cim::CIMInstance without(cim::CIMInstance instance, const char* name) {
    const auto index = instance.findProperty(name);
    if (index != cim::CIMInstance::npos)
        instance.removeProperty(index);
    return instance;
}

cim::CIMInstance creation() {
    return makeIndicationInstance("CIM_InstCreation", makeVolume("v1"));
}

// A fresh instance with the property replaced, since setPropertyValue keeps the old type.
cim::CIMInstance replaced(const char* name, cim::CIMValue value) {
    return withProperty(without(creation(), name), name, std::move(value));
}

TEST(UAIndicationTest, MalformedIndicationsAreRefusedWithTheirMessage) {
    struct Case {
        const char* description;
        cim::CIMInstance indication;
        bool uaException;
        const char* message;
    };
    const Case cases[] = {
        {"no identifier", without(creation(), "IndicationIdentifier"), true,
         "cim_object is not a valid indication object"},
        {"no source path", without(creation(), "SourceInstanceModelPath"), false,
         "Badly formed exception received: no object path"},
        {"null source path", replaced("SourceInstanceModelPath", cim::CIMValue()), false,
         "Badly formed exception received: no object path"},
        {"source path not a string", replaced("SourceInstanceModelPath", std::uint32_t{5}), false,
         "Badly formed exception received: object path not a string"},
        {"source instance not embedded", replaced("SourceInstance", cim::CIMValue("text")), false,
         "Badly formed exception received: SourceInstance not a CIMTYPE_OBJECT"},
        {"previous instance not embedded", replaced("PreviousInstance", std::uint16_t{1}), false,
         "Badly formed exception received: PreviousInstance not a CIMTYPE_OBJECT"},
    };
    for (const Case& c : cases) {
        try {
            UAIndication("array", c.indication);
            ADD_FAILURE() << c.description << ": accepted";
        } catch (const UAException& e) {
            EXPECT_TRUE(c.uaException) << c.description;
            EXPECT_EQ(e.getCode(), 0) << c.description;
            EXPECT_EQ(e.getMessage(), c.message) << c.description;
        } catch (const MWException& e) {
            EXPECT_FALSE(c.uaException) << c.description;
            EXPECT_EQ(e.getMessage(), c.message) << c.description;
        }
    }
}

TEST(UAIndicationTest, UnreadableSourcePathIsRefused) {
    EXPECT_THROW(UAIndication("array", replaced("SourceInstanceModelPath",
                                                cim::CIMValue("CIM_StorageVolume.=\"unclosed"))),
                 MWException);
}

TEST(UAIndicationTest, ReadsAWellFormedIndication) {
    const cim::CIMInstance volume = makeVolume("v7");
    const UAIndication indication("127.0.0.2",
                                  makeIndicationInstance("CIM_InstCreation", volume, "4294967297"));
    EXPECT_EQ(indication.GetKind(), UAIndication::IndicationKind_CIMObject);
    EXPECT_EQ(indication.GetType(), UAIndication::CIMIndicationType_Creation);
    EXPECT_EQ(indication.GetSourceHost(), "127.0.0.2");
    EXPECT_EQ(indication.GetSourceClassName(), "CIM_StorageVolume");
    EXPECT_EQ(indication.GetSourceObjectPath(), volume.getPath());
    // The identifier is a 32-bit number; larger counters wrap.
    EXPECT_EQ(indication.GetIdentifier(), 1u);
    ASSERT_TRUE(indication.GetSourceInstance().isInstance());
    EXPECT_EQ(indication.GetSourceInstance().getPath(), volume.getPath());
    EXPECT_EQ(indication.GetSourceInstance().getInstance().getPropertyValue("ElementName"),
              cim::CIMValue("volume v7"));
    // Creations carry no previous instance: that is only traced.
    EXPECT_TRUE(indication.GetPreviousInstance().getInstance().isUninitialized());
}

TEST(UAIndicationTest, MissingOrNullSourceInstanceIsDeliveredEmpty) {
    for (const cim::CIMInstance& instance :
         {without(creation(), "SourceInstance"),
          replaced("SourceInstance", cim::CIMValue(cim::CIMType::Object, false))}) {
        const UAIndication indication("array", instance);
        EXPECT_TRUE(indication.GetSourceInstance().getInstance().isUninitialized());
        EXPECT_EQ(indication.GetSourceClassName(), "CIM_StorageVolume");
    }
}

TEST(UAIndicationTest, TypeComesFromTheIndicationClass) {
    struct Case {
        const char* indicationClass;
        UAIndication::CIMIndicationType type;
        const char* name;
    };
    const Case cases[] = {
        {"CIM_InstCreation", UAIndication::CIMIndicationType_Creation, "Creation"},
        {"cim_instdeletion", UAIndication::CIMIndicationType_Deletion, "Deletion"},
        {"CIM_InstModification", UAIndication::CIMIndicationType_Modification, "Modification"},
        {"CIM_AlertIndication", UAIndication::CIMIndicationType_Unknown, "UNKNOWN"},
    };
    for (const Case& c : cases) {
        const UAIndication indication("array",
                                      makeIndicationInstance(c.indicationClass, makeVolume("v1")));
        EXPECT_EQ(indication.GetType(), c.type) << c.indicationClass;
        EXPECT_STREQ(UAIndication::typeName(indication.GetType()), c.name);
    }
}

TEST(UAIndicationTest, ModificationKeepsThePreviousInstance) {
    cim::CIMInstance indication = makeIndicationInstance("CIM_InstModification", makeVolume("v2"));
    cim::CIMInstance before = makeVolume("v2");
    before.setPropertyValue("ElementName", cim::CIMValue("old name"));
    indication.addProperty({"PreviousInstance", cim::CIMValue(cim::CIMObject(before))});

    const UAIndication parsed("array", indication);
    ASSERT_TRUE(parsed.GetPreviousInstance().isInstance());
    EXPECT_EQ(parsed.GetPreviousInstance().getInstance().getPropertyValue("ElementName"),
              cim::CIMValue("old name"));
}

TEST(UAIndicationTest, LostConnectionCarriesHostAndText) {
    const UAIndication lost = UAIndication::makeLostConnection("array", "Connection to array lost");
    EXPECT_EQ(lost.GetKind(), UAIndication::IndicationKind_LostConnection);
    EXPECT_EQ(lost.GetSourceHost(), "array");
    EXPECT_EQ(lost.GetMessage(), "Connection to array lost");
    EXPECT_TRUE(lost.GetSourceObjectPath().isNull());
    EXPECT_EQ(UAIndication().GetKind(), UAIndication::IndicationKind_Uninitialized);
}

} // namespace
} // namespace Merrow::UserAgent
