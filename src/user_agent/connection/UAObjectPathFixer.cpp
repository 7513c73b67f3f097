#include "user_agent/connection/UAObjectPathFixer.h"

#include "trace/Trace.h"

#include <array>

namespace Merrow::UserAgent {

namespace {

using namespace Merrow::Trace;

struct ClassKey {
    const char* className;
    const char* keyName;
};

constexpr std::array kClassKeys{
    ClassKey{"CIM_AuthorizedPrivilege", "InstanceID"},
    ClassKey{"CIM_ConcreteJob", "InstanceID"},
    ClassKey{"CIM_GatewayPathID", "InstanceID"},
    ClassKey{"CIM_iSCSICapabilities", "InstanceID"},
    ClassKey{"CIM_iSCSIConfigurationCapabilities", "InstanceID"},
    ClassKey{"CIM_iSCSIConnection", "InstanceID"},
    ClassKey{"CIM_iSCSIConnectionSettings", "InstanceID"},
    ClassKey{"CIM_iSCSILoginStatistics", "InstanceID"},
    ClassKey{"CIM_iSCSISession", "InstanceID"},
    ClassKey{"CIM_iSCSISessionFailures", "InstanceID"},
    ClassKey{"CIM_iSCSISessionSettings", "InstanceID"},
    ClassKey{"CIM_iSCSISessionStatistics", "InstanceID"},
    ClassKey{"CIM_NetworkVLAN", "InstanceID"},
    ClassKey{"CIM_Privilege", "InstanceID"},
    ClassKey{"CIM_RegisteredProfile", "InstanceID"},
    ClassKey{"CIM_RegisteredSubProfile", "InstanceID"},
    ClassKey{"CIM_StorageHardwareID", "InstanceID"},
    ClassKey{"CIM_StoragePool", "InstanceID"},
    ClassKey{"CIM_StorageSetting", "InstanceID"},
    ClassKey{"CIM_StorageSettingWithHints", "InstanceID"},
    ClassKey{"Merrow_MACStatistics", "InstanceID"},
    ClassKey{"Merrow_NetworkRoute", "InstanceID"},
    ClassKey{"CIM_IPProtocolEndpoint", "Name"},
    ClassKey{"CIM_iSCSIConfigurationService", "Name"},
    ClassKey{"CIM_iSCSIProtocolEndpoint", "Name"},
    ClassKey{"CIM_TCPProtocolEndpoint", "Name"},
    ClassKey{"CIM_SCSIProtocolController", "DeviceID"},
    ClassKey{"CIM_StorageVolume", "DeviceID"},
    ClassKey{"CIM_SharedSecret", "RemoteID"},
};

std::size_t findKey(const std::vector<cim::CIMKeyBinding>& keys, const cim::CIMName& name) {
    for (std::size_t index = 0; index < keys.size(); ++index) {
        if (keys[index].getName() == name)
            return index;
    }
    return keys.size();
}

} // namespace

const char* UAObjectPathFixer::identifyingKeyOf(const cim::CIMName& className) {
    for (const ClassKey& entry : kClassKeys) {
        if (className == cim::CIMName(entry.className))
            return entry.keyName;
    }
    return nullptr;
}

cim::CIMObjectPath UAObjectPathFixer::FixObjectPathForBadProviders(const cim::CIMObjectPath& path) {
    const char* keyName = identifyingKeyOf(path.getClassName());
    if (!keyName)
        return path;
    const auto& keys = path.getKeyBindings();
    const std::size_t index = findKey(keys, cim::CIMName(keyName));
    if (index == keys.size()) {
        MWTRACE(TV_WARNING, TC_ERROR_WARNING)
            << "FixObjectPathForBadProviders() - Key SWAP error - expected property not found - "
               "possible error condition - but assume things will be OK"
            << " - path=" << path.toString() << MWENDREC;
        return path;
    }
    if (index == 0) {
        MWTRACE(TV_DETAIL, TC_INFO_DEBUG) << "FixObjectPathForBadProviders() - Key SWAP not needed "
                                          << " - path=" << path.toString() << MWENDREC;
        return path;
    }
    cim::CIMObjectPath fixed(path.getHost(), path.getNameSpace(), path.getClassName(),
                             {keys[index]});
    MWTRACE(TV_DETAIL, TC_INFO_DEBUG)
        << "New key order - newkeys[0].name = '" << keys[index].getName() << "' - value='"
        << keys[index].getValue() << "'" << MWENDLINE
        << "FixObjectPathForBadProviders() - Key SWAP Performed "
        << " - path=" << fixed.toString() << MWENDREC;
    return fixed;
}

} // namespace Merrow::UserAgent
