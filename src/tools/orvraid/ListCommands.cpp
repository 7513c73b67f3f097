#include "ListCommands.h"

#include "CommandContext.h"
#include "CommandTable.h"
#include "ObjectList.h"
#include "Session.h"
#include "SizeText.h"
#include "VdsObjects.h"
#include "VdsProperties.h"
#include "VdsText.h"

namespace orvraid {
namespace {

using Align = TextTable::Align;

void listProviders(CommandContext& context, const CommandArguments&)
{
    const std::vector<CComPtr<IVdsProvider>> providers{context.session.provider()};
    const ObjectListStyle style{"Prov", "providers", {{"Name"}, {"Version"}, {"Type"}}};
    printObjectList(context.out, style, providers, [](IVdsProvider* provider) {
        const ProviderProperties p = readProperties(provider);
        return std::vector<std::string>{p.name, p.version, providerTypeText(p.type)};
    }, context.session.providerSelected() ? std::optional<std::size_t>(0) : std::nullopt);
}

void listSubsystems(CommandContext& context, const CommandArguments&)
{
    const std::vector<CComPtr<IVdsSubSystem>> subsystems = context.session.subsystems();
    const ObjectListStyle style{"Subsystem", "subsystems", {{"Name"}, {"Status"}, {"Health"}}};
    printObjectList(context.out, style, subsystems, [](IVdsSubSystem* subsystem) {
        const SubsystemProperties p = readProperties(subsystem);
        return std::vector<std::string>{p.name, statusText(p.status), healthText(p.health)};
    }, context.session.selectedIndex(subsystems));
}

void listControllers(CommandContext& context, const CommandArguments&)
{
    CComPtr<IVdsSubSystem> subsystem = context.session.selectedSubsystem();
    const auto controllers = queryObjects<IVdsController>(
        [&](IEnumVdsObject** e) { return subsystem->QueryControllers(e); }, "list the controllers");
    const ObjectListStyle style{"Ctlr", "controllers",
                                {{"Status"}, {"Health"}, {"Ports", Align::Right}, {"Name"}}};
    printObjectList(context.out, style, controllers, [](IVdsController* controller) {
        const ControllerProperties p = readProperties(controller);
        return std::vector<std::string>{statusText(p.status), healthText(p.health),
                                        std::to_string(p.ports), p.name};
    });
}

void listDrives(CommandContext& context, const CommandArguments&)
{
    CComPtr<IVdsSubSystem> subsystem = context.session.selectedSubsystem();
    const auto drives = queryObjects<IVdsDrive>(
        [&](IEnumVdsObject** e) { return subsystem->QueryDrives(e); }, "list the drives");
    const ObjectListStyle style{"Drive", "drives",
                                {{"Status"}, {"Health"}, {"Size", Align::Right},
                                 {"Bus", Align::Right}, {"Slot", Align::Right}, {"Flags"}}};
    printObjectList(context.out, style, drives, [](IVdsDrive* drive) {
        const DriveProperties p = readProperties(drive);
        return std::vector<std::string>{statusText(p.status), healthText(p.health), sizeText(p.size),
                                        std::to_string(p.bus), std::to_string(p.slot),
                                        driveFlagsText(p.flags)};
    });
}

void listLuns(CommandContext& context, const CommandArguments&)
{
    CComPtr<IVdsSubSystem> subsystem = context.session.selectedSubsystem();
    const auto luns = queryObjects<IVdsLun>(
        [&](IEnumVdsObject** e) { return subsystem->QueryLuns(e); }, "list the LUNs");
    const ObjectListStyle style{"LUN", "LUNs",
                                {{"Status"}, {"Health"}, {"Size", Align::Right}, {"Type"}, {"Name"}}};
    printObjectList(context.out, style, luns, [](IVdsLun* lun) {
        const LunProperties p = readProperties(lun);
        return std::vector<std::string>{statusText(p.status), healthText(p.health), sizeText(p.size),
                                        lunTypeText(p.type), p.name};
    });
}

CComPtr<IVdsSubSystemIscsi> selectedIscsiSubsystem(CommandContext& context, const std::string& operation)
{
    CComPtr<IVdsSubSystem> subsystem = context.session.selectedSubsystem();
    CComPtr<IVdsSubSystemIscsi> iscsi;
    throwIfFailed(subsystem.QueryInterface(iscsi.put()), operation);
    return iscsi;
}

void listTargets(CommandContext& context, const CommandArguments&)
{
    const std::string operation = "list the targets";
    CComPtr<IVdsSubSystemIscsi> iscsi = selectedIscsiSubsystem(context, operation);
    const auto targets = queryObjects<IVdsIscsiTarget>(
        [&](IEnumVdsObject** e) { return iscsi->QueryTargets(e); }, operation);
    const ObjectListStyle style{"Target", "targets", {{"Name"}, {"iSCSI Name"}, {"CHAP"}}};
    printObjectList(context.out, style, targets, [](IVdsIscsiTarget* target) {
        const TargetProperties p = readProperties(target);
        return std::vector<std::string>{p.name, p.iscsiName, p.chapEnabled ? "Enabled" : "Disabled"};
    });
}

void listPortals(CommandContext& context, const CommandArguments&)
{
    const std::string operation = "list the target portals";
    CComPtr<IVdsSubSystemIscsi> iscsi = selectedIscsiSubsystem(context, operation);
    const auto portals = queryObjects<IVdsIscsiPortal>(
        [&](IEnumVdsObject** e) { return iscsi->QueryPortals(e); }, operation);
    const ObjectListStyle style{"TPortal", "target portals",
                                {{"Address"}, {"Port", Align::Right}, {"Status"}}};
    printObjectList(context.out, style, portals, [](IVdsIscsiPortal* portal) {
        const PortalProperties p = readProperties(portal);
        return std::vector<std::string>{p.address, std::to_string(p.port), statusText(p.status)};
    });
}

}  // namespace

void ListCommands::addTo(CommandTable& table)
{
    const Keyword list{"list"};
    table.add({{list, {"providers"}}, "", "Lists the providers; * marks the selected one.", {}, listProviders});
    table.add({{list, {"subsystems"}}, "", "Lists the subsystems; * marks the selected one.", {}, listSubsystems});
    table.add({{list, {"controllers"}}, "", "Lists the controllers of the selected subsystem.", {}, listControllers});
    table.add({{list, {"drives"}}, "", "Lists the drives of the selected subsystem.", {}, listDrives});
    table.add({{list, {"luns"}}, "", "Lists the LUNs of the selected subsystem.", {}, listLuns});
    table.add({{list, {"targets"}}, "", "Lists the iSCSI targets of the selected subsystem.", {}, listTargets});
    table.add({{list, {"tportals", "portals"}}, "", "Lists the iSCSI target portals of the selected subsystem.",
               {}, listPortals});
}

}  // namespace orvraid
