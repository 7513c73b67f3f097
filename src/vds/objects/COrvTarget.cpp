#include "vds/objects/COrvTarget.h"

using namespace Merrow::UserAgent;

VdsOrderKeyOutcome COrvTarget::ReadOrderKey(std::string& key, std::string& failureText)
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
