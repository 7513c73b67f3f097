// What the commands work on: the attached provider and the focus (the selected provider,
// subsystem and LUN). The subsystem and the LUN are remembered by their VDS ids, not by its number, so a list
// that changes order under it (an array added or removed) never moves the focus to
// another array.
//
// One thread (the interpreter's) uses a session.
#pragma once

#include "ProviderAttachment.h"

#include "platform/com/CComPtr.h"
#include "vds/framework/OrvVdsInterfaces.h"

#include <map>
#include <optional>
#include <vector>

namespace orvraid {

class Session {
public:
    explicit Session(ProviderAttachment& attachment) : m_attachment(attachment) {}

    IVdsProvider* provider() const { return m_attachment.provider(); }
    // The provider's hardware-provider side; CommandError::vdsCall when it has none.
    CComPtr<IVdsHwProvider> hardwareProvider() const;
    // The provider's managed-array list, as a configuration client uses it;
    // CommandError::vdsCall when the provider does not offer one.
    CComPtr<IOrvVdsProviderPrivate> arrayList() const;

    // The provider's subsystems in the order it enumerates them, which numbers them.
    std::vector<CComPtr<IVdsSubSystem>> subsystems() const;

    bool providerSelected() const { return m_providerSelected; }
    void selectProvider(bool selected);

    // The position of the selected subsystem in `subsystems`, if it is among them.
    std::optional<std::size_t> selectedIndex(const std::vector<CComPtr<IVdsSubSystem>>& subsystems) const;
    // Selecting a subsystem selects its provider too.
    void selectSubsystem(const VDS_OBJECT_ID& id);
    void clearSubsystem()
    {
        m_subsystem.reset();
        m_lun.reset();
        m_objects.clear();
    }
    // The selected subsystem; CommandError::selection when there is none or it is gone
    // (the focus is dropped then).
    CComPtr<IVdsSubSystem> selectedSubsystem();

    // The LUNs of the selected subsystem in the order it enumerates them, which numbers them.
    std::vector<CComPtr<IVdsLun>> luns();
    // The position of the selected LUN in `luns`, if it is among them.
    std::optional<std::size_t> selectedLunIndex(const std::vector<CComPtr<IVdsLun>>& luns) const;
    void selectLun(const VDS_OBJECT_ID& id) { m_lun = id; }
    void clearLun() { m_lun.reset(); }
    // The selected LUN of the selected subsystem; CommandError::selection when there is
    // none or it is gone (the focus is dropped then).
    CComPtr<IVdsLun> selectedLun();
    // The focus on an object of the selected subsystem (a target, portal or portal
    // group), held by its COM identity (its IUnknown), which stays the same however the
    // lists are ordered; a change of subsystem drops it.
    void selectObject(VDS_OBJECT_TYPE type, CComPtr<IUnknown> identity) { m_objects[type] = std::move(identity); }
    void clearObject(VDS_OBJECT_TYPE type) { m_objects.erase(type); }
    // Null when nothing of that kind is selected.
    CComPtr<IUnknown> selectedObject(VDS_OBJECT_TYPE type) const;

private:
    ProviderAttachment& m_attachment;
    bool m_providerSelected = false;
    std::optional<VDS_OBJECT_ID> m_subsystem;
    std::optional<VDS_OBJECT_ID> m_lun;
    std::map<VDS_OBJECT_TYPE, CComPtr<IUnknown>> m_objects;
};

}  // namespace orvraid
