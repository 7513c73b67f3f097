#include "user_agent/objects/CIM_ContainerAnchor.h"

#include "cim/value/CIMTextRules.h"
#include "trace/Trace.h"
#include "user_agent/connection/UACIMClient.h"
#include "user_agent/indications/MerrowProfileInterface.h"

#include <algorithm>
#include <utility>

namespace Merrow::UserAgent {

using namespace Merrow::Trace;

namespace {

constexpr const char* kNoPath = "NOPATH";

std::string pathText(const cim::CIMObjectPath& path) {
    return path.isNull() ? std::string(kNoPath) : path.toString();
}

} // namespace

CIM_ContainerAnchor::CIM_ContainerAnchor(const cim::CIMName& resultClassName)
    : m_kind(Kind::Anchor_Enumerate), m_resultClassName(resultClassName) {}

CIM_ContainerAnchor::CIM_ContainerAnchor(const cim::CIMObjectPath* anchorPath,
                                         CIM_AssociationSpecList steps)
    : m_kind(Kind::Anchor_PathReference), m_pathReference(anchorPath), m_steps(std::move(steps)) {
    if (!m_steps.empty())
        m_resultClassName = m_steps.back().resultClass;
}

CIM_ContainerAnchor::CIM_ContainerAnchor(cim::CIMObjectPath anchorPath,
                                         CIM_AssociationSpecList steps)
    : m_kind(Kind::Anchor_OwnPath), m_ownPath(std::move(anchorPath)), m_steps(std::move(steps)),
      m_resultClassName(m_steps.empty() ? m_ownPath.getClassName() : m_steps.back().resultClass) {}

CIM_ContainerAnchor::CIM_ContainerAnchor(CIM_ObjectContainerInterface& source,
                                         CIM_AssociationSpecList steps)
    : m_kind(Kind::Anchor_SourceObject), m_source(&source), m_steps(std::move(steps)),
      m_resultClassName(m_steps.empty() ? source.GetCIMClassName() : m_steps.back().resultClass) {}

cim::CIMName CIM_ContainerAnchor::GetResultClassName() const {
    return resultClassName();
}

// Every indication is offered to every container of its class, thousands on a big array:
// the comparisons take no copy.
const cim::CIMName& CIM_ContainerAnchor::resultClassName() const {
    // A referenced path may be filled in after construction (the profile's root path).
    if (m_kind == Kind::Anchor_PathReference && m_steps.empty() && m_pathReference)
        return m_pathReference->getClassName();
    return m_resultClassName;
}

const cim::CIMObjectPath* CIM_ContainerAnchor::HeldStartPath() const {
    if (m_kind == Kind::Anchor_OwnPath)
        return &m_ownPath;
    if (m_kind == Kind::Anchor_PathReference)
        return m_pathReference;
    return nullptr;
}

cim::CIMObjectPath CIM_ContainerAnchor::GetStartPath() const {
    switch (m_kind) {
    case Kind::Anchor_Enumerate:
        return {};
    case Kind::Anchor_PathReference:
        return m_pathReference ? *m_pathReference : cim::CIMObjectPath();
    case Kind::Anchor_OwnPath:
        return m_ownPath;
    case Kind::Anchor_SourceObject:
        return m_source->GetCIMObjectPath();
    }
    return {};
}

bool CIM_ContainerAnchor::Concerns(std::string_view className) const {
    const auto same = [className](const cim::CIMName& name) {
        return cim::detail::equalNoCase(className, name.getString());
    };
    if (same(resultClassName()))
        return true;
    return std::any_of(m_steps.begin(), m_steps.end(), [&](const CIM_AssociationSpec& step) {
        return same(step.associationClass) || same(step.resultClass);
    });
}

std::vector<cim::CIMObjectPath>
CIM_ContainerAnchor::WalkToLastStep(UACIMClient& client, const cim::CIMObjectPath& start,
                                    std::vector<cim::CIMObjectPath>* passed) const {
    std::vector<cim::CIMObjectPath> workingSet{start};
    for (std::size_t index = 0; index + 1 < m_steps.size(); ++index) {
        const CIM_AssociationSpec& step = m_steps[index];
        std::vector<cim::CIMObjectPath> next;
        for (const cim::CIMObjectPath& path : workingSet) {
            TraceAssociationCall("ASSOCIATORNAMES()", m_resultClassName, step, path);
            auto found = client.associatorNames(UACIMClient::kArrayNamespace, path,
                                                step.associationClass, step.resultClass);
            next.insert(next.end(), std::make_move_iterator(found.begin()),
                        std::make_move_iterator(found.end()));
        }
        workingSet = std::move(next);
        if (passed)
            passed->insert(passed->end(), workingSet.begin(), workingSet.end());
    }
    return workingSet;
}

void CIM_ContainerAnchor::TraceConstruction(const char* what, std::uint32_t instanceId,
                                            const MerrowProfileInterface* containingProfile) const {
    MWTRACE(TV_DETAIL, TC_INFO_DEBUG)
        << what << " m_ObjectContainerInstanceId=" << instanceId << " containingProfile_path="
        << (containingProfile ? pathText(containingProfile->GetRootObjectPath()) : kNoPath)
        << " associationSpec.getCount()=" << m_steps.size()
        << " resultClassName=" << GetResultClassName() << MWENDREC;
    if (m_kind == Kind::Anchor_SourceObject)
        MWTRACE(TV_DETAIL, TC_INFO_DEBUG)
            << what << " sourceObject_path=" << pathText(m_source->GetAnchorPath()) << MWENDREC;
}

void TraceAssociationCall(const char* call, const cim::CIMName& className,
                          const CIM_AssociationSpec& step, const cim::CIMObjectPath& path) {
    MWTRACE(TV_DETAIL, TC_INFO_DEBUG)
        << "className=" << className << " - performing " << call
        << " associationClass=" << step.associationClass << " resultClass=" << step.resultClass
        << " path=" << path << MWENDREC;
}

} // namespace Merrow::UserAgent
