#include "vds/objects/LunMasking.h"

#include "trace/Trace.h"

#include <algorithm>

using namespace Merrow::UserAgent;
using Merrow::Trace::TC_VDS_LUN;
using Merrow::Trace::TV_ERROR;

namespace {

bool contains(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

LunMasking::LunMasking(Service_Volume volume, Service_CorvaneSystem system)
    : m_Volume(std::move(volume)), m_System(std::move(system))
{
}

HRESULT LunMasking::Apply(const std::vector<std::string>& names)
{
    HRESULT hr = readTarget();
    if (FAILED(hr))
        return hr;
    std::vector<Grantee> grantees;
    hr = readGrantees(grantees);
    if (FAILED(hr))
        return hr;
    revokeOthers(grantees, names);
    grantMissing(grantees, names);
    return m_Failures.empty() ? S_OK : E_FAIL;
}

HRESULT LunMasking::readFailure(const char* step, const MerrowReturnValue& result)
{
    MWTRACE(TV_ERROR, TC_VDS_LUN) << step << " Failed with return:" << result.getCode() << MWENDREC;
    m_Failures.push_back(result.getMessage());
    return E_FAIL;
}

HRESULT LunMasking::readTarget()
{
    const MerrowReturnValue result = m_Volume.GetTarget(m_Target);
    return result.isFailure() ? readFailure("GetTargets", result) : S_OK;
}

HRESULT LunMasking::readGrantees(std::vector<Grantee>& grantees)
{
    std::vector<Service_Initiator> initiators;
    const MerrowReturnValue read = m_Target.GetInitiators(initiators);
    if (read.isFailure())
        return readFailure("GetInitiators", read);
    for (Service_Initiator& initiator : initiators) {
        Grantee grantee{initiator, {}};
        const MerrowReturnValue id = initiator.GetGlobalID(grantee.name);
        if (id.isFailure())
            return readFailure("GetGlobalID", id);
        grantees.push_back(std::move(grantee));
    }
    return S_OK;
}

// A refusal of the array comes back as a result that is no failure but carries the array's
// code; both count against the change.
void LunMasking::record(const MerrowReturnValue& result, const std::string& what)
{
    const bool refused = result.getFailureCode() > 0;
    if (!result.isFailure() && !refused) {
        m_Changed = true;
        return;
    }
    MWTRACE(TV_ERROR, TC_VDS_LUN) << what << " Failed with return:" << result.getCode()
                                  << " failure code " << result.getFailureCode() << MWENDREC;
    m_Failures.push_back("The array refused to " + what + ": " + result.getMessage());
}

void LunMasking::revokeOthers(const std::vector<Grantee>& grantees, const std::vector<std::string>& names)
{
    for (const Grantee& grantee : grantees) {
        if (contains(names, grantee.name))
            continue;
        record(m_Target.RevokeInitiatorAccess(grantee.initiator), "revoke access of " + grantee.name);
    }
}

void LunMasking::grantMissing(const std::vector<Grantee>& grantees, const std::vector<std::string>& names)
{
    for (const std::string& name : names) {
        const bool granted = std::any_of(grantees.begin(), grantees.end(),
                                         [&](const Grantee& grantee) { return grantee.name == name; });
        if (granted)
            continue;
        const std::optional<Service_Initiator> initiator = initiatorNamed(name);
        if (!initiator)
            continue;
        record(m_Target.GrantInitiatorAccess(*initiator), "grant access to " + name);
    }
}

HRESULT LunMasking::readKnownInitiators()
{
    if (m_Known)
        return S_OK;
    Service_iSCSI iSCSI;
    MerrowReturnValue result = m_System.GetServiceiSCSI(iSCSI);
    if (result.isFailure())
        return readFailure("GetServiceiSCSI", result);
    std::vector<Service_Initiator> initiators;
    result = iSCSI.GetInitiators(initiators);
    if (result.isFailure())
        return readFailure("GetInitiators", result);
    std::vector<Grantee> known;
    for (Service_Initiator& initiator : initiators) {
        Grantee entry{initiator, {}};
        result = initiator.GetGlobalID(entry.name);
        if (result.isFailure())
            return readFailure("initiatorIT->GetName", result);
        known.push_back(std::move(entry));
    }
    m_Known = std::move(known);
    return S_OK;
}

// The array's initiator of this name, registered first when the array does not know it.
std::optional<Service_Initiator> LunMasking::initiatorNamed(const std::string& name)
{
    if (FAILED(readKnownInitiators()))
        return std::nullopt;
    for (const Grantee& entry : *m_Known) {
        if (entry.name == name)
            return entry.initiator;
    }
    Service_Initiator added;
    const MerrowReturnValue result = m_System.AddInitiator(name, added);
    const std::size_t failuresBefore = m_Failures.size();
    record(result, "register the initiator " + name);
    if (m_Failures.size() != failuresBefore || !added.IsValid())
        return std::nullopt;
    m_Known->push_back({added, name});
    return added;
}
