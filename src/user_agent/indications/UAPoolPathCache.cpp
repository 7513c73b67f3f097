#include "user_agent/indications/UAPoolPathCache.h"

#include "trace/Trace.h"
#include "user_agent/base/CIMValueConversions.h"
#include "user_agent/base/MWExceptions.h"
#include "user_agent/connection/CorvaneConnectionImpl.h"

#include <cstdint>
#include <vector>

namespace Merrow::UserAgent {

namespace {

using namespace Merrow::Trace;

constexpr const char* kConfigurationService = "Merrow_StorageConfigurationService";

// Both pool queries take no arguments ("GetBasePool" without a controller means the default
// controller) and answer the pool in "Pool".
cim::CIMObjectPath QueryPool(UACIMClient& client, const char* methodName, const char* callText) {
    const std::vector<cim::CIMObjectPath> services =
        client.enumerateInstanceNames(UACIMClient::kArrayNamespace, kConfigurationService);
    if (services.empty())
        throw MWEPegasusClientRequest(std::string("No ") + kConfigurationService + " for " +
                                          methodName,
                                      __FILE__, __LINE__, __PRETTY_FUNCTION__);
    std::vector<cim::CIMParamValue> out;
    const cim::CIMValue result =
        client.invokeMethod(UACIMClient::kArrayNamespace, services.front(), methodName, {}, out);
    const std::uint32_t execRtn = CIMValueToUint32(result).value_or(0xFFFFFFFFu);
    if (execRtn != 0) {
        const std::string message = std::string("execRtn = m_Merrow_StorageConfigurationService.") +
                                    callText + " FAILED! execRtn=" + std::to_string(execRtn);
        MWTRACE(TV_SEVERE, TC_ERROR_PEGASUS_CALL_FAILED) << message << MWENDREC;
        throw MWEPegasusClientRequest(message, __FILE__, __LINE__, __PRETTY_FUNCTION__);
    }
    for (const cim::CIMParamValue& parameter : out) {
        if (parameter.getParameterName() == cim::CIMName("Pool"))
            return parameter.getValue().get<cim::CIMObjectPath>();
    }
    return {};
}

} // namespace

cim::CIMObjectPath UAPoolPathCache::GetBasePool(const CorvaneConnectionWeakRef& connection) {
    return cached(m_basePool, "GetBasePool",
                  "ExecGetBasePool(Definitions::DEFAULT_CONTROLLER, ...)", connection);
}

cim::CIMObjectPath UAPoolPathCache::GetAvailablePool(const CorvaneConnectionWeakRef& connection) {
    return cached(m_availablePool, "GetAvailablePool", "ExecGetAvailablePool(...)", connection);
}

cim::CIMObjectPath UAPoolPathCache::cached(std::optional<cim::CIMObjectPath>& slot,
                                           const char* methodName, const char* callText,
                                           const CorvaneConnectionWeakRef& connection) {
    std::lock_guard lock(m_mutex);
    if (slot)
        return *slot;
    const std::shared_ptr<CorvaneConnectionImpl> client = connection.Lock();
    if (!client)
        throw MWEBadPointer("Null pointer for weakref", __FILE__, __LINE__, __PRETTY_FUNCTION__);
    slot = QueryPool(*client, methodName, callText);
    return *slot;
}

} // namespace Merrow::UserAgent
