#pragma once

// A service that owns one profile or grouping, as the Service_...Impl classes do: it offers
// the profile every indication routed to it and marks itself removed when the profile's
// root object goes.

#include "user_agent/connection/CorvaneConnection.h"
#include "user_agent/connection/CorvaneConnectionWeakRef.h"
#include "user_agent/indications/MerrowServiceImpl.h"

namespace Merrow::UserAgent::Testing {

template <typename Profile>
class ProfileTestService : public MerrowServiceImpl {
public:
    ProfileTestService(const CorvaneConnection& connection, const cim::CIMObjectPath& root)
        : MerrowServiceImpl("ProfileTestService", CorvaneConnectionWeakRef(connection)),
          m_profile(root) {
        AddProfile(m_profile);
    }

    // Must run on a service owned by a shared pointer: subscribing refers to it weakly.
    MerrowReturnValue Init() { return m_profile.Init(GetConnection(), *this); }
    Profile& profile() { return m_profile; }

private:
    Profile m_profile;
};

} // namespace Merrow::UserAgent::Testing
