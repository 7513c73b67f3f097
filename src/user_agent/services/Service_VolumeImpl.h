#pragma once

#include "user_agent/base/DateTime.h"
#include "user_agent/profiles/Profile_BlockServices_Volume.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

// Facades that only the hand-written operations take or hand out.
class Service_Disk;
class Service_Task;

#define MERROW_SERVICE_CLASS Service_Volume
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Volume.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_Volume handles; profiles and operations are listed in
// Service_Volume.def.
class Service_VolumeImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"

public:
    // Reports OK without a request: the array keeps no status of its own for this object
    // that the layer above could act on.
    MerrowReturnValue GetStatus(std::int32_t& status) override {
        status = STATUS_OK;
        return MerrowReturnValue();
    }

private:
    MerrowReturnValue ScanLocked(const cim::CIMDateTime& startTime,
                                 const UAEnums::RecurrencePeriodicity& periodicityType,
                                 std::uint16_t periodicity);
};

} // namespace Merrow::UserAgent
