#include "Session.h"

#include "CommandError.h"
#include "VdsObjects.h"
#include "VdsProperties.h"

namespace orvraid {

CComPtr<IVdsHwProvider> Session::hardwareProvider() const
{
    CComPtr<IVdsHwProvider> hardware;
    throwIfFailed(CComPtr<IVdsProvider>(provider()).QueryInterface(hardware.put()),
                  "reach the provider's subsystems");
    return hardware;
}

CComPtr<IOrvVdsProviderPrivate> Session::arrayList() const
{
    CComPtr<IOrvVdsProviderPrivate> list;
    throwIfFailed(CComPtr<IVdsProvider>(provider()).QueryInterface(list.put()),
                  "reach the provider's list of managed arrays");
    return list;
}

std::vector<CComPtr<IVdsSubSystem>> Session::subsystems() const
{
    CComPtr<IVdsHwProvider> hardware = hardwareProvider();
    return queryObjects<IVdsSubSystem>(
        [&](IEnumVdsObject** e) { return hardware->QuerySubSystems(e); }, "list the subsystems");
}

void Session::selectProvider(bool selected)
{
    m_providerSelected = selected;
    if (!selected) {
        m_subsystem.reset();
        m_lun.reset();
        m_objects.clear();
    }
}

std::optional<std::size_t> Session::selectedIndex(const std::vector<CComPtr<IVdsSubSystem>>& subsystems) const
{
    if (!m_subsystem)
        return std::nullopt;
    for (std::size_t i = 0; i < subsystems.size(); ++i) {
        if (readProperties(subsystems[i].get()).id == *m_subsystem)
            return i;
    }
    return std::nullopt;
}

void Session::selectSubsystem(const VDS_OBJECT_ID& id)
{
    if (m_subsystem != id) {
        m_lun.reset();
        m_objects.clear();
    }
    m_subsystem = id;
    m_providerSelected = true;
}

CComPtr<IVdsSubSystem> Session::selectedSubsystem()
{
    if (!m_subsystem)
        throw CommandError::selection("There is no selected subsystem. Select one with: select subsystem <n>");
    const std::vector<CComPtr<IVdsSubSystem>> all = subsystems();
    const std::optional<std::size_t> index = selectedIndex(all);
    if (!index) {
        m_subsystem.reset();
        throw CommandError::selection("The selected subsystem is gone; select another one.");
    }
    return all[*index];
}

std::vector<CComPtr<IVdsLun>> Session::luns()
{
    CComPtr<IVdsSubSystem> subsystem = selectedSubsystem();
    return queryObjects<IVdsLun>([&](IEnumVdsObject** e) { return subsystem->QueryLuns(e); },
                                 "list the LUNs");
}

std::optional<std::size_t> Session::selectedLunIndex(const std::vector<CComPtr<IVdsLun>>& luns) const
{
    if (!m_lun)
        return std::nullopt;
    for (std::size_t i = 0; i < luns.size(); ++i) {
        if (readProperties(luns[i].get()).id == *m_lun)
            return i;
    }
    return std::nullopt;
}

CComPtr<IVdsLun> Session::selectedLun()
{
    if (!m_lun)
        throw CommandError::selection("There is no selected LUN. Select one with: select lun <n>");
    const std::vector<CComPtr<IVdsLun>> all = luns();
    const std::optional<std::size_t> index = selectedLunIndex(all);
    if (!index) {
        m_lun.reset();
        throw CommandError::selection("The selected LUN is gone; select another one.");
    }
    return all[*index];
}

CComPtr<IUnknown> Session::selectedObject(VDS_OBJECT_TYPE type) const
{
    const auto found = m_objects.find(type);
    return found == m_objects.end() ? CComPtr<IUnknown>() : found->second;
}

}  // namespace orvraid
