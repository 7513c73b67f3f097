// The target's CHAP side: its own secret with the authentication methods that go with it,
// the secrets of the initiators that may use it, and the initiators logged in now. A
// secret is never written to a trace.
#include "vds/objects/COrvTarget.h"

#include "platform/com/ErrorDescription.h"
#include "platform/com/TaskMemory.h"
#include "platform/com/TextConversion.h"
#include "trace/Trace.h"
#include "user_agent/base/MerrowUserAgentEnums.h"
#include "user_agent/services/Service_Initiator.h"
#include "user_agent/services/Service_iSCSISession.h"

#include <vector>

using namespace Merrow::UserAgent;
using Merrow::Trace::TC_VDS_TARGET;
using Merrow::Trace::TV_ERROR;
using Merrow::Trace::TV_WARNING;

namespace {

constexpr std::int32_t kNoAuthentication = 3;
constexpr std::int32_t kChap = 5;

std::string secretText(const VDS_ISCSI_SHARED_SECRET& secret)
{
    if (secret.pSharedSecret == nullptr)
        return {};
    return std::string(reinterpret_cast<const char*>(secret.pSharedSecret), secret.ulSharedSecretSize);
}

// E_FAIL with the array's words for the caller, traced without any secret.
HRESULT refused(const char* step, const MerrowReturnValue& result)
{
    MWTRACE(TV_ERROR, TC_VDS_TARGET) << step << " failed with return: " << result.getCode() << MWENDREC;
    orv::platform::SetErrorDescription(result.getMessage());
    return E_FAIL;
}

// A task-memory array of task-memory wide strings; null when memory runs out (nothing
// left allocated then).
LPWSTR* wideStringArray(const std::vector<std::string>& texts)
{
    auto* array = CoTaskMemAllocZeroed<LPWSTR>(texts.size());
    if (array == nullptr)
        return nullptr;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        array[i] = CoTaskMemDupString(orv::platform::Utf8ToUtf16(texts[i]));
        if (array[i] != nullptr)
            continue;
        for (std::size_t j = 0; j < i; ++j)
            CoTaskMemFree(array[j]);
        CoTaskMemFree(array);
        return nullptr;
    }
    return array;
}

} // namespace

HRESULT COrvTarget::SetSharedSecret(VDS_ISCSI_SHARED_SECRET* pTargetSharedSecret, LPWSTR)
{
    return GuardVdsMethod("COrvTarget::SetSharedSecret", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        orv::platform::ClearErrorDescription();
        VDSScopedLock lock(this);
        if (!m_Service.IsValid())
            return E_FAIL;
        const std::string secret = pTargetSharedSecret ? secretText(*pTargetSharedSecret) : std::string();
        const MerrowReturnValue result = m_Service.SetSecret(secret);
        if (result.isFailure())
            return refused("m_ServiceTarget.SetSecret", result);
        if (pTargetSharedSecret == nullptr)
            return S_OK;
        return setAuthenticationMethods(secret.size());
    });
}

// An empty secret turns CHAP off; any other turns it on, for both methods the target offers.
HRESULT COrvTarget::setAuthenticationMethods(std::size_t secretLength)
{
    const UAEnums::AuthenticationMethod method(secretLength == 0 ? kNoAuthentication : kChap);
    MerrowReturnValue result = m_Service.SetPrimaryAuthenticationMethod(method);
    if (result.isFailure())
        return refused("SetPrimaryAuthenticationMethod", result);
    result = m_Service.SetSecondaryAuthenticationMethod(method);
    if (result.isFailure())
        return refused("SetSecondaryAuthenticationMethod", result);
    return S_OK;
}

HRESULT COrvTarget::RememberInitiatorSharedSecret(LPWSTR pwszInitiatorName,
                                                  VDS_ISCSI_SHARED_SECRET* pInitiatorSharedSecret)
{
    return GuardVdsMethod("COrvTarget::RememberInitiatorSharedSecret", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        orv::platform::ClearErrorDescription();
        if (pwszInitiatorName == nullptr || pInitiatorSharedSecret == nullptr)
            return E_INVALIDARG;
        const std::string name = orv::platform::Utf16ToUtf8(pwszInitiatorName);
        if (name.empty())
            return E_FAIL;
        VDSScopedLock lock(this);
        std::vector<Service_Initiator> initiators;
        const MerrowReturnValue read = m_Service.GetInitiators(initiators);
        if (read.isFailure())
            return refused("GetInitiators", read);
        for (Service_Initiator& initiator : initiators) {
            std::string id;
            if (initiator.GetGlobalID(id).isFailure() || id != name)
                continue;
            const MerrowReturnValue set = initiator.SetSecret(secretText(*pInitiatorSharedSecret));
            return set.isFailure() ? refused("initiator.SetSecret", set) : S_OK;
        }
        MWTRACE(TV_WARNING, TC_VDS_TARGET) << "initiator " << name << " has no access to the target" << MWENDREC;
        orv::platform::SetErrorDescription("The initiator " + name + " has no access to this target.");
        return E_FAIL;
    });
}

HRESULT COrvTarget::GetConnectedInitiators(LPWSTR** pppwszInitiatorList, LONG* plNumberOfInitiators)
{
    return GuardVdsMethod("COrvTarget::GetConnectedInitiators", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        if (pppwszInitiatorList == nullptr || plNumberOfInitiators == nullptr)
            return E_INVALIDARG;
        *pppwszInitiatorList = nullptr;
        *plNumberOfInitiators = 0;
        VDSScopedLock lock(this);
        std::vector<Service_iSCSISession> sessions;
        const MerrowReturnValue read = m_Service.GetSessions(sessions);
        if (read.isFailure())
            return refused("GetSessions", read);
        std::vector<std::string> names;
        for (Service_iSCSISession& session : sessions) {
            std::string name;
            const MerrowReturnValue got = session.GetInitiatorGlobalID(name);
            if (got.isFailure())
                return refused("GetInitiatorGlobalID", got);
            names.push_back(std::move(name));
        }
        LPWSTR* list = wideStringArray(names);
        if (list == nullptr)
            return E_OUTOFMEMORY;
        *pppwszInitiatorList = list;
        *plNumberOfInitiators = static_cast<LONG>(names.size());
        return S_OK;
    });
}
