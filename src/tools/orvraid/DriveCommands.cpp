#include "DriveCommands.h"

#include "CommandTable.h"
#include "DetailList.h"
#include "ObjectFocus.h"
#include "ObjectList.h"
#include "Session.h"
#include "SizeText.h"
#include "VdsObjects.h"
#include "VdsProperties.h"
#include "VdsText.h"

#include "platform/com/Guid.h"
#include "platform/com/TaskMemory.h"

#include <cstdlib>
#include <memory>

namespace orvraid {
namespace {

using Align = TextTable::Align;

VDS_OBJECT_ID driveId(IVdsDrive* drive)
{
    VDS_DRIVE_PROP prop{};
    throwIfFailed(drive->GetProperties(&prop), "read a drive's properties");
    CoTaskMemFree(prop.pwszFriendlyName);
    CoTaskMemFree(prop.pwszIdentification);
    return prop.id;
}

VDS_LUN_PLEX_PROP plexProperties(IVdsLunPlex* plex)
{
    VDS_LUN_PLEX_PROP prop{};
    throwIfFailed(plex->GetProperties(&prop), "read a plex's properties");
    return prop;
}

std::vector<CComPtr<IVdsDrive>> listDrives(CommandContext& context)
{
    CComPtr<IVdsSubSystem> subsystem = context.session.selectedSubsystem();
    return queryObjects<IVdsDrive>([&](IEnumVdsObject** e) { return subsystem->QueryDrives(e); },
                                   "list the drives");
}

std::vector<CComPtr<IVdsLun>> listLuns(CommandContext& context)
{
    CComPtr<IVdsSubSystem> subsystem = context.session.selectedSubsystem();
    return queryObjects<IVdsLun>([&](IEnumVdsObject** e) { return subsystem->QueryLuns(e); },
                                 "list the LUNs");
}

// Every plex of the subsystem, LUN by LUN in the LUNs' order.
std::vector<CComPtr<IVdsLunPlex>> listPlexes(CommandContext& context)
{
    std::vector<CComPtr<IVdsLunPlex>> plexes;
    for (const CComPtr<IVdsLun>& lun : listLuns(context)) {
        auto own = queryObjects<IVdsLunPlex>([&](IEnumVdsObject** e) { return lun->QueryPlexes(e); },
                                             "list a LUN's plexes");
        plexes.insert(plexes.end(), own.begin(), own.end());
    }
    return plexes;
}

// A LUN's number in the LUN list, or its id when the LUNs cannot tell theirs.
std::string lunText(CommandContext& context, const VDS_OBJECT_ID& lunId)
{
    if (lunId == GUID_NULL)
        return "(free)";
    const std::vector<CComPtr<IVdsLun>> luns = listLuns(context);
    for (std::size_t i = 0; i < luns.size(); ++i) {
        VDS_LUN_PROP prop{};
        if (FAILED(luns[i]->GetProperties(&prop)))
            break;
        CoTaskMemFree(prop.pwszFriendlyName);
        CoTaskMemFree(prop.pwszIdentification);
        CoTaskMemFree(prop.pwszUnmaskingList);
        if (prop.id == lunId)
            return "LUN " + std::to_string(i);
    }
    return GuidToString(lunId);
}

std::string plexTypeText(VDS_LUN_PLEX_TYPE type)
{
    // The plex types share their numbers with the LUN types.
    return lunTypeText(static_cast<VDS_LUN_TYPE>(type));
}

template <class Query> void printExtents(CommandContext& context, Query&& query, const std::string& operation)
{
    VDS_DRIVE_EXTENT* extents = nullptr;
    LONG count = 0;
    throwIfFailed(query(&extents, &count), operation);
    std::unique_ptr<VDS_DRIVE_EXTENT, decltype(&CoTaskMemFree)> owned(extents, &CoTaskMemFree);
    TextTable table({{"Extent ###"}, {"LUN"}, {"Size", Align::Right}, {"Used"}});
    for (LONG i = 0; i < count; ++i) {
        table.addRow({"Extent " + std::to_string(i), lunText(context, extents[i].LunId),
                      sizeText(extents[i].ullSize), extents[i].bUsed ? "Yes" : "No"},
                     false);
    }
    context.out << "\n";
    table.print(context.out);
}

struct DriveFocus {
    ObjectFocus<IVdsDrive> drives{"drive", listDrives, driveId};
    ObjectFocus<IVdsLunPlex> plexes{"plex", listPlexes,
                                    [](IVdsLunPlex* plex) { return plexProperties(plex).id; }};
};

void detailDrive(DriveFocus& focus, CommandContext& context)
{
    CComPtr<IVdsDrive> drive = focus.drives.selected(context);
    const DriveProperties p = readProperties(drive.get());
    DetailList details;
    details.add("Name", p.name);
    details.add("Id", GuidToString(driveId(drive.get())));
    details.add("Identification", p.identification);
    details.add("Status", statusText(p.status));
    details.add("Health", healthText(p.health));
    details.add("Size", sizeText(p.size));
    details.add("Bus", std::to_string(p.bus));
    details.add("Slot", std::to_string(p.slot));
    details.add("Flags", driveFlagsText(p.flags));
    details.print(context.out);
    printExtents(context, [&](VDS_DRIVE_EXTENT** e, LONG* n) { return drive->QueryExtents(e, n); },
                 "list the drive's extents");
}

void detailPlex(DriveFocus& focus, CommandContext& context)
{
    CComPtr<IVdsLunPlex> plex = focus.plexes.selected(context);
    const VDS_LUN_PLEX_PROP p = plexProperties(plex.get());
    DetailList details;
    details.add("Id", GuidToString(p.id));
    details.add("Size", sizeText(p.ullSize));
    details.add("Type", plexTypeText(p.type));
    details.add("Status", statusText(p.status));
    details.add("Health", healthText(p.health));
    details.add("Stripe size", std::to_string(p.ulStripeSize));
    details.print(context.out);
    printExtents(context, [&](VDS_DRIVE_EXTENT** e, LONG* n) { return plex->QueryExtents(e, n); },
                 "list the plex's extents");
}

void listPlexRows(DriveFocus& focus, CommandContext& context)
{
    const std::vector<CComPtr<IVdsLunPlex>> plexes = listPlexes(context);
    const ObjectListStyle style{"Plex", "plexes",
                                {{"Size", Align::Right}, {"Type"}, {"Status"}, {"Health"}}};
    printObjectList(context.out, style, plexes, [](IVdsLunPlex* plex) {
        const VDS_LUN_PLEX_PROP p = plexProperties(plex);
        return std::vector<std::string>{sizeText(p.ullSize), plexTypeText(p.type), statusText(p.status),
                                        healthText(p.health)};
    }, focus.plexes.selectedIndex(plexes));
}

void setHotSpare(DriveFocus& focus, CommandContext& context, const CommandArguments& arguments)
{
    const std::string value = arguments.parameter("hotspare").value_or("");
    if (value != "true" && value != "false")
        throw CommandError::syntax("hotspare= takes true or false.");
    CComPtr<IVdsDrive> drive = focus.drives.selected(context);
    if (value == "true") {
        throwIfFailed(drive->SetFlags(VDS_DRF_HOTSPARE), "mark the drive as a hot spare");
        context.out << "The provider marked a hot spare.\n";
        return;
    }
    throwIfFailed(drive->ClearFlags(VDS_DRF_HOTSPARE), "clear the drive's hot-spare mark");
    context.out << "The drive is no hot spare now.\n";
}

void setDriveStatus(DriveFocus& focus, CommandContext& context, VDS_DRIVE_STATUS status)
{
    CComPtr<IVdsDrive> drive = focus.drives.selected(context);
    const bool online = status == VDS_DRS_ONLINE;
    throwIfFailed(drive->SetStatus(status), online ? "bring the drive online" : "take the drive offline");
    context.out << (online ? "The array is bringing the drive online.\n"
                           : "The array is taking the drive offline.\n");
}

// "replace drive=<n>": the selected drive takes the place of drive n.
void replaceDrive(DriveFocus& focus, CommandContext& context, const CommandArguments& arguments)
{
    const std::string text = arguments.parameter("drive").value_or("");
    char* end = nullptr;
    const unsigned long number = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || end == nullptr || *end != '\0')
        throw CommandError::syntax("drive= takes the number of the drive to replace.");
    CComPtr<IVdsDrive> replacement = focus.drives.selected(context);
    CComPtr<IVdsDrive> replaced = focus.drives.numbered(context, number);
    CComPtr<IVdsSubSystem> subsystem = context.session.selectedSubsystem();
    throwIfFailed(subsystem->ReplaceDrive(driveId(replaced.get()), driveId(replacement.get())),
                  "replace drive " + std::to_string(number));
    context.out << "The array is replacing drive " << number << ".\n";
}

}  // namespace

