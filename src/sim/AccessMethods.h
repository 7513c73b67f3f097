#pragma once

// LUN masking and initiator identities: "ExposePaths" and "HidePaths" of the controller
// configuration service, "CreateStorageHardwareID" and "DeleteStorageHardwareID" of the
// hardware-id management service. Initiators are named by their iSCSI names
// (InitiatorPortIDs) and targets by their protocol controllers or, when no controller is
// given, by the volumes' DeviceIDs (LUNames).

#include "sim/MethodCall.h"

#include <cstdint>

namespace Merrow::Sim {

class AccessMethods {
public:
    static std::uint32_t exposePaths(MethodCall& call);
    static std::uint32_t hidePaths(MethodCall& call);
    static std::uint32_t createStorageHardwareId(MethodCall& call);
    static std::uint32_t deleteStorageHardwareId(MethodCall& call);

    // The iSCSI name rules the array checks: 1 to 223 bytes, no white space or control
    // characters.
    static bool isLegalInitiatorName(const std::string& name);
    static constexpr std::uint16_t kIscsiNameIdType = 5;
};

} // namespace Merrow::Sim
