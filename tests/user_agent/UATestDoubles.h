#pragma once

// Stand-ins for the pieces around the connection and the services: the library root seen by a
// connection, a profile with a scripted answer, and a service with such profiles.

#include "cim/value/CIMInstance.h"
#include "cim/value/CIMObject.h"
#include "cim/value/CIMObjectPath.h"
#include "user_agent/indications/MerrowProfileInterface.h"
#include "user_agent/indications/MerrowServiceImpl.h"
#include "user_agent/indications/ServiceIndication.h"
#include "user_agent/connection/UAConnectionOwner.h"
#include "user_agent/indications/UAIndication.h"

#include "IndicationBuilders.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace Merrow::UserAgent::Testing {

// The root as a connection sees it; records what the connection hands it.
class FakeOwner : public UAConnectionOwner {
public:
    void OnIndicationReceived(const UAIndication& indication) override {
        std::lock_guard lock(m_mutex);
        m_indications.push_back(indication);
    }
    bool IsNoIndications() const override { return m_noIndications; }
    std::uint16_t GetListenerPort() const override { return m_port; }
    void QueueServiceIndication(const ServiceIndication& indication) override {
        std::lock_guard lock(m_mutex);
        m_serviceIndications.push_back(indication);
    }
    // The owner's listener is not started in these tests; the senders are only recorded.
    void AllowIndicationSender(const std::string& address) override {
        std::lock_guard lock(m_mutex);
        m_allowedSenders.insert(address);
    }
    void ForbidIndicationSender(const std::string& address) override {
        std::lock_guard lock(m_mutex);
        m_allowedSenders.erase(address);
    }
    std::set<std::string> allowedSenders() const {
        std::lock_guard lock(m_mutex);
        return m_allowedSenders;
    }

    std::vector<UAIndication> indications() const {
        std::lock_guard lock(m_mutex);
        return m_indications;
    }
    std::vector<ServiceIndication> serviceIndications() const {
        std::lock_guard lock(m_mutex);
        return m_serviceIndications;
    }

    bool m_noIndications = false;
    std::uint16_t m_port = 0;

private:
    mutable std::mutex m_mutex;
    std::vector<UAIndication> m_indications;
    std::vector<ServiceIndication> m_serviceIndications;
    std::set<std::string> m_allowedSenders;
};

// Answers every indication with the same result and reaction, and counts them.
class FakeProfile : public MerrowProfileInterface {
public:
    explicit FakeProfile(MerrowReturnValue answer = MerrowReturnValue(),
                         std::int32_t reaction = kReactionChanged)
        : m_answer(answer), m_reaction(reaction), m_root("CIM_StorageVolume.DeviceID=\"v1\"") {}

    MerrowReturnValue OnIndicationReceived(const UAIndication&, std::int32_t& reaction) override {
        ++m_offered;
        reaction = m_reaction;
        return m_answer;
    }
    MerrowReturnValue FetchAllProfileData(bool) override {
        ++m_refetches;
        return MerrowReturnValue::UA_S_FALSE;
    }
    const cim::CIMObjectPath& GetRootObjectPath() const override { return m_root; }
    // Answers every indication, so it is offered every one, unless a test says otherwise.
    void CollectInterest(PathInterest& interest) const override {
        if (m_interest)
            m_interest(interest);
        else
            interest.TakeEverything();
    }

    std::function<void(PathInterest&)> m_interest;

    std::atomic<int> m_offered{0};
    std::atomic<int> m_refetches{0};

private:
    MerrowReturnValue m_answer;
    std::int32_t m_reaction;
    cim::CIMObjectPath m_root;
};

// A service holding the given profiles (owned here, as a real service owns its profiles).
class TestService : public MerrowServiceImpl {
public:
    TestService(CorvaneConnectionWeakRef connection,
                std::vector<std::unique_ptr<FakeProfile>> profiles)
        : MerrowServiceImpl("Service_Test", std::move(connection)),
          m_profiles(std::move(profiles)) {
        for (auto& profile : m_profiles)
            AddProfile(*profile);
    }

    FakeProfile& profile(std::size_t index) { return *m_profiles.at(index); }

private:
    std::vector<std::unique_ptr<FakeProfile>> m_profiles;
};

inline std::vector<std::unique_ptr<FakeProfile>> profiles(MerrowReturnValue answer,
                                                          std::int32_t reaction = 0) {
    std::vector<std::unique_ptr<FakeProfile>> list;
    list.push_back(std::make_unique<FakeProfile>(answer, reaction));
    return list;
}

} // namespace Merrow::UserAgent::Testing
