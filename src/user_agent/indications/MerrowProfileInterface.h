#pragma once

#include "user_agent/base/MerrowReturnValue.h"

#include <cstdint>

namespace cim {
class CIMObjectPath;
}

namespace Merrow::UserAgent {

class PathInterest;
class UAIndication;

// What a service implementation needs from the profiles that hold its CIM data: they are
// offered every indication routed to the service, say which indications those can be
// (PathInterest), and are told to refetch on refresh. The service owns its profiles (as
// members) and registers them with AddProfile; they must stay alive as long as the service.
class MerrowProfileInterface {
public:
    // Reactions a profile reports for an indication.
    static constexpr std::int32_t kReactionChanged = 0;
    static constexpr std::int32_t kReactionRootRemoved = 2;

    virtual ~MerrowProfileInterface() = default;

    // UA_S_OK when the indication changed the profile's data, with `reaction` set to
    // kReactionRootRemoved when the profile's root object was deleted; UA_S_FALSE when the
    // indication did not concern the profile. Called under the service lock.
    virtual MerrowReturnValue OnIndicationReceived(const UAIndication& indication,
                                                   std::int32_t& reaction) = 0;
    // Marks the profile's data for refetching on its next read.
    virtual MerrowReturnValue FetchAllProfileData(bool force) = 0;
    virtual const cim::CIMObjectPath& GetRootObjectPath() const = 0;
    // Adds the paths whose indications can change the profile's data; sends no request.
    // Takes the profile's container locks, not the profile's own.
    virtual void CollectInterest(PathInterest& interest) const = 0;
};

} // namespace Merrow::UserAgent
