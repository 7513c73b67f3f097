// The request wrapper's connection states, against a scripted peer on the array port that
// answers each request with the next scripted reply, one connection per request.

#include "cim/http/CIMTransportExceptions.h"
#include "cim/value/CIMException.h"
#include "user_agent/connection/UACIMClient.h"

#include "ScriptedArray.h"
#include "UATestDoubles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Merrow::UserAgent {
namespace {

using namespace Testing;
using S = UACIMClient;
using I = UAIndication;

const cim::CIMNamespaceName kNamespace("root/snia");

std::vector<UAIndication> lostIndications(const FakeOwner& owner) {
    std::vector<UAIndication> lost = owner.indications();
    std::erase_if(lost, [](const UAIndication& indication) {
        return indication.GetKind() != I::IndicationKind_LostConnection;
    });
    return lost;
}

class UACIMClientRequestTest : public ::testing::Test {
protected:
    // The client is made after the peer and goes before it.
    void logOn(const std::string& address) {
        m_array = std::make_unique<ScriptedArray>(address);
        m_client = std::make_unique<UACIMClient>(&m_owner, address);
        ASSERT_EQ(m_client->Logon("user", "password").getCode(), MerrowReturnValue::UA_S_OK);
        ASSERT_EQ(m_client->GetConnectionState(), S::STATE_CONNECTED);
    }

    void request() { m_client->enumerateInstanceNames(kNamespace, "CIM_ComputerSystem"); }

    // Leaves a state other than "connected" while the link itself stays up.
    void refuseCredentials() {
        m_array->reply(ScriptedArray::unauthorized());
        EXPECT_THROW(request(), cim::CIMHttpErrorException);
        ASSERT_EQ(m_client->GetConnectionState(), S::STATE_AUTHORIZATION_FAILED);
    }

    void shutDown() {
        m_client.reset();
        m_array.reset();
    }

    ~UACIMClientRequestTest() override { shutDown(); }

    FakeOwner m_owner;
    std::unique_ptr<ScriptedArray> m_array;
    std::unique_ptr<UACIMClient> m_client;
};

TEST_F(UACIMClientRequestTest, RequestBeforeLogInFailsAndChangesNothing) {
    m_client = std::make_unique<UACIMClient>(&m_owner, "127.61.0.1");
    EXPECT_THROW(request(), cim::CIMNotConnectedException);
    EXPECT_EQ(m_client->GetConnectionState(), S::STATE_NOT_CONNECTED);
    EXPECT_TRUE(m_owner.indications().empty());
}

// Only the step out of "connected" is reported, however many requests fail afterwards.
TEST_F(UACIMClientRequestTest, ArrayThatGoesAwayMidSessionIsLostOnce) {
    logOn("127.61.0.2");
    // An error answer is still an answer: the link works.
    m_array->reply(ScriptedArray::cimStatus(6));
    EXPECT_THROW(request(), cim::CIMException);
    EXPECT_EQ(m_client->GetConnectionState(), S::STATE_CONNECTED);

    m_array.reset();
    EXPECT_THROW(request(), cim::CIMCannotConnectException);
    EXPECT_EQ(m_client->GetConnectionState(), S::STATE_CONNECTION_LOST);
    // The next failure no longer starts from "connected".
    EXPECT_THROW(request(), cim::CIMCannotConnectException);
    EXPECT_EQ(m_client->GetConnectionState(), S::STATE_PROTOCOL_FAILURE);
    const auto lost = lostIndications(m_owner);
    ASSERT_EQ(lost.size(), 1u);
    EXPECT_EQ(lost[0].GetSourceHost(), "127.61.0.2");
    EXPECT_EQ(lost[0].GetMessage(), "Connection to 127.61.0.2 lost");
}

TEST_F(UACIMClientRequestTest, CannotConnectWhileNotConnectedIsAProtocolFailure) {
    logOn("127.61.0.3");
    refuseCredentials();
    m_array.reset();
    EXPECT_THROW(request(), cim::CIMCannotConnectException);
    EXPECT_EQ(m_client->GetConnectionState(), S::STATE_PROTOCOL_FAILURE);
    EXPECT_TRUE(lostIndications(m_owner).empty());
}

TEST_F(UACIMClientRequestTest, MalformedAnswerMidSessionIsALostConnection) {
    logOn("127.61.0.4");
    m_array->reply(ScriptedArray::notCIM());
    EXPECT_THROW(request(), cim::CIMMalformedHttpException);
    EXPECT_EQ(m_client->GetConnectionState(), S::STATE_CONNECTION_LOST);
    EXPECT_EQ(lostIndications(m_owner).size(), 1u);
}

TEST_F(UACIMClientRequestTest, MalformedAnswerWhileNotConnectedChangesNothing) {
    logOn("127.61.0.5");
    refuseCredentials();
    m_array->reply(ScriptedArray::notCIM());
    EXPECT_THROW(request(), cim::CIMMalformedHttpException);
    EXPECT_EQ(m_client->GetConnectionState(), S::STATE_AUTHORIZATION_FAILED);
    EXPECT_TRUE(lostIndications(m_owner).empty());
}

// A request that changes something is never sent twice, so one dropped exchange is final.
TEST_F(UACIMClientRequestTest, LinkDroppedDuringARequestMidSessionIsALostConnection) {
    logOn("127.61.0.6");
    m_array->reply(ScriptedArray::closeWithoutAnswer());
    EXPECT_THROW(m_client->deleteInstance(kNamespace, cim::CIMObjectPath("CIM_Foo.Id=\"1\"")),
                 cim::CIMNotConnectedException);
    EXPECT_EQ(m_client->GetConnectionState(), S::STATE_CONNECTION_LOST);
    EXPECT_EQ(lostIndications(m_owner).size(), 1u);
    EXPECT_EQ(m_array->requests(), 1);
}

TEST_F(UACIMClientRequestTest, AccessDeniedMidSessionIsAnAuthorisationFailure) {
    struct Case {
        const char* description;
        std::string reply;
    };
    const Case cases[] = {
        {"CIM status 2", ScriptedArray::cimStatus(2)},
        {"HTTP 401", ScriptedArray::unauthorized()},
    };
    int address = 10;
    for (const Case& c : cases) {
        logOn("127.61.0." + std::to_string(address++));
        m_array->reply(c.reply);
        EXPECT_ANY_THROW(request()) << c.description;
        EXPECT_EQ(m_client->GetConnectionState(), S::STATE_AUTHORIZATION_FAILED) << c.description;
        EXPECT_TRUE(lostIndications(m_owner).empty()) << c.description;
        shutDown();
    }
}

} // namespace
} // namespace Merrow::UserAgent
