#include "user_agent/groupings/FunctionalGrouping_SystemPerformanceSummary.h"

namespace Merrow::UserAgent {

MerrowReturnValue FunctionalGrouping_SystemPerformanceSummary::GetNumberOfDisks(std::uint32_t& count) {
    return CountOf(m_Disks, count);
}

MerrowReturnValue
FunctionalGrouping_SystemPerformanceSummary::GetNumberOfPhysicalMedia(std::uint32_t& count) {
    return CountOf(m_PhysicalMedia, count);
}

MerrowReturnValue FunctionalGrouping_SystemPerformanceSummary::GetNumberOfVolumes(std::uint32_t& count) {
    return CountOf(m_Volumes, count);
}

MerrowReturnValue
FunctionalGrouping_SystemPerformanceSummary::GetNumberOfInitiators(std::uint32_t& count) {
    return CountOf(m_Initiators, count);
}

MerrowReturnValue FunctionalGrouping_SystemPerformanceSummary::GetNumberOfSessions(std::uint32_t& count) {
    return CountOf(m_Sessions, count);
}

MerrowReturnValue FunctionalGrouping_SystemPerformanceSummary::GetNumberOfTargets(std::uint32_t& count) {
    return CountOf(m_Targets, count);
}

MerrowReturnValue FunctionalGrouping_SystemPerformanceSummary::CountOf(CIM_ObjectList& list,
                                                                       std::uint32_t& count) {
    MWSCOPE_OBJ(this, "");
    std::vector<cim::CIMObject> objects;
    const MerrowReturnValue listed = GetList(list, objects);
    if (!listed.isFailure())
        count = static_cast<std::uint32_t>(objects.size());
    return listed;
}

} // namespace Merrow::UserAgent