void DriveCommands::addTo(CommandTable& table)
{
    auto focus = std::make_shared<DriveFocus>();
    const Keyword drive{"drive"};
    const ArgumentRules oneNumber{{}, 1};
    table.add({{{"select"}, drive}, "[<n>]", "Selects drive n of the selected subsystem, or shows the selected drive.",
               oneNumber, [focus](CommandContext& c, const CommandArguments& a) { focus->drives.select(c, a); }});
    table.add({{{"select"}, {"plex"}}, "[<n>]", "Selects plex n (as list plexes numbers them), or shows the selected plex.",
               oneNumber, [focus](CommandContext& c, const CommandArguments& a) { focus->plexes.select(c, a); }});
    table.add({{{"detail"}, drive}, "", "Shows the properties and extents of the selected drive.", {},
               [focus](CommandContext& c, const CommandArguments&) { detailDrive(*focus, c); }});
    table.add({{{"detail"}, {"plex"}}, "", "Shows the properties and extents of the selected plex.", {},
               [focus](CommandContext& c, const CommandArguments&) { detailPlex(*focus, c); }});
    table.add({{{"list"}, {"plexes"}}, "", "Lists the plexes of the LUNs of the selected subsystem.", {},
               [focus](CommandContext& c, const CommandArguments&) { listPlexRows(*focus, c); }});
    table.add({{{"setflag"}, drive}, "hotspare=true|false", "Marks the selected drive as a hot spare, or clears the mark.",
               {{{"hotspare", true}}},
               [focus](CommandContext& c, const CommandArguments& a) { setHotSpare(*focus, c, a); }});
    table.add({{{"online"}, drive}, "", "Brings the selected drive back into service.", {},
               [focus](CommandContext& c, const CommandArguments&) { setDriveStatus(*focus, c, VDS_DRS_ONLINE); }});
    table.add({{{"offline"}, drive}, "", "Takes the selected drive out of service.", {},
               [focus](CommandContext& c, const CommandArguments&) { setDriveStatus(*focus, c, VDS_DRS_OFFLINE); }});
    table.add({{{"replace"}}, "drive=<n>", "Replaces drive n with the selected drive.", {{{"drive", true}}},
               [focus](CommandContext& c, const CommandArguments& a) { replaceDrive(*focus, c, a); }});
}

}  // namespace orvraid
