#include "user_agent/groupings/FunctionalGrouping_Task.h"

#include "cim/value/CIMException.h"
#include "trace/Trace.h"
#include "user_agent/objects/CIM_ObjectContainerInterface.h"
#include "user_agent/profiles/ExecResult.h"

namespace Merrow::UserAgent {

namespace {

using namespace Merrow::Trace;

// The owner of a job is the id of the object it works on; its first two characters give
// the object's kind.
struct OwnerKind {
    const char* prefix;
    const char* className;
};
constexpr OwnerKind kOwnerKinds[] = {
    {"38", "CIM_DiskDrive"},
    {"3a", "CIM_StorageVolume"},
};

const char* OwnerClassOf(const std::string& owner) {
    for (const OwnerKind& kind : kOwnerKinds) {
        if (owner.compare(0, 2, kind.prefix) == 0)
            return kind.className;
    }
    return nullptr;
}

constexpr const char* kUnknownObjectName = "N/A";

} // namespace

MerrowReturnValue FunctionalGrouping_Task::Get_Task_State(UAEnums::TaskState& state) {
    MWSCOPE_OBJ(this, "");
    std::vector<std::uint16_t> status;
    MerrowReturnValue result = Get_Task_OperationalStatus(status);
    if (result.isFailure())
        return result;
    if (status.empty()) {
        MWTRACE(TV_SEVERE, TC_ERROR_EXTERNAL_API_FAILURE)
            << "Task_OperationalStatus array is empty" << MWENDREC;
        return MerrowReturnValue::UA_E_CIM_ERR_FAILED;
    }
    state.setValue(status.front());
    return result;
}

MerrowReturnValue FunctionalGrouping_Task::Get_Task_ObjectName(std::string& name) {
    MWSCOPE_OBJ(this, "");
    std::string owner;
    MerrowReturnValue result = Get_Task_Owner(owner);
    if (result.isFailure())
        return result;
    if (owner.size() < 2)
        return MerrowReturnValue::UA_E_FAIL;
    const char* className = OwnerClassOf(owner);
    if (className == nullptr)
        return MerrowReturnValue::UA_E_FAIL;

    const cim::CIMObjectPath ownerPath(
        "", cim::CIMNamespaceName(), cim::CIMName(className),
        {cim::CIMKeyBinding(cim::CIMName("DeviceID"), owner, cim::CIMKeyBinding::Type::String)});
    CIM_Object ownerObject(this, ownerPath, {});
    ownerObject.SetConnection(GetConnection());
    name = kUnknownObjectName;
    try {
        ownerObject.FetchData(true);
    } catch (const cim::CIMException& e) {
        // A job outlives what it worked on: a deleted volume is no error.
        MWTRACE(TV_INFO, TC_INFO) << "Owner " << owner << " of task not fetched: " << e.what()
                                  << MWENDREC;
        return result;
    }
    std::string elementName;
    if (ownerObject.IsDataValid() && ownerObject.GetPropertyValue("ElementName", elementName))
        name = elementName;
    return result;
}

template <typename Exec>
MerrowReturnValue FunctionalGrouping_Task::RunJobMethod(const char* method, Exec&& exec) {
    ScopedLock lock(*this);
    Merrow_StorageConfigurationService service(this);
    service.SetConnection(GetConnection());
    const std::uint32_t execRtn = exec(service, GetRootObjectPath());
    return ExecResult::Check(execRtn, std::string("execRtn=m_Merrow_StorageConfigurationService.Exec") +
                                          method + "() failed. execRtn=");
}

MerrowReturnValue FunctionalGrouping_Task::Cancel() {
    MWSCOPE_OBJ(this, "");
    return RunJobMethod("AbortTask", [](auto& service, const auto& job) {
        return service.ExecAbortTask(job);
    });
}

MerrowReturnValue FunctionalGrouping_Task::Suspend() {
    MWSCOPE_OBJ(this, "");
    return RunJobMethod("SuspendTask", [](auto& service, const auto& job) {
        return service.ExecSuspendTask(job);
    });
}

MerrowReturnValue FunctionalGrouping_Task::Resume() {
    MWSCOPE_OBJ(this, "");
    return RunJobMethod("ResumeTask", [](auto& service, const auto& job) {
        return service.ExecResumeTask(job);
    });
}

MerrowReturnValue FunctionalGrouping_Task::Delete() {
    MWSCOPE_OBJ(this, "");
    const MerrowReturnValue result = RunJobMethod("DeleteTask", [](auto& service, const auto& job) {
        return service.ExecDeleteTask(job);
    });
    if (!result.isFailure())
        CIM_ObjectContainerInterface::InvalidateCacheForObjectPath(GetRootObjectPath());
    return result;
}

MerrowReturnValue FunctionalGrouping_Task::Modify(std::uint32_t priority,
                                                  const cim::CIMDateTime& scheduledStartTime,
                                                  const UAEnums::RecurrencePeriodicity& periodicityType,
                                                  std::uint16_t periodicityInterval) {
    MWSCOPE_OBJ(this, "");
    return RunJobMethod("RescheduleTask", [&](auto& service, const auto& job) {
        return service.ExecRescheduleTask(priority, scheduledStartTime,
                                          static_cast<std::uint16_t>(periodicityType.toCIM()),
                                          periodicityInterval, job);
    });
}

} // namespace Merrow::UserAgent
