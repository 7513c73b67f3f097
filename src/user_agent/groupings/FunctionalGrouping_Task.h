#pragma once

#include "cim/value/CIMDateTime.h"
#include "user_agent/base/MerrowUserAgentEnums.h"
#include "user_agent/profiles/ProfileTable.h"

#include <cstdint>
#include <string>

namespace Merrow::UserAgent {

// One job of the array.
// Containers and accessors are listed in FunctionalGrouping_Task.def.
class FunctionalGrouping_Task : public MerrowProfile {
public:
    // Derived values and actions (FunctionalGrouping_Task_Custom.cpp).

    // From the first element of "OperationalStatus"; UA_E_CIM_ERR_FAILED when it is empty.
    MerrowReturnValue Get_Task_State(UAEnums::TaskState& state);
    // The name of the disk or volume the job works on ("N/A" when the array no longer has
    // it); UA_E_FAIL for an owner that names neither.
    MerrowReturnValue Get_Task_ObjectName(std::string& name);

    // The job control methods of the configuration service, on this job.
    MerrowReturnValue Cancel();
    MerrowReturnValue Suspend();
    MerrowReturnValue Resume();
    // Also drops every cached copy of the job.
    MerrowReturnValue Delete();
    MerrowReturnValue Modify(std::uint32_t priority, const cim::CIMDateTime& scheduledStartTime,
                             const UAEnums::RecurrencePeriodicity& periodicityType,
                             std::uint16_t periodicityInterval);

private:
    template <typename Exec> MerrowReturnValue RunJobMethod(const char* method, Exec&& exec);

#define MERROW_PROFILE_CLASS FunctionalGrouping_Task
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_Task.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
