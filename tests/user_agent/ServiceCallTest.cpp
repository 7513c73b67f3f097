// The facade boundary: what an operation answers for an unusable handle, for a carried
// return value and for every kind of exception its body lets out.

#include "cim/http/CIMTransportExceptions.h"
#include "cim/value/CIMException.h"
#include "user_agent/base/MWExceptions.h"
#include "user_agent/base/UAException.h"
#include "user_agent/connection/CorvaneConnection.h"
#include "user_agent/connection/CorvaneConnectionImpl.h"

#include "ScriptedArray.h"
#include "UATestDoubles.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace Merrow::UserAgent {
namespace {

using namespace Testing;
using R = MerrowReturnValue;

constexpr const char* kOperation = "Service_Test::Operation";

class ServiceCallTest : public ::testing::Test {
protected:
    ServiceCallTest() {
        m_service->AddServiceIndicationCallback(
            [this](std::uint32_t, const ServiceIndication& indication) {
                m_posted.push_back(indication);
            });
    }

    R call(const std::function<R()>& body) {
        return ServiceCall(m_service, kOperation, [&](TestService&) {
            ++m_bodyRuns;
            return body();
        });
    }

    bool alerted() const {
        return m_service->GetStatusValue() == MerrowServiceImpl::STATUS_NEEDSATTENTION &&
               m_posted.size() == 1 && m_posted[0].GetCode() == ServiceIndication::ServiceChanged &&
               m_posted[0].GetReturnValue().getCode() == R::UA_E_UNEXPECTED;
    }

    std::shared_ptr<TestService> m_service =
        std::make_shared<TestService>(CorvaneConnectionWeakRef(), profiles(R()));
    std::vector<ServiceIndication> m_posted;
    int m_bodyRuns = 0;
};

TEST_F(ServiceCallTest, EveryExceptionBecomesUnexpectedAndRaisesTheAlert) {
    struct Case {
        const char* description;
        std::function<void()> raise;
    };
    const Case cases[] = {
        {"CIM status", [] { throw cim::CIMException(cim::CIMStatusCode::Failed, "refused"); }},
        {"transport", [] { throw cim::CIMCannotConnectException("unreachable"); }},
        {"library", [] { throw MWEPegasusClientRequest("odd answer", "f.cpp", 1, "fn"); }},
        {"conversion", [] { throw MWEDataConversionError("not a date", "f.cpp", 1, "fn"); }},
        {"bad pointer", [] { throw MWEBadPointer("Null pointer for weakref", "f.cpp", 1, "fn"); }},
        {"plain record", [] { throw UAException(0, "Bad version string"); }},
        {"standard", [] { throw std::runtime_error("broken"); }},
        {"anything", [] { throw 42; }},
    };
    for (const Case& c : cases) {
        m_service->SetStatusValue(MerrowServiceImpl::STATUS_OK);
        m_posted.clear();
        EXPECT_EQ(call([&] {
                      c.raise();
                      return R();
                  }).getCode(),
                  R::UA_E_UNEXPECTED)
            << c.description;
        EXPECT_TRUE(alerted()) << c.description;
    }
}

TEST_F(ServiceCallTest, CarriedAndPlainAnswersPassUnchangedWithoutAlert) {
    const R carried(R::UA_E_NOTSUPPORTED, "the array cannot do that");
    const R answered = call([&]() -> R { throw ReturnCodeException(carried, "f.cpp", 1, "fn"); });
    EXPECT_EQ(answered.getCode(), carried.getCode());
    EXPECT_EQ(answered.getSerial(), carried.getSerial());
    EXPECT_EQ(answered.getMessage(), carried.getMessage());

    const R refused = call([] { return R::fromArrayResult(25); });
    EXPECT_EQ(refused.getCode(), R::UA_E_REQUEST_FAILED);
    EXPECT_EQ(refused.getFailureCode(), 25);
    EXPECT_EQ(m_service->GetStatusValue(), MerrowServiceImpl::STATUS_OK);
    EXPECT_TRUE(m_posted.empty());
}

TEST_F(ServiceCallTest, EmptyHandleAndRemovedServiceNeverRunTheBody) {
    const std::shared_ptr<TestService> none;
    EXPECT_EQ(ServiceCall(none, kOperation,
                          [&](TestService&) {
                              ++m_bodyRuns;
                              return R();
                          })
                  .getCode(),
              R::UA_E_SERVICE_INVALID);
    m_service->SetServiceRemoved(true);
    EXPECT_EQ(call([] { return R(); }).getCode(), R::UA_E_SERVICE_REMOVED);
    EXPECT_EQ(m_bodyRuns, 0);
    EXPECT_TRUE(m_posted.empty());
}

// The array hears nothing from a removed service, and the same body did reach it before.
TEST_F(ServiceCallTest, RemovedServiceSendsNoRequest) {
    ScriptedArray array("127.61.1.1");
    FakeOwner owner;
    UACIMClient client(&owner, array.address());
    ASSERT_EQ(client.Logon("user", "password").getCode(), R::UA_S_OK);
    array.reply(ScriptedArray::cimStatus(1));
    auto askArray = [&] {
        client.enumerateInstanceNames(UACIMClient::kArrayNamespace, "CIM_ComputerSystem");
        return R();
    };
    EXPECT_EQ(call(askArray).getCode(), R::UA_E_UNEXPECTED);
    EXPECT_EQ(array.requests(), 1);

    m_service->SetServiceRemoved(true);
    EXPECT_EQ(call(askArray).getCode(), R::UA_E_SERVICE_REMOVED);
    EXPECT_EQ(array.requests(), 1);
}

TEST(CorvaneConnectionBoundaryTest, ArrayErrorRaisesTheConnectionsAlert) {
    ScriptedArray array("127.61.1.2");
    FakeOwner owner;
    auto impl = CorvaneConnectionImpl::Create(&owner, array.address());
    CorvaneConnection connection(impl);
    ASSERT_EQ(impl->Logon("user", "password").getCode(), R::UA_S_OK);
    array.reply(ScriptedArray::cimStatus(1));
    cim::CIMObjectPath top;
    EXPECT_EQ(connection.GetTopComputerSystem(top).getCode(), R::UA_E_UNEXPECTED);
    EXPECT_EQ(impl->GetStatusValue(), MerrowServiceImpl::STATUS_NEEDSATTENTION);
    EXPECT_EQ(owner.serviceIndications().size(), 1u);

    EXPECT_EQ(CorvaneConnection().Connect("user", "password").getCode(), R::UA_E_FAIL);
}

} // namespace
} // namespace Merrow::UserAgent
