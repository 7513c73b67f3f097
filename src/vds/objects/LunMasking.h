// LunMasking: one change of a volume's masking on the array. The initiators that have
// access to the volume's target and are not named lose it; then each named initiator
// without access is registered on the array when the array does not know it yet, and
// granted access to the target.
//
// Revocations come before any grant, and when the current access cannot be read nothing
// is granted. A grant or revocation the array refuses does not stop the others; what the
// array said is kept for the caller. Nothing is rolled back.
//
// Used under the provider's, the subsystem's and the LUN's locks (COrvLun::SetMask).
#pragma once

#include "platform/com/WinTypes.h"
#include "user_agent/services/Service_CorvaneSystem.h"
#include "user_agent/services/Service_Initiator.h"
#include "user_agent/services/Service_Volume.h"
#include "user_agent/services/Service_iSCSI.h"
#include "user_agent/services/Service_iSCSITarget.h"

#include <optional>
#include <string>
#include <vector>

class LunMasking {
public:
    LunMasking(Merrow::UserAgent::Service_Volume volume,
               Merrow::UserAgent::Service_CorvaneSystem system);

    // S_OK when the array now grants exactly `names`; E_FAIL when a read failed or the
    // array refused a step (Failures() says which).
    HRESULT Apply(const std::vector<std::string>& names);

    // The volume's target, once Apply has read it.
    const Merrow::UserAgent::Service_iSCSITarget& Target() const { return m_Target; }
    // Whether a grant or a revocation was done on the array.
    bool Changed() const { return m_Changed; }
    // What went wrong, one sentence each.
    const std::vector<std::string>& Failures() const { return m_Failures; }

private:
    struct Grantee {
        Merrow::UserAgent::Service_Initiator initiator;
        std::string name;
    };

    HRESULT readTarget();
    HRESULT readGrantees(std::vector<Grantee>& grantees);
    void revokeOthers(const std::vector<Grantee>& grantees, const std::vector<std::string>& names);
    void grantMissing(const std::vector<Grantee>& grantees, const std::vector<std::string>& names);
    std::optional<Merrow::UserAgent::Service_Initiator> initiatorNamed(const std::string& name);
    HRESULT readKnownInitiators();
    void record(const Merrow::UserAgent::MerrowReturnValue& result, const std::string& what);
    HRESULT readFailure(const char* step, const Merrow::UserAgent::MerrowReturnValue& result);

    Merrow::UserAgent::Service_Volume m_Volume;
    Merrow::UserAgent::Service_CorvaneSystem m_System;
    Merrow::UserAgent::Service_iSCSITarget m_Target;
    // The array's initiators, read once on the first name the target does not grant yet.
    std::optional<std::vector<Grantee>> m_Known;
    bool m_Changed = false;
    std::vector<std::string> m_Failures;
};
