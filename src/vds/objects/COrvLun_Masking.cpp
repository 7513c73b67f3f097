// The LUN's masking: which initiators the array lets see the volume (SetMask, the
// unmasking list) and which targets expose it (QueryAssociatedTargets).
//
// Locks: provider, subsystem, then this LUN, held across the array calls; the target
// objects are looked at after the LUN's lock is given back.
#include "vds/objects/COrvLun.h"

#include "platform/com/ErrorDescription.h"
#include "platform/com/TextConversion.h"
#include "platform/vds/VdsErrors.h"
#include "trace/Trace.h"
#include "vds/objects/COrvSubSystem.h"
#include "vds/objects/COrvTarget.h"
#include "vds/objects/COrvVdsProvider.h"
#include "vds/objects/LunMasking.h"
#include "vds/objects/UnmaskingRequest.h"
#include "vds/objects/VdsObjectLookup.h"

using namespace Merrow::UserAgent;
using Merrow::Trace::TC_VDS_LUN;
using Merrow::Trace::TV_ERROR;
using Merrow::Trace::TV_WARNING;

namespace {

// The target objects of the subsystem whose array target has the durable name of `target`.
std::vector<VDS_OBJECT_ID> targetObjectsFor(const GUID& providerGuid, COrvSubSystem& subsystem,
                                            const Service_iSCSITarget& target)
{
    std::vector<VDS_OBJECT_ID> ids;
    std::string wanted;
    if (!target.IsValid() || target.GetDurableName(wanted).isFailure())
        return ids;
    subsystem.ValidateTargets();
    for (const VDS_OBJECT_ID& id : subsystem.TargetIds()) {
        auto object = LookUpVdsObject<COrvTarget>(providerGuid, id, VDS_OT_TARGET);
        std::string name;
        if (object && !object->GetService().GetDurableName(name).isFailure() && name == wanted)
            ids.push_back(id);
    }
    return ids;
}

std::string joinedSentences(const std::vector<std::string>& sentences)
{
    std::string text;
    for (const std::string& sentence : sentences)
        text += (text.empty() ? "" : " ") + sentence;
    return text;
}

} // namespace

HRESULT COrvLun::SetMask(LPWSTR pwszUnmaskingList)
{
    return GuardVdsMethod("COrvLun::SetMask", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        orv::platform::ClearErrorDescription();
        if (pwszUnmaskingList == nullptr)
            return E_INVALIDARG;
        const UnmaskingRequest request = UnmaskingRequest::Parse(
            std::u16string_view(pwszUnmaskingList, orv::platform::WideLength(pwszUnmaskingList)));
        if (request.kind != UnmaskingRequest::Kind::Names) {
            MWTRACE(TV_WARNING, TC_VDS_LUN) << "SetMask refused: " << request.error << MWENDREC;
            orv::platform::SetErrorDescription(request.error);
            return E_INVALIDARG;
        }
        COrvVdsProvider* provider = FindVdsProvider(GetProviderGuid());
        auto subsystem = LookUpVdsObject<COrvSubSystem>(GetProviderGuid(), GetSubSystemId(),
                                                        VDS_OT_SUB_SYSTEM);
        if (provider == nullptr || !subsystem || !GetService().IsValid())
            return E_FAIL;
        VDSScopedLock providerLock(provider);
        VDSScopedLock subsystemLock(subsystem.object);
        LunMasking masking(GetService(), subsystem->GetService());
        HRESULT hr = S_OK;
        {
            VDSScopedLock lock(this);
            hr = masking.Apply(request.names);
            m_MaskNames = request.names;
            // The grants changed through another facade of the target: the next read makes
            // a fresh one instead of waiting for the array's indications.
            m_Target.Forget();
        }
        if (FAILED(hr))
            orv::platform::SetErrorDescription(joinedSentences(masking.Failures()));
        if (masking.Changed()) {
            DeliverVdsNotification(GetProviderGuid(), VDS_NTT_LUN, VDS_NF_LUN_MODIFY, GetGuid());
            for (const VDS_OBJECT_ID& id :
                 targetObjectsFor(GetProviderGuid(), *subsystem.object, masking.Target()))
                DeliverVdsNotification(GetProviderGuid(), VDS_NTT_TARGET, VDS_NF_TARGET_MODIFY, id);
        }
        return hr;
    });
}

HRESULT COrvLun::QueryAssociatedTargets(IEnumVdsObject** ppTargetEnum)
{
    return GuardVdsMethod("COrvLun::QueryAssociatedTargets", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        COrvVdsProvider* provider = FindVdsProvider(GetProviderGuid());
        auto subsystem = LookUpVdsObject<COrvSubSystem>(GetProviderGuid(), GetSubSystemId(),
                                                        VDS_OT_SUB_SYSTEM);
        if (provider == nullptr || !subsystem)
            return E_FAIL;
        if (ppTargetEnum == nullptr)
            return E_INVALIDARG;
        *ppTargetEnum = nullptr;
        VDSScopedLock providerLock(provider);
        VDSScopedLock subsystemLock(subsystem.object);
        Service_iSCSITarget target;
        {
            VDSScopedLock lock(this);
            if (m_Service.IsValid() && m_Service.GetTarget(target).isFailure())
                MWTRACE(TV_ERROR, TC_VDS_LUN) << "GetTargets Failed" << MWENDREC;
        }
        return provider->MakeEnum(VDS_OT_TARGET,
                                  targetObjectsFor(GetProviderGuid(), *subsystem.object, target),
                                  ppTargetEnum);
    });
}

HRESULT COrvLun::AssociateTargets(VDS_OBJECT_ID*, LONG)
{
    // The array binds each volume to its own target; VDS cannot move it.
    return VDS_E_NOT_SUPPORTED;
}

std::u16string COrvLun::UnmaskingList()
{
    VDSScopedLock lock(this);
    return orv::platform::Utf8ToUtf16(unmaskingListLocked());
}

std::string COrvLun::unmaskingListLocked()
{
    std::vector<Service_Initiator> initiators;
    std::vector<std::string> names;
    if (m_Service.IsValid() && !targetLocked().GetInitiators(initiators).isFailure() &&
        !initiators.empty()) {
        for (Service_Initiator& initiator : initiators) {
            std::string name;
            if (!initiator.GetGlobalID(name).isFailure())
                names.push_back(std::move(name));
        }
        return UnmaskingRequest::Join(names);
    }
    // A LUN made for every host remembers "*", which names nobody.
    for (const std::string& name : m_MaskNames)
        if (name != "*")
            names.push_back(name);
    return UnmaskingRequest::Join(names);
}
