#include "user_agent/services/Service_AdvancedSettingsImpl.h"

namespace Merrow::UserAgent {

MerrowReturnValue Service_AdvancedSettingsImpl::SaveCvnConfiguration(const std::string& filePath) {
    ScopedLock lock(*this);
    return m_persistantData.SaveCvnConfiguration(filePath);
}

MerrowReturnValue Service_AdvancedSettingsImpl::RestoreCvnConfiguration(const std::string& filePath,
                                                                        bool onlyIfSameChassis) {
    ScopedLock lock(*this);
    return m_persistantData.RestoreCvnConfiguration(filePath, onlyIfSameChassis);
}

MerrowReturnValue Service_AdvancedSettingsImpl::RestoreCvnConfigurationToFactoryDefaults(
    bool excludeResettingManagementPortAddress) {
    ScopedLock lock(*this);
    return m_persistantData.RestoreCvnConfigurationToFactoryDefaults(
        excludeResettingManagementPortAddress);
}

} // namespace Merrow::UserAgent
