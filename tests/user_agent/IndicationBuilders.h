#pragma once

// The indication instances an array posts, for tests that build them by hand.

#include "cim/value/CIMInstance.h"
#include "cim/value/CIMObject.h"
#include "cim/value/CIMObjectPath.h"
#include "user_agent/indications/UAIndication.h"

#include <string>

namespace Merrow::UserAgent::Testing {

// The indication instance an array posts for a change of `source`.
inline cim::CIMInstance makeIndicationInstance(const char* indicationClass,
                                               const cim::CIMInstance& source,
                                               const char* identifier = "7") {
    cim::CIMInstance indication(indicationClass);
    if (identifier)
        indication.addProperty({"IndicationIdentifier", cim::CIMValue(identifier)});
    indication.addProperty({"SourceInstanceModelPath", cim::CIMValue(source.getPath().toString())});
    indication.addProperty({"SourceInstance", cim::CIMValue(cim::CIMObject(source))});
    return indication;
}

inline cim::CIMInstance makeVolume(const std::string& deviceId) {
    cim::CIMInstance volume("CIM_StorageVolume");
    volume.addProperty({"DeviceID", cim::CIMValue(deviceId)});
    volume.addProperty({"ElementName", cim::CIMValue("volume " + deviceId)});
    volume.setPath(cim::CIMObjectPath(
        "array", "root/snia", "CIM_StorageVolume",
        {cim::CIMKeyBinding("DeviceID", deviceId, cim::CIMKeyBinding::Type::String)}));
    return volume;
}

inline UAIndication makeIndication(const std::string& host, const char* indicationClass,
                                   const std::string& deviceId) {
    return UAIndication(host, makeIndicationInstance(indicationClass, makeVolume(deviceId)));
}

} // namespace Merrow::UserAgent::Testing
