#include "user_agent/services/Service_TaskImpl.h"

namespace Merrow::UserAgent {

namespace {

// A job's start times are timestamps, but its "ElapsedTime" is an interval: that one
// becomes the DateTime of its length. Wildcards and times before year 0 throw
// MWEDataConversionError, which the facade boundary reports.
DateTime ToDateTime(const cim::CIMDateTime& value) {
    if (value.isInterval() && !value.hasWildcards())
        return DateTime::fromMilliseconds(static_cast<std::uint64_t>(value.toMicroseconds() / 1000));
    return DateTime::fromCIMDateTime(value);
}

} // namespace

MerrowReturnValue Service_TaskImpl::GetTime(TimeAccessor accessor, DateTime& value) {
    ScopedLock lock(*this);
    cim::CIMDateTime read;
    const MerrowReturnValue result = (m_Task.*accessor)(read);
    if (!result.isFailure())
        value = ToDateTime(read);
    return result;
}

MerrowReturnValue Service_TaskImpl::GetStartTime(DateTime& startTime) {
    return GetTime(&FunctionalGrouping_Task::Get_Task_StartTime, startTime);
}

MerrowReturnValue Service_TaskImpl::GetScheduledStartTime(DateTime& scheduledStartTime) {
    return GetTime(&FunctionalGrouping_Task::Get_Task_ScheduledStartTime, scheduledStartTime);
}

MerrowReturnValue Service_TaskImpl::GetEstimatedCompletionTime(DateTime& estimatedCompletionTime) {
    return GetTime(&FunctionalGrouping_Task::Get_Task_ElapsedTime, estimatedCompletionTime);
}

MerrowReturnValue Service_TaskImpl::GetPeriodicityType(
    UAEnums::RecurrencePeriodicity& periodicityType) {
    ScopedLock lock(*this);
    std::uint16_t repeatPeriodicity = 0;
    const MerrowReturnValue result = m_Task.Get_Task_RepeatPeriodicity(repeatPeriodicity);
    if (!result.isFailure())
        periodicityType.setValue(repeatPeriodicity);
    return result;
}

} // namespace Merrow::UserAgent
