// The by-name facilities against the simulated array: refused calls never reach the array,
// values read by name are the array's, a failing getter leaves the rest of the summary, a
// volume made by name has the layout asked for, and attributes walk from the system down to
// a volume's target.

#include "user_agent/attributes/AllServiceHandles.h"
#include "user_agent/attributes/ServiceAttributes.h"
#include "user_agent/base/CIMValueConversions.h"
#include "user_agent/services/Service_CorvaneSystem.h"

#include "sim/CimJson.h"

#include "SimArray.h"
#include "StartedRootSimTest.h"

#include <gtest/gtest.h>

namespace Merrow::UserAgent {
namespace {

using namespace Testing;
using R = MerrowReturnValue;

class AttributeSimTest : public StartedRootSimTest {
protected:
    void start(const std::string& address) {
        ASSERT_NO_FATAL_FAILURE(connectToNewArray(address));
        ASSERT_EQ(m_connection.GetCorvaneSystemService(m_system).getCode(), R::UA_S_OK);
    }

    std::uint64_t requests() const {
        std::uint64_t total = 0;
        for (const auto& [operation, count] : m_array->control().requestCounts())
            total += count;
        return total;
    }

    std::uint64_t sent(const char* method, const char* parameter) {
        const auto call = m_array->control().lastCall(method);
        if (!call || !call->parameters.count(parameter))
            return ~0ull;
        return CIMValueToUint64(call->parameters.at(parameter)).value_or(~0ull);
    }

    // The services one attribute of `from` holds.
    std::vector<MerrowService> walk(const MerrowService& from, const std::string& name) {
        AttributeValue value;
        EXPECT_EQ(ServiceAttributes::GetValue(from, name, value).getCode(), R::UA_S_OK) << name;
        return value.services();
    }

    MerrowService firstVolume() {
        const auto lists = walk(m_system, "VolumeList");
        if (lists.size() != 1)
            return {};
        const auto volumes = walk(lists[0], "Volumes");
        return volumes.empty() ? MerrowService() : volumes[0];
    }

    // Disks named by slot number, the way a front end lets people write them.
    ValueContext disksBySlot() {
        ValueContext context;
        context.resolver = [this](const std::string& typeName, const std::string& text, MerrowService& service) {
            if (typeName != "Service_Disk")
                return R(R::UA_E_INVALIDARG);
            for (const MerrowService& disk : walk(walk(m_system, "DiskList").at(0), "Disks")) {
                std::string slot;
                if (!ServiceAttributes::Get(disk, "SlotNumber", slot).isFailure() && slot == text) {
                    service = disk;
                    return R();
                }
            }
            return R(R::UA_E_INVALIDARG, "no disk in slot " + text);
        };
        return context;
    }

