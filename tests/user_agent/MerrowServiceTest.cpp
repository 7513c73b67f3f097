#include "user_agent/indications/MerrowService.h"
#include "user_agent/connection/CorvaneConnection.h"
#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/connection/CorvaneConnectionWeakRef.h"
#include "user_agent/base/MWExceptions.h"
#include "user_agent/indications/MerrowServiceWeakRef.h"

#include "UATestDoubles.h"

#include <gtest/gtest.h>

#include <set>

namespace Merrow::UserAgent {
namespace {

using namespace Testing;
using R = MerrowReturnValue;

// What a service told its callbacks.
struct Recorder {
    std::vector<std::pair<std::uint32_t, ServiceIndication>> received;
    ServiceIndicationCallback callback() {
        return [this](std::uint32_t cookie, const ServiceIndication& indication) {
            received.emplace_back(cookie, indication);
        };
    }
};

std::shared_ptr<TestService> serviceWith(MerrowReturnValue answer, std::int32_t reaction = 0) {
    return std::make_shared<TestService>(CorvaneConnectionWeakRef(), profiles(answer, reaction));
}

TEST(MerrowServiceTest, InstanceIdsAreUniqueAndCompareBySerialOnly) {
    std::set<std::uint64_t> serials;
    for (int i = 0; i < 100; ++i)
        serials.insert(serviceWith(R())->GetInstanceID().getSerial());
    EXPECT_EQ(serials.size(), 100u);
    EXPECT_EQ(serials.count(0), 0u);

    EXPECT_EQ(ServiceInstanceID(5, "Service_Disk"), ServiceInstanceID(5, "Service_Volume"));
    EXPECT_FALSE(ServiceInstanceID(5, "Service_Disk") == ServiceInstanceID(6, "Service_Disk"));
    const ServiceInstanceID none = MerrowService().GetInstanceID();
    EXPECT_EQ(none.getSerial(), 0u);
    EXPECT_EQ(none.getClassName(), "UNITIALIZED");
}

TEST(MerrowServiceTest, HandleRefusesWhenInvalidOrRemoved) {
    UAEnums::OperationalStatus status;
    EXPECT_EQ(MerrowService().GetStatus(status).getCode(), R::UA_E_SERVICE_INVALID);
    EXPECT_EQ(MerrowService().Refresh().getCode(), R::UA_E_SERVICE_INVALID);

    auto impl = serviceWith(R());
    MerrowService handle(impl);
    EXPECT_EQ(handle.GetTypeName(), "Service_Test");
    EXPECT_EQ(handle.Refresh().getCode(), R::UA_S_OK);
    EXPECT_EQ(impl->profile(0).m_refetches.load(), 1);
    impl->SetServiceRemoved(true);
    EXPECT_EQ(handle.GetStatus(status).getCode(), R::UA_E_SERVICE_REMOVED);
    EXPECT_EQ(handle.Refresh().getCode(), R::UA_E_SERVICE_REMOVED);
}

TEST(MerrowServiceTest, WeakReferencesTellNeverSetFromGone) {
    auto expectBadPointer = [](auto&& build, const char* message) {
        try {
            build();
            ADD_FAILURE() << "no exception for " << message;
        } catch (const MWEBadPointer& e) {
            EXPECT_EQ(e.getMessage(), message);
        }
    };
    expectBadPointer([] { MerrowService{MerrowServiceWeakRef()}; }, "Null pointer for weakref");
    expectBadPointer([] { CorvaneConnection{CorvaneConnectionWeakRef()}; },
                     "Null pointer for weakref");

    MerrowServiceWeakRef serviceRef;
    CorvaneConnectionWeakRef connectionRef;
    {
        auto service = serviceWith(R());
        auto connection = CorvaneConnectionImpl::Create(nullptr, "array");
        serviceRef = MerrowServiceWeakRef(service);
        connectionRef = CorvaneConnectionWeakRef(connection);
        EXPECT_TRUE(MerrowService(serviceRef).IsSameService(MerrowService(service)));
        EXPECT_EQ(CorvaneConnection(connectionRef).GetHost(), "array");
    }
    expectBadPointer([&] { MerrowService{serviceRef}; },
                     "Invalid MerrowService for weakref (m_pImpl == NULL)");
    expectBadPointer([&] { CorvaneConnection{connectionRef}; },
                     "Invalid CorvaneConnection for weakref (m_pImpl == NULL)");
}

TEST(MerrowServiceTest, IndicationOutcomeDependsOnWhatTheProfilesAnswer) {
    R invalidHandle = R::fromArrayResult(16);
    struct Case {
        const char* description;
        R answer;
        std::int32_t reaction;
        bool posts;
        std::int32_t code;
        bool removed;
        std::int32_t status;
    };
    const Case cases[] = {
        {"changed", R(), 0, true, ServiceIndication::ServiceChanged, false, 0},
        {"root deleted", R(), 2, true, ServiceIndication::ServiceRemoved, true, 0},
        {"objects being deleted", invalidHandle, 0, true, ServiceIndication::ServiceRemoved, true,
         0},
        {"not concerned", R(R::UA_S_FALSE), 0, false, 0, false, 0},
        {"profile failed", R(R::UA_E_FAIL), 0, true, ServiceIndication::ServiceChanged, false,
         MerrowServiceImpl::STATUS_NEEDSATTENTION},
    };
    for (const Case& c : cases) {
        auto service = serviceWith(c.answer, c.reaction);
        Recorder recorder;
        const std::uint32_t cookie = service->AddServiceIndicationCallback(recorder.callback());
        service->OnIndicationReceived(makeIndication("array", "CIM_InstModification", "v1"));

        EXPECT_EQ(service->profile(0).m_offered.load(), 1) << c.description;
        ASSERT_EQ(recorder.received.size(), c.posts ? 1u : 0u) << c.description;
        EXPECT_EQ(service->IsServiceRemoved(), c.removed) << c.description;
        EXPECT_EQ(service->GetStatusValue(), c.status) << c.description;
        if (!c.posts)
            continue;
        const auto& [receivedCookie, indication] = recorder.received.front();
        EXPECT_EQ(receivedCookie, cookie);
        EXPECT_EQ(indication.GetCode(), c.code) << c.description;
        EXPECT_TRUE(indication.GetService().IsSameService(MerrowService(service)));
    }
}

TEST(MerrowServiceTest, EveryProfileIsOfferedTheIndication) {
    std::vector<std::unique_ptr<FakeProfile>> list;
    list.push_back(std::make_unique<FakeProfile>(R(R::UA_S_FALSE)));
    list.push_back(std::make_unique<FakeProfile>(R(), MerrowProfileInterface::kReactionChanged));
    list.push_back(std::make_unique<FakeProfile>(R(R::UA_S_FALSE)));
    auto service = std::make_shared<TestService>(CorvaneConnectionWeakRef(), std::move(list));
    Recorder recorder;
    service->AddServiceIndicationCallback(recorder.callback());
    service->OnIndicationReceived(makeIndication("array", "CIM_InstCreation", "v1"));
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(service->profile(i).m_offered.load(), 1) << i;
    // One profile used it although the last one answered "not concerned".
    ASSERT_EQ(recorder.received.size(), 1u);
    EXPECT_EQ(recorder.received[0].second.GetCode(), ServiceIndication::ServiceChanged);
}

TEST(MerrowServiceTest, LostConnectionOnlyMarksTheServiceRemoved) {
    auto service = serviceWith(R());
    Recorder recorder;
    service->AddServiceIndicationCallback(recorder.callback());
    service->OnIndicationReceived(UAIndication::makeLostConnection("array", "lost"));
    EXPECT_TRUE(service->IsServiceRemoved());
    EXPECT_EQ(service->profile(0).m_offered.load(), 0);
    EXPECT_TRUE(recorder.received.empty());
}

TEST(MerrowServiceTest, RemovedCallbacksAreNotCalled) {
    auto service = serviceWith(R());
    Recorder first;
    Recorder second;
    const std::uint32_t firstCookie = service->AddServiceIndicationCallback(first.callback());
    service->AddServiceIndicationCallback(second.callback());
    EXPECT_TRUE(service->RemoveServiceIndicationCallback(firstCookie));
    EXPECT_FALSE(service->RemoveServiceIndicationCallback(firstCookie));
    service->AlertNeedsAttention("Test::operation");
    EXPECT_TRUE(first.received.empty());
    ASSERT_EQ(second.received.size(), 1u);
    EXPECT_EQ(second.received[0].second.GetReturnValue().getCode(), R::UA_E_UNEXPECTED);
    EXPECT_EQ(service->GetStatusValue(), MerrowServiceImpl::STATUS_NEEDSATTENTION);
}

} // namespace
} // namespace Merrow::UserAgent
