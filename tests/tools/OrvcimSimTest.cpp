// orvcim against a simulated array with many volumes: the listings it prints as the reply
// arrives are those of the collecting client calls, printed block by block.

#include "OrvcimCommandLine.h"

#include "CIMTextPrinter.h"
#include "SimArray.h"
#include "cim/client/CIMClient.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <sstream>

namespace orvcim {
namespace {

namespace Sim = Merrow::Sim;
using Merrow::UserAgent::Testing::kSimPassword;
using Merrow::UserAgent::Testing::kSimUser;

constexpr unsigned kVolumes = 600;

// An address of the running case's own: ctest runs each case in a process of its own,
// several at once, so one shared address would keep all but one from starting their array.
std::string addressOfThisTest() {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::size_t hash = std::hash<std::string>{}(name);
    return "127.96." + std::to_string(1 + hash % 50) + "." + std::to_string(1 + (hash / 50) % 250);
}

Sim::SimulatorOptions manyVolumes(const std::string& address) {
    Sim::SimulatorOptions options = Merrow::UserAgent::Testing::simOptions(address);
    options.array.volumes = kVolumes;
    options.array.volumeBytes = 64ull << 20;
    return options;
}

cim::CIMObjectPath withoutHost(cim::CIMObjectPath path) {
    path.setHost("");
    return path;
}

class OrvcimSimTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_array = std::make_unique<Merrow::UserAgent::Testing::SimArray>(manyVolumes(m_address));
        m_client.connect(m_address, 5988, kSimUser, kSimPassword);
    }

    std::string run(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        OrvcimCommandLine commandLine(out, err);
        EXPECT_EQ(commandLine.run(args), 0) << err.str();
        EXPECT_EQ(err.str(), "");
        return out.str();
    }

    std::string url(const std::string& objectPath) const {
        return std::string("http://") + kSimUser + ":" + kSimPassword + "@" + m_address + ":5988/" + objectPath;
    }

    cim::CIMObjectPath firstVolume() {
        const auto names = m_client.enumerateInstanceNames(kNamespace, cim::CIMName("CIM_StorageVolume"));
        EXPECT_EQ(names.size(), kVolumes);
        return names.at(0);
    }

    static inline const cim::CIMNamespaceName kNamespace{"root/snia"};
    const std::string m_address = addressOfThisTest();
    std::unique_ptr<Merrow::UserAgent::Testing::SimArray> m_array;
    cim::CIMClient m_client;
    std::ostringstream m_expected;
    CIMTextPrinter m_print{m_expected};
};

TEST_F(OrvcimSimTest, InstancesPrintAsTheCollectingCallGivesThem) {
    for (const cim::CIMInstance& instance : m_client.enumerateInstances(kNamespace, cim::CIMName("CIM_StorageVolume")))
        m_print.printInstance(instance);
    const std::string printed = run({"ei", url("root/snia:CIM_StorageVolume")});
    EXPECT_EQ(printed, m_expected.str());
    EXPECT_GT(printed.size(), kVolumes * 500u);
}

TEST_F(OrvcimSimTest, InstanceNamesPrintAsTheCollectingCallGivesThem) {
    for (const cim::CIMObjectPath& name : m_client.enumerateInstanceNames(kNamespace, cim::CIMName("CIM_StorageVolume")))
        m_print.printPathLine(withoutHost(name));
    const std::string printed = run({"ein", url("root/snia:CIM_StorageVolume")});
    EXPECT_EQ(printed, m_expected.str());
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), static_cast<long>(kVolumes));
}

TEST_F(OrvcimSimTest, AssociatorsAndTheirNamesPrintAsTheCollectingCallsGiveThem) {
    const cim::CIMObjectPath volume = firstVolume();
    const auto objects = m_client.associators(kNamespace, volume);
    ASSERT_FALSE(objects.empty());
    for (const cim::CIMObject& object : objects)
        m_print.printObject(object);
    EXPECT_EQ(run({"ai", url(volume.toString())}), m_expected.str());

    std::ostringstream names;
    CIMTextPrinter printNames(names);
    for (const cim::CIMObjectPath& name : m_client.associatorNames(kNamespace, volume))
        printNames.printPathLine(withoutHost(name));
    EXPECT_EQ(run({"ain", url(volume.toString())}), names.str());
}

} // namespace
} // namespace orvcim
