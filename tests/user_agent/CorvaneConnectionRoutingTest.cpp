#include "user_agent/connection/CorvaneConnection.h"
#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/indications/MerrowServiceWeakRef.h"

#include "UATestDoubles.h"

#include <gtest/gtest.h>

namespace Merrow::UserAgent {
namespace {

using namespace Testing;
using R = MerrowReturnValue;
using I = UAIndication;

// Nothing listens here, so log-in attempts fail at once.
constexpr const char* kHost = "127.77.0.254";

class CorvaneConnectionRoutingTest : public ::testing::Test {
protected:
    std::shared_ptr<TestService> addService(std::int32_t type, const std::string& className) {
        auto service =
            std::make_shared<TestService>(CorvaneConnectionWeakRef(m_connection), profiles(R()));
        m_connection->AddIndicationConsumer(type, className, MerrowServiceWeakRef(service));
        return service;
    }

    FakeOwner m_owner;
    std::shared_ptr<CorvaneConnectionImpl> m_connection =
        CorvaneConnectionImpl::Create(&m_owner, kHost);
};

TEST_F(CorvaneConnectionRoutingTest, IndicationReachesOnlyTheServicesOfItsTypeAndClass) {
    auto volumeCreated = addService(I::CIMIndicationType_Creation, "cim_storagevolume");
    auto volumeDeleted = addService(I::CIMIndicationType_Deletion, "CIM_StorageVolume");
    auto diskCreated = addService(I::CIMIndicationType_Creation, "CIM_DiskDrive");

    m_connection->OnIndicationReceived(makeIndication(kHost, "CIM_InstCreation", "v1"));

    EXPECT_EQ(volumeCreated->profile(0).m_offered.load(), 1);
    EXPECT_EQ(volumeDeleted->profile(0).m_offered.load(), 0);
    EXPECT_EQ(diskCreated->profile(0).m_offered.load(), 0);
    const auto posted = m_owner.serviceIndications();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_TRUE(posted[0].GetService().IsSameService(MerrowService(volumeCreated)));
    EXPECT_EQ(posted[0].GetIndication().GetSourceObjectPath().toString(),
              makeVolume("v1").getPath().toString());
}

TEST_F(CorvaneConnectionRoutingTest, ServicesThatAreGoneDropOutOfTheRegistrations) {
    auto kept = addService(I::CIMIndicationType_Modification, "CIM_StorageVolume");
    {
        auto gone = addService(I::CIMIndicationType_Modification, "CIM_StorageVolume");
        m_connection->AddIndicationConsumer(I::CIMIndicationType_Deletion, "CIM_StorageVolume",
                                            MerrowServiceWeakRef(gone));
        EXPECT_EQ(m_connection->GetIndicationConsumerCount(), 3u);
    }
    EXPECT_EQ(m_connection->GetIndicationConsumerCount(), 1u);
    m_connection->OnIndicationReceived(makeIndication(kHost, "CIM_InstModification", "v1"));
    EXPECT_EQ(kept->profile(0).m_offered.load(), 1);
    EXPECT_EQ(m_owner.serviceIndications().size(), 1u);
}

TEST_F(CorvaneConnectionRoutingTest, LostConnectionRemovesEveryServiceOnce) {
    auto first = addService(I::CIMIndicationType_Creation, "CIM_StorageVolume");
    m_connection->AddIndicationConsumer(I::CIMIndicationType_Deletion, "CIM_StorageVolume",
                                        MerrowServiceWeakRef(first));
    auto second = addService(I::CIMIndicationType_Creation, "CIM_DiskDrive");
    std::vector<ServiceIndication> heardByConnection;
    m_connection->AddServiceIndicationCallback(
        [&](std::uint32_t, const ServiceIndication& indication) {
            heardByConnection.push_back(indication);
        });

    m_connection->OnIndicationReceived(I::makeLostConnection(kHost, "lost"));

    EXPECT_TRUE(first->IsServiceRemoved());
    EXPECT_TRUE(second->IsServiceRemoved());
    EXPECT_FALSE(m_connection->IsServiceRemoved());
    // Only the connection itself reports: the services just become unusable.
    const auto posted = m_owner.serviceIndications();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_TRUE(posted[0].GetService().IsSameService(CorvaneConnection(m_connection)));
    EXPECT_EQ(posted[0].GetCode(), ServiceIndication::ServiceChanged);
    EXPECT_EQ(posted[0].GetIndication().GetKind(), I::IndicationKind_LostConnection);
    EXPECT_EQ(heardByConnection.size(), 1u);
}

TEST_F(CorvaneConnectionRoutingTest, ServiceIndicationsReachTheConnectionsCallbacksToo) {
    auto service = addService(I::CIMIndicationType_Creation, "CIM_StorageVolume");
    std::vector<std::uint32_t> cookies;
    const std::uint32_t cookie = m_connection->AddServiceIndicationCallback(
        [&](std::uint32_t received, const ServiceIndication&) { cookies.push_back(received); });
    m_connection->OnIndicationReceived(makeIndication(kHost, "CIM_InstCreation", "v1"));
    EXPECT_EQ(cookies, std::vector<std::uint32_t>{cookie});
}

TEST_F(CorvaneConnectionRoutingTest, DisconnectTellsTheOwnerAndLogInsDropRegistrations) {
    addService(I::CIMIndicationType_Creation, "CIM_StorageVolume");
    EXPECT_EQ(m_connection->Disconnect().getCode(), R::UA_S_OK);
    EXPECT_EQ(m_connection->GetConnectionState(), UACIMClient::STATE_NOT_CONNECTED);
    const auto posted = m_owner.serviceIndications();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].GetReturnValue().getCode(), R::UA_E_NOTCONNECTED);

    // Nothing listens on this address: the log-in fails, but the registrations are gone.
    EXPECT_TRUE(m_connection->Connect("user", "password").isFailure());
    EXPECT_EQ(m_connection->GetConnectionState(), UACIMClient::STATE_NOT_REACHABLE);
    EXPECT_EQ(m_connection->GetIndicationConsumerCount(), 0u);
}

TEST_F(CorvaneConnectionRoutingTest, HandleOperationsNeedAConnection) {
    CorvaneConnection none;
    std::int32_t state = -1;
    std::string host;
    cim::CIMObjectPath top;
    EXPECT_EQ(none.Connect("u", "p").getCode(), R::UA_E_FAIL);
    EXPECT_EQ(none.GetConnectionState(state).getCode(), R::UA_E_FAIL);
    EXPECT_EQ(none.GetHostName(host).getCode(), R::UA_E_FAIL);
    EXPECT_EQ(none.SetTimeout(1000).getCode(), R::UA_E_FAIL);

    CorvaneConnection handle(m_connection);
    EXPECT_EQ(handle.Logoff().getCode(), R::UA_E_NOTCONNECTED);
    EXPECT_EQ(handle.GetTopComputerSystem(top).getCode(), R::UA_E_NOTCONNECTED);
    EXPECT_EQ(handle.GetInstanceIdentity(), std::string(kHost) + ":5989");
    EXPECT_EQ(handle.GetTypeName(), "CorvaneConnection");
}

} // namespace
} // namespace Merrow::UserAgent
