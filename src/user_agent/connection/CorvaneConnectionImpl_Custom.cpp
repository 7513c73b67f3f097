#include "user_agent/connection/CorvaneConnectionImpl.h"

#include "trace/Trace.h"
#include "user_agent/base/MWExceptions.h"
#include "user_agent/services/Service_CorvaneSystem.h"
#include "user_agent/services/Service_CorvaneSystemImpl.h"

#include <string>

namespace Merrow::UserAgent {

namespace {

[[noreturn]] void throwStepFailure(const char* step, const MerrowReturnValue& result,
                                   const char* function) {
    throw MWEApplicationException(std::string(step) + " failed - " + result.getMessage(),
                                  __FILE__, __LINE__, function);
}

} // namespace

MerrowReturnValue CorvaneConnectionImpl::GetCorvaneSystemService(Service_CorvaneSystem& service) {
    MWSCOPE_OBJ(this, "");
    if (GetConnectionState() != STATE_CONNECTED)
        return MerrowReturnValue::UA_E_NOTCONNECTED;
    cim::CIMObjectPath top;
    const MerrowReturnValue found = GetTopComputerSystem(top);
    if (found.isFailure())
        throwStepFailure("GetTopComputerSystem()", found, __PRETTY_FUNCTION__);
    const MerrowReturnValue made = MakeServiceFromObjectPath(GetConnection(), top, service);
    if (made.isFailure())
        throwStepFailure("Service_CorvaneSystem::Init()", made, __PRETTY_FUNCTION__);
    return made;
}

} // namespace Merrow::UserAgent
