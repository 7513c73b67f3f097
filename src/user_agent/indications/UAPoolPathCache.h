#pragma once

#include "cim/value/CIMObjectPath.h"
#include "user_agent/connection/CorvaneConnectionWeakRef.h"

#include <mutex>
#include <optional>

namespace Merrow::UserAgent {

// The paths of the array's base pool (where volumes live) and available pool (unassigned
// disks), asked of the array's configuration service once and then kept: the array never
// moves them while a connection lasts.
//
// Threads: any; m_mutex guards the cached paths and is held across the query, so two callers
// never both ask.
class UAPoolPathCache {
public:
    // A refusal by the array is traced at "TC.Error.FATAL.PegasusCallFailed" and thrown as
    // MWEPegasusClientRequest; a gone connection throws MWEBadPointer.
    cim::CIMObjectPath GetBasePool(const CorvaneConnectionWeakRef& connection);
    cim::CIMObjectPath GetAvailablePool(const CorvaneConnectionWeakRef& connection);

private:
    // `callText` names the call in the failure trace.
    cim::CIMObjectPath cached(std::optional<cim::CIMObjectPath>& slot, const char* methodName,
                              const char* callText, const CorvaneConnectionWeakRef& connection);

    std::mutex m_mutex;
    std::optional<cim::CIMObjectPath> m_basePool;
    std::optional<cim::CIMObjectPath> m_availablePool;
};

} // namespace Merrow::UserAgent
