#include "vds/objects/COrvLun.h"

#include "platform/com/TextConversion.h"

using namespace Merrow::UserAgent;

void COrvLun::SetService(const Service_Volume& service, const VDS_OBJECT_ID& subSystemId,
                         LPWSTR pwszUnmaskingList)
{
    VDSScopedLock lock(this);
    CVdsArrayObject::SetService(service, subSystemId);
    m_UnmaskingList = pwszUnmaskingList == nullptr
                          ? std::u16string()
                          : std::u16string(pwszUnmaskingList,
                                           orv::platform::WideLength(pwszUnmaskingList));
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
