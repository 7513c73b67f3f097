#include "vds/objects/COrvLun.h"

#include "platform/com/TextConversion.h"

using namespace Merrow::UserAgent;

namespace {

// The initiators an unmasking list names: ";"-separated; "*" (every initiator) names none
// in particular.
std::vector<std::string> namesOf(LPWSTR pwszUnmaskingList)
{
    std::vector<std::string> names;
    if (pwszUnmaskingList == nullptr)
        return names;
    const std::string list = orv::platform::Utf16ToUtf8(pwszUnmaskingList);
    if (list == "*")
        return names;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(';', start), list.size());
        if (end > start)
            names.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

} // namespace

void COrvLun::SetService(const Service_Volume& service, const VDS_OBJECT_ID& subSystemId,
                         LPWSTR pwszUnmaskingList)
{
    VDSScopedLock lock(this);
    CVdsArrayObject::SetService(service, subSystemId);
    m_MaskNames = namesOf(pwszUnmaskingList);
    m_Layout.Forget();
    m_Target.Forget();
}

const Service_VolumeComposition& COrvLun::layoutLocked()
{
    return m_Layout.Get([this](Service_VolumeComposition& layout) {
        return m_Service.GetVolumeComposition(layout);
    });
}

const Service_iSCSITarget& COrvLun::targetLocked()
{
    return m_Target.Get(
        [this](Service_iSCSITarget& target) { return m_Service.GetTarget(target); });
}

void COrvLun::RememberMaskNames(std::vector<std::string> names)
{
    VDSScopedLock lock(this);
    m_MaskNames = std::move(names);
}

std::vector<std::string> COrvLun::MaskNames()
{
    VDSScopedLock lock(this);
    return m_MaskNames;
}

VdsOrderKeyOutcome COrvLun::ReadOrderKey(std::string& key, std::string& failureText)
{
    VDSScopedLock lock(this);
    if (!m_Service.IsValid())
        return VdsOrderKeyOutcome::NoServiceObject;
    const MerrowReturnValue result = m_Service.GetDurableName(key);
    if (result.isFailure()) {
        failureText = result.getMessage();
        return VdsOrderKeyOutcome::Failed;
    }
    return VdsOrderKeyOutcome::Read;
}
