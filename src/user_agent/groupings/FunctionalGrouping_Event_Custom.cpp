#include "user_agent/groupings/FunctionalGrouping_Event.h"

namespace Merrow::UserAgent {

MerrowReturnValue FunctionalGrouping_Event::Get_Record_Time(DateTime& time) {
    cim::CIMDateTime timestamp;
    const MerrowReturnValue result = Get_Record_MessageTimestamp(timestamp);
    if (!result.isFailure())
        time = DateTime::fromCIMDateTime(timestamp);
    return result;
}

} // namespace Merrow::UserAgent
