// Which of a connection's services an indication reaches: those holding or walking a path it
// names, those taking every creation or everything, and any service that could not say what
// it holds. A service's paths are looked at again once its containers said they changed.

#include "user_agent/base/UALockTimeout.h"
#include "user_agent/connection/IndicationRoutes.h"

#include "UATestDoubles.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace Merrow::UserAgent {
namespace {

using Services = IndicationRoutes::Services;

cim::CIMObjectPath volume(const std::string& id) {
    return cim::CIMObjectPath("array", "root/snia", "CIM_StorageVolume",
                              {cim::CIMKeyBinding("DeviceID", id, cim::CIMKeyBinding::Type::String)});
}

std::shared_ptr<Testing::TestService> serviceWith(std::function<void(PathInterest&)> interest) {
    std::vector<std::unique_ptr<Testing::FakeProfile>> profiles;
    profiles.push_back(std::make_unique<Testing::FakeProfile>());
    profiles.back()->m_interest = std::move(interest);
    return std::make_shared<Testing::TestService>(CorvaneConnectionWeakRef(), std::move(profiles));
}

class IndicationRoutesTest : public ::testing::Test {
protected:
    void route(const std::shared_ptr<Testing::TestService>& service) {
        m_routes.Add(MerrowServiceWeakRef(std::shared_ptr<MerrowServiceImpl>(service)));
    }
    Services reached(const char* indicationClass, const cim::CIMObjectPath& path,
                     bool announcesAssociations = true) {
        cim::CIMInstance source(path.getClassName());
        source.setPath(path);
        const UAIndication indication("array", Testing::makeIndicationInstance(indicationClass, source));
        const auto concerned =
            m_routes.Concerned(PathInterest::Footprint(indication), announcesAssociations);
        EXPECT_TRUE(concerned.has_value());
        return concerned.value_or(Services{});
    }

    IndicationRoutes m_routes;
};

TEST_F(IndicationRoutesTest, AnIndicationReachesTheServicesWhosePathsItNamesAsThosePathsChange) {
    auto holdsA = serviceWith([](PathInterest& interest) { interest.AddHeld(volume("A")); });
    std::string walkedId = "B";
    auto walks = serviceWith([&](PathInterest& interest) { interest.AddWalked(volume(walkedId)); });
    auto enumerates = serviceWith([](PathInterest& interest) { interest.TakeEveryCreation(); });
    for (const auto& service : {holdsA, walks, enumerates})
        route(service);

    EXPECT_EQ(reached("CIM_InstModification", volume("A")), Services{holdsA.get()});
    EXPECT_EQ(reached("CIM_InstDeletion", volume("B")), Services{walks.get()});
    EXPECT_EQ(reached("CIM_InstModification", volume("C")), Services{});
    EXPECT_EQ(reached("CIM_InstCreation", volume("A")), Services{enumerates.get()})
        << "a creation changes no object held already";

    walkedId = "C";
    walks->GetInterestWatch().MarkChanged();
    EXPECT_EQ(reached("CIM_InstModification", volume("C")), Services{walks.get()});
    EXPECT_EQ(reached("CIM_InstModification", volume("B")), Services{});

    m_routes.Remove(holdsA.get());
    EXPECT_EQ(reached("CIM_InstModification", volume("A")), Services{});
    route(holdsA);
    EXPECT_EQ(reached("CIM_InstModification", volume("C")), Services{walks.get()})
        << "a service routed again is asked what it holds again";
    EXPECT_EQ(reached("CIM_InstModification", volume("A")), Services{holdsA.get()});
}

TEST_F(IndicationRoutesTest, ACreationReachesAWalkedListOnlyUntilTheArrayAnnouncesLinks) {
    auto walkedList = serviceWith([](PathInterest& interest) {
        interest.TakePlainCreations();
        interest.AddWalked(volume("A"));
    });
    route(walkedList);
    EXPECT_EQ(reached("CIM_InstCreation", volume("N"), false), Services{walkedList.get()});
    EXPECT_EQ(reached("CIM_InstCreation", volume("N"), true), Services{});
    EXPECT_EQ(reached("CIM_InstModification", volume("N"), false), Services{});
}

TEST_F(IndicationRoutesTest, AServiceThatCannotSayWhatItHoldsIsOfferedEverythingUntilItCan) {
    bool busy = true;
    auto service = serviceWith([&](PathInterest& interest) {
        if (busy)
            throw UALockTimeout("a container is read on another thread", __FILE__, __LINE__, "");
        interest.AddHeld(volume("A"));
    });
    route(service);
    EXPECT_EQ(reached("CIM_InstModification", volume("B")), Services{service.get()});
    EXPECT_EQ(reached("CIM_InstModification", volume("B")), Services{service.get()});
    busy = false;
    EXPECT_EQ(reached("CIM_InstModification", volume("B")), Services{})
        << "asked again without its containers having said anything";
    EXPECT_EQ(reached("CIM_InstModification", volume("A")), Services{service.get()});

    cim::CIMInstance source("CIM_StorageVolume");
    source.setPath(volume("B"));
    const UAIndication unknown("array", Testing::makeIndicationInstance("CIM_InstRead", source));
    EXPECT_FALSE(m_routes.Concerned(PathInterest::Footprint(unknown), true).has_value())
        << "an indication the rules do not know may concern anyone";
}

} // namespace
} // namespace Merrow::UserAgent
