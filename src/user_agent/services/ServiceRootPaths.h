#pragma once

#include "cim/value/CIMObjectPath.h"
#include "user_agent/base/MerrowReturnValue.h"

#include <string>
#include <vector>

namespace Merrow::UserAgent {

// The object paths behind a list of facades, in the order given: what the array's methods
// take where a caller hands over handles (the disks of a volume, the ports of an aggregate).
// Instantiate where the facades' implementation classes are complete.
class ServiceRootPaths {
public:
    // UA_E_INVALIDARG, naming `operation`, for a handle without a service behind it: there is
    // no path to send, and the array must not see a shorter list than the caller meant.
    template <typename Handle>
    static MerrowReturnValue Collect(const char* operation, const std::vector<Handle>& services,
                                     std::vector<cim::CIMObjectPath>& paths) {
        paths.clear();
        paths.reserve(services.size());
        for (const Handle& service : services) {
            if (!service.IsValid())
                return MerrowReturnValue(MerrowReturnValue::UA_E_INVALIDARG,
                                         std::string(operation) +
                                             "() given a handle without a service");
            paths.push_back(service.GetServiceImpl()->GetRootPath());
        }
        return MerrowReturnValue();
    }
};

} // namespace Merrow::UserAgent