    Service_CorvaneSystem m_system;
};

TEST_F(AttributeSimTest, RefusedInvocationsNeverReachTheArray) {
    ASSERT_NO_FATAL_FAILURE(start("127.82.1.1"));
    const MerrowService volume = firstVolume();
    ASSERT_TRUE(volume.IsValid());
    std::vector<AttributeValue> results;
    const std::uint64_t before = requests();

    R result = ServiceAttributes::Invoke(volume, "GrowTo", {"1GB", "2GB"}, {}, results);
    EXPECT_EQ(result.getCode(), R::UA_E_INVALIDARG);
    EXPECT_EQ(result.getMessage(), "Expected 1 arguments");
    result = ServiceAttributes::Invoke(volume, "Delete", {"now"}, {}, results);
    EXPECT_EQ(result.getMessage(), "Expected 0 arguments");
    result = ServiceAttributes::Invoke(volume, "IntegrityScanAt", {"12:00"}, {}, results);
    EXPECT_EQ(result.getMessage(), "Expected 3 arguments");
    result = ServiceAttributes::Invoke(volume, "Reconfigure", {}, {}, results);
    EXPECT_EQ(result.getMessage(), "Expected 1,2,3,4,or 5 arguments");
    result = ServiceAttributes::Invoke(volume, "GrowTo", {"lots"}, {}, results);
    EXPECT_EQ(result.getCode(), R::UA_E_DATACONVERSTIONERROR);
    EXPECT_NE(result.getMessage().find("sizeInBytes"), std::string::npos);
    result = ServiceAttributes::Invoke(volume, "Shrink", {}, {}, results);
    EXPECT_EQ(result.getMessage(), "Service_Volume has no action attribute 'Shrink'");
    result = ServiceAttributes::Set(volume, "Size", "1GB");
    EXPECT_EQ(result.getCode(), R::UA_E_INVALIDARG);
    result = ServiceAttributes::Invoke(m_system, "CreateVolume", {"v", "1GB"}, {}, results);
    EXPECT_EQ(result.getMessage(), "Expected 3,4,5 or 6 arguments");

    EXPECT_EQ(requests(), before);
    EXPECT_TRUE(results.empty());
}

TEST_F(AttributeSimTest, ValuesReadAndWrittenByNameAreTheArrays) {
    ASSERT_NO_FATAL_FAILURE(start("127.82.1.2"));
    const MerrowService volume = firstVolume();
    ASSERT_TRUE(volume.IsValid());
    ASSERT_EQ(ServiceAttributes::Set(volume, "Name", "renamed").getCode(), R::UA_S_OK);
    std::string name;
    ASSERT_EQ(ServiceAttributes::Get(volume, "name", name).getCode(), R::UA_S_OK);
    EXPECT_EQ(name, "renamed");

    std::string size;
    ASSERT_EQ(ServiceAttributes::Get(volume, "Size", size).getCode(), R::UA_S_OK);
    const auto typed = std::any_cast<Service_Volume>(ServiceAsHandleValue("Service_Volume", volume));
    StorageSize bytes;
    ASSERT_EQ(typed.GetSize(bytes).getCode(), R::UA_S_OK);
    EXPECT_EQ(size, bytes.toString(true));

    const R failed = ServiceAttributes::Get(volume, "CurrentTasks", size);
    EXPECT_EQ(failed.getCode(), R::UA_E_NOTIMPL);
    EXPECT_EQ(failed.getMessage().rfind("CurrentTasks Get() returned ", 0), 0u) << failed.getMessage();
}

TEST_F(AttributeSimTest, AFailingGetterLeavesItsTextInTheSummaryAndTheRestFollows) {
    ASSERT_NO_FATAL_FAILURE(start("127.82.1.3"));
    const MerrowService volume = firstVolume();
    AttributeSummary summary;
    ASSERT_EQ(ServiceAttributes::Show(volume, summary).getCode(), R::UA_S_OK);

    const AttributeSummary::Pair* tasks = summary.find("CurrentTasks");
    ASSERT_NE(tasks, nullptr);
    EXPECT_TRUE(tasks->failed);
    EXPECT_EQ(tasks->value.rfind("CurrentTasks Get() returned ", 0), 0u);
    // Attributes after the failing one are still there, read from the array.
    const AttributeSummary::Pair* reconfiguring = summary.find("IsReconfiguring");
    ASSERT_NE(reconfiguring, nullptr);
    EXPECT_FALSE(reconfiguring->failed);
    EXPECT_EQ(reconfiguring->value, "false");
    const std::string xml = summary.toXml();
    EXPECT_NE(xml.find("<Summary>"), std::string::npos);
    EXPECT_NE(xml.find("<nameValuePair><name>Name</name><type>std::string</type><value>"), std::string::npos) << xml;

    AttributeSummary system;
    ASSERT_EQ(ServiceAttributes::Show(m_system, system).getCode(), R::UA_S_OK);
    const AttributeSummary::Pair* controllers = system.find("Controllers");
    ASSERT_NE(controllers, nullptr);
    EXPECT_TRUE(controllers->isList);
    EXPECT_EQ(controllers->items.size(), 2u);
    EXPECT_EQ(controllers->value.front(), '[');
    EXPECT_NE(system.toXml().find("<list><value>"), std::string::npos);
}

TEST_F(AttributeSimTest, WalkingFromTheSystemReachesAVolumesTarget) {
    ASSERT_NO_FATAL_FAILURE(start("127.82.1.4"));
    const MerrowService volume = firstVolume();
    ASSERT_TRUE(volume.IsValid());
    EXPECT_EQ(volume.GetTypeName(), "Service_Volume");
    const auto targets = walk(volume, "Target");
    ASSERT_EQ(targets.size(), 1u);
    EXPECT_EQ(targets[0].GetTypeName(), "Service_iSCSITarget");
    std::string targetName;
    ASSERT_EQ(ServiceAttributes::Get(targets[0], "DurableName", targetName).getCode(), R::UA_S_OK);
    EXPECT_EQ(targetName.rfind("iqn.", 0), 0u) << targetName;
    // And back: the target's volume is the volume walked from.
    const auto back = walk(targets[0], "Volume");
    ASSERT_EQ(back.size(), 1u);
    std::string a, b;
    ASSERT_EQ(ServiceAttributes::Get(back[0], "DurableName", a).getCode(), R::UA_S_OK);
    ASSERT_EQ(ServiceAttributes::Get(volume, "DurableName", b).getCode(), R::UA_S_OK);
    EXPECT_EQ(a, b);
}

TEST_F(AttributeSimTest, VolumesCreatedByNameFollowTheStripeRules) {
    ASSERT_NO_FATAL_FAILURE(start("127.82.1.5"));
    const ValueContext context = disksBySlot();
    std::vector<AttributeValue> results;
    const std::uint64_t before = requests();
    R result = ServiceAttributes::Invoke(m_system, "CreateVolume", {"s", "1GB", "Stripe", "[1,2]"}, context, results);
    EXPECT_EQ(result.getCode(), R::UA_E_INVALIDARG);
    EXPECT_EQ(result.getMessage(), "Stripe requires specifying stripeWidth");
    result = ServiceAttributes::Invoke(m_system, "CreateVolume", {"s", "1GB", "Parity", "[1,2,3]", "3"}, context, results);
    EXPECT_EQ(result.getMessage(), "Parity requires selecting stripeDepth");
    // Refused before the disks were even looked up.
    EXPECT_EQ(requests(), before);
    result = ServiceAttributes::Invoke(m_system, "CreateVolume", {"s", "1GB", "Stripe", "[1,99]", "2", "64KB"}, context, results);
    EXPECT_EQ(result.getCode(), R::UA_E_DATACONVERSTIONERROR);
    // Slot 99 was looked up and not found: nothing was asked of the array's configuration.
    EXPECT_FALSE(m_array->control().lastCall("CreateVolume").has_value());

    ASSERT_EQ(ServiceAttributes::Invoke(m_system, "CreateVolume", {"striped", "1GB", "Stripe", "[1,2]", "2", "64KB"},
                                        context, results).getCode(), R::UA_S_OK);
    auto call = m_array->control().lastCall("CreateVolume");
    ASSERT_TRUE(call.has_value());
    EXPECT_EQ(sent("CreateVolume", "StripeWidth"), 2u);
    EXPECT_EQ(sent("CreateVolume", "ChunkSize"), 65536u);
    EXPECT_EQ(call->parameters.at("StorageDevice").isArray(), true);
    ASSERT_EQ(results.size(), 1u);
    ASSERT_EQ(results[0].services().size(), 1u);
    std::string name;
    ASSERT_EQ(ServiceAttributes::Get(results[0].services()[0], "Name", name).getCode(), R::UA_S_OK);
    EXPECT_EQ(name, "striped");

    // A mirror takes the defaults: one wide, the default depth.
    results.clear();
    ASSERT_EQ(ServiceAttributes::Invoke(m_system, "CreateVolume", {"mirrored", "2GB", "Mirror"}, context, results).getCode(),
              R::UA_S_OK);
    call = m_array->control().lastCall("CreateVolume");
    ASSERT_TRUE(call.has_value());
    EXPECT_EQ(call->parameters.at("ElementName"), cim::CIMValue(std::string("mirrored")));
    EXPECT_EQ(sent("CreateVolume", "ChunkSize"), ServiceAttributes::kDefaultStripeDepth);
    EXPECT_EQ(sent("CreateVolume", "StripeWidth"), 1u);
}

TEST_F(AttributeSimTest, SecretsAreEmptyOrTwelveToSixteenCharacters) {
    ASSERT_NO_FATAL_FAILURE(start("127.82.1.6"));
    const auto targets = walk(firstVolume(), "Target");
    ASSERT_EQ(targets.size(), 1u);
    const AttributeDescriptor* secret = nullptr;
    ASSERT_FALSE(ServiceAttributes::Find(targets[0], AttributeDescriptor::kWritable, "Secret", secret).isFailure());
    const std::uint64_t before = requests();
    const R refused = ServiceAttributes::Set(targets[0], "Secret", std::string(11, 'x'));
    EXPECT_EQ(refused.getCode(), R::UA_E_INVALIDARG);
    EXPECT_EQ(refused.getMessage(), "Secret must be 12-16 chars in length");
    EXPECT_EQ(ServiceAttributes::Set(targets[0], "Secret", std::string(17, 'x')).getMessage(),
              "Secret must be 12-16 chars in length");
    EXPECT_EQ(requests(), before);
    EXPECT_EQ(ServiceAttributes::Set(targets[0], "Secret", std::string(12, 'x')).getCode(), R::UA_S_OK);
    EXPECT_EQ(ServiceAttributes::Set(targets[0], "Secret", std::string(16, 'y')).getCode(), R::UA_S_OK);
    EXPECT_EQ(ServiceAttributes::Set(targets[0], "Secret", "").getCode(), R::UA_S_OK);
}

TEST_F(AttributeSimTest, VolumeSettingsByNameAreKeptOnTheArraysSettingObject) {
    ASSERT_NO_FATAL_FAILURE(start("127.82.1.7"));
    const MerrowService volume = firstVolume();
    ASSERT_TRUE(volume.IsValid());
    std::string text;
    ASSERT_EQ(ServiceAttributes::Get(volume, "IsReadOnly", text).getCode(), R::UA_S_OK);
    EXPECT_EQ(text, "false");
    ASSERT_EQ(ServiceAttributes::Set(volume, "IsReadOnly", "true").getCode(), R::UA_S_OK);
    ASSERT_EQ(ServiceAttributes::Set(volume, "ReadAheadByteCount", "128KB").getCode(), R::UA_S_OK);
    ASSERT_EQ(ServiceAttributes::Set(volume, "BlockSizeBytes", "4096").getCode(), R::UA_S_OK);
    std::string name;
    ASSERT_EQ(ServiceAttributes::Get(volume, "Name", name).getCode(), R::UA_S_OK);
    const auto stored = [&] {
        return m_array->control().model().read([&](const Sim::ModelView& view) { return *view.state.findVolumeByName(name); });
    };
    EXPECT_EQ(Sim::CimJson::valueFromJson(stored().settings.at("IsReadOnly")), cim::CIMValue(true));
    ASSERT_EQ(ServiceAttributes::Get(volume, "IsReadOnly", text).getCode(), R::UA_S_OK);
    EXPECT_EQ(text, "true");
    ASSERT_EQ(ServiceAttributes::Get(volume, "ReadAheadByteCount", text).getCode(), R::UA_S_OK);
    EXPECT_EQ(text, "131072");
    ASSERT_EQ(ServiceAttributes::Get(volume, "BlockSizeBytes", text).getCode(), R::UA_S_OK);
    EXPECT_EQ(text, "4096");

    // What the array does not take it refuses, and the values stay.
    EXPECT_TRUE(ServiceAttributes::Set(volume, "BlockSizeBytes", "1024").isFailure());
    std::string maximum;
    ASSERT_EQ(ServiceAttributes::Get(volume, "MaxReadAheadByteCount", maximum).getCode(), R::UA_S_OK);
    EXPECT_TRUE(ServiceAttributes::Set(volume, "ReadAheadByteCount", std::to_string(std::stoull(maximum) + 512)).isFailure());
    ASSERT_EQ(ServiceAttributes::Get(volume, "BlockSizeBytes", text).getCode(), R::UA_S_OK);
    EXPECT_EQ(text, "4096");
    EXPECT_EQ(ServiceAttributes::Set(volume, "MaxReadAheadByteCount", "1").getCode(), R::UA_E_INVALIDARG);

    // Read-outs of the volume and its setting the array already had.
    ASSERT_EQ(ServiceAttributes::Get(volume, "State", text).getCode(), R::UA_S_OK);
    EXPECT_EQ(text, "Normal");
    ASSERT_EQ(ServiceAttributes::Get(volume, "GetStripeDepth", text).getCode(), R::UA_S_OK);
    EXPECT_EQ(text, std::to_string(stored().layout.chunkBytes));
    AttributeValue initiators;
    ASSERT_EQ(ServiceAttributes::GetValue(volume, "Initiators", initiators).getCode(), R::UA_S_OK);
    EXPECT_TRUE(initiators.isList());
    AttributeValue tasks;
    ASSERT_EQ(ServiceAttributes::GetValue(volume, "Tasks", tasks).getCode(), R::UA_S_OK);
}

} // namespace
} // namespace Merrow::UserAgent
