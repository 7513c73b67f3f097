#include "TargetCommands.h"

#include "CommandContext.h"
#include "CommandError.h"
#include "CommandTable.h"
#include "DetailList.h"
#include "ObjectList.h"
#include "Session.h"
#include "VdsObjects.h"
#include "VdsProperties.h"
#include "VdsText.h"

#include "platform/com/Guid.h"
#include "platform/com/TaskMemory.h"
#include "platform/com/TextConversion.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <ostream>

namespace orvraid {
namespace {

// A kind of object that the administrator selects by its number in a list: how to name it
// and how to enumerate the objects that number it. The pattern of select and of the
// commands that need a selection, written once for every kind.
template <class Interface>
struct FocusKind {
    VDS_OBJECT_TYPE type;
    std::string noun;     // "Target": "Target 0 is now the selected target."
    std::string word;     // "target": "select target <n>"
    const IID& iid;
    std::function<std::vector<CComPtr<Interface>>(CommandContext&)> members;
};

CComPtr<IUnknown> identityOf(IUnknown* object)
{
    CComPtr<IUnknown> identity;
    throwIfFailed(object->QueryInterface(IID_IUnknown, identity.put_void()), "identify an object");
    return identity;
}

template <class Interface>
std::optional<std::size_t> positionOf(IUnknown* identity, const std::vector<CComPtr<Interface>>& members)
{
    if (identity == nullptr)
        return std::nullopt;
    for (std::size_t i = 0; i < members.size(); ++i) {
        if (identityOf(members[i].get()).get() == identity)
            return i;
    }
    return std::nullopt;
}

template <class Interface>
CComPtr<Interface> selectedOf(CommandContext& context, const FocusKind<Interface>& kind)
{
    CComPtr<IUnknown> identity = context.session.selectedObject(kind.type);
    if (!identity)
        throw CommandError::selection("There is no selected " + kind.word + ". Select one with: select " +
                                      kind.word + " <n>");
    const std::vector<CComPtr<Interface>> members = kind.members(context);
    const std::optional<std::size_t> index = positionOf(identity.get(), members);
    if (!index) {
        context.session.clearObject(kind.type);
        throw CommandError::selection("The selected " + kind.word + " is gone; select another one.");
    }
    return members[*index];
}

template <class Interface>
void selectFocus(CommandContext& context, const CommandArguments& arguments, const FocusKind<Interface>& kind)
{
    const std::optional<unsigned long> number = arguments.numberValue();
    const std::vector<CComPtr<Interface>> members = kind.members(context);
    if (!number) {
        const auto index = positionOf(context.session.selectedObject(kind.type).get(), members);
        if (index)
            context.out << kind.noun << " " << *index << " is the selected " << kind.word << ".\n";
        else
            context.out << "There is no selected " << kind.word << ".\n";
        return;
    }
    if (*number >= members.size()) {
        context.session.clearObject(kind.type);
        throw CommandError::selection("There is no " + kind.word + " " + std::to_string(*number) + "; no " +
                                      kind.word + " is selected now.");
    }
    context.session.selectObject(kind.type, identityOf(members[*number].get()));
    context.out << kind.noun << " " << *number << " is now the selected " << kind.word << ".\n";
}

CComPtr<IVdsSubSystemIscsi> iscsiOf(CommandContext& context)
{
    CComPtr<IVdsSubSystem> subsystem = context.session.selectedSubsystem();
    CComPtr<IVdsSubSystemIscsi> iscsi;
    throwIfFailed(subsystem.QueryInterface(iscsi.put()), "reach the subsystem's iSCSI side");
    return iscsi;
}

std::vector<CComPtr<IVdsLun>> subsystemLuns(CommandContext& context)
{
    CComPtr<IVdsSubSystem> subsystem = context.session.selectedSubsystem();
    return queryObjects<IVdsLun>([&](IEnumVdsObject** e) { return subsystem->QueryLuns(e); }, "list the LUNs");
}

std::vector<CComPtr<IVdsIscsiTarget>> subsystemTargets(CommandContext& context)
{
    CComPtr<IVdsSubSystemIscsi> iscsi = iscsiOf(context);
    return queryObjects<IVdsIscsiTarget>([&](IEnumVdsObject** e) { return iscsi->QueryTargets(e); },
                                         "list the targets");
}

std::vector<CComPtr<IVdsIscsiPortal>> subsystemPortals(CommandContext& context)
{
    CComPtr<IVdsSubSystemIscsi> iscsi = iscsiOf(context);
    return queryObjects<IVdsIscsiPortal>([&](IEnumVdsObject** e) { return iscsi->QueryPortals(e); },
                                         "list the target portals");
}

const FocusKind<IVdsIscsiTarget>& targetKind()
{
    static const FocusKind<IVdsIscsiTarget> kind{VDS_OT_TARGET, "Target", "target", IID_IVdsIscsiTarget,
                                                 subsystemTargets};
    return kind;
}

const FocusKind<IVdsIscsiPortal>& portalKind()
{
    static const FocusKind<IVdsIscsiPortal> kind{VDS_OT_PORTAL, "TPortal", "portal", IID_IVdsIscsiPortal,
                                                 subsystemPortals};
    return kind;
}

std::vector<CComPtr<IVdsIscsiPortalGroup>> targetPortalGroups(CommandContext& context)
{
    CComPtr<IVdsIscsiTarget> target = selectedOf(context, targetKind());
    return queryObjects<IVdsIscsiPortalGroup>([&](IEnumVdsObject** e) { return target->QueryPortalGroups(e); },
                                              "list the target's portal groups");
}

const FocusKind<IVdsIscsiPortalGroup>& portalGroupKind()
{
    static const FocusKind<IVdsIscsiPortalGroup> kind{VDS_OT_PORTAL_GROUP, "Portal Group", "portalgroup",
                                                      IID_IVdsIscsiPortalGroup, targetPortalGroups};
    return kind;
}

VDS_ISCSI_PORTALGROUP_PROP portalGroupProperties(IVdsIscsiPortalGroup* group)
{
    VDS_ISCSI_PORTALGROUP_PROP prop{};
    throwIfFailed(group->GetProperties(&prop), "read a portal group's properties");
    return prop;
}

// "LUN 0, LUN 2": the objects of `found` by their numbers in `numbering`.
template <class Interface>
std::string numberedText(const std::string& noun, const std::vector<CComPtr<Interface>>& found,
                         const std::vector<CComPtr<Interface>>& numbering)
{
    std::string text;
    for (const auto& object : found) {
        const auto index = positionOf(identityOf(object.get()).get(), numbering);
        text += (text.empty() ? "" : ", ") + noun + " " + (index ? std::to_string(*index) : "?");
    }
    return text.empty() ? "none" : text;
}

// ---- list, detail ----------------------------------------------------------------------------

void listPortalGroups(CommandContext& context, const CommandArguments&)
{
    const auto groups = targetPortalGroups(context);
    const ObjectListStyle style{"Portal Group", "portal groups", {{"Tag", TextTable::Align::Right}}};
    printObjectList(context.out, style, groups, [](IVdsIscsiPortalGroup* group) {
        return std::vector<std::string>{std::to_string(portalGroupProperties(group).tag)};
    }, positionOf(context.session.selectedObject(VDS_OT_PORTAL_GROUP).get(), groups));
}

std::string connectedInitiatorsText(IVdsIscsiTarget* target)
{
    LPWSTR* names = nullptr;
    LONG count = 0;
    throwIfFailed(target->GetConnectedInitiators(&names, &count), "read the target's connected initiators");
    std::string text;
    for (LONG i = 0; i < count; ++i) {
        text += (text.empty() ? "" : ", ") + orv::platform::Utf16ToUtf8(names[i]);
        CoTaskMemFree(names[i]);
    }
    CoTaskMemFree(names);
    return text.empty() ? "none" : text;
}

void detailTarget(CommandContext& context, const CommandArguments&)
{
    CComPtr<IVdsIscsiTarget> target = selectedOf(context, targetKind());
    const TargetProperties p = readProperties(target.get());
    const auto luns = queryObjects<IVdsLun>([&](IEnumVdsObject** e) { return target->QueryAssociatedLuns(e); },
                                            "list the target's LUNs");
    DetailList details;
    details.add("Name", p.name);
    details.add("iSCSI Name", p.iscsiName);
    details.add("CHAP", p.chapEnabled ? "Enabled" : "Disabled");
    details.add("LUNs", numberedText("LUN", luns, subsystemLuns(context)));
    details.add("Portal groups", std::to_string(targetPortalGroups(context).size()));
    details.add("Connected initiators", connectedInitiatorsText(target.get()));
    details.print(context.out);
}

void detailPortal(CommandContext& context, const CommandArguments&)
{
    CComPtr<IVdsIscsiPortal> portal = selectedOf(context, portalKind());
    const PortalProperties p = readProperties(portal.get());
    const auto groups = queryObjects<IVdsIscsiPortalGroup>(
        [&](IEnumVdsObject** e) { return portal->QueryAssociatedPortalGroups(e); }, "list the portal's groups");
    DetailList details;
    details.add("Address", p.address);
    details.add("Port", std::to_string(p.port));
    details.add("Status", statusText(p.status));
    details.add("Portal groups", std::to_string(groups.size()));
    details.print(context.out);
}

void detailPortalGroup(CommandContext& context, const CommandArguments&)
{
    CComPtr<IVdsIscsiPortalGroup> group = selectedOf(context, portalGroupKind());
    const VDS_ISCSI_PORTALGROUP_PROP prop = portalGroupProperties(group.get());
    const auto portals = queryObjects<IVdsIscsiPortal>(
        [&](IEnumVdsObject** e) { return group->QueryAssociatedPortals(e); }, "list the group's portals");
    std::string addresses;
    for (const auto& portal : portals) {
        const PortalProperties p = readProperties(portal.get());
        addresses += (addresses.empty() ? "" : ", ") + p.address + ":" + std::to_string(p.port);
    }
    DetailList details;
    details.add("Id", GuidToString(prop.id));
    details.add("Tag", std::to_string(prop.tag));
    details.add("Portals", addresses.empty() ? "none" : addresses);
    details.print(context.out);
}

// ---- unmask --------------------------------------------------------------------------------

std::vector<std::string> splitList(const std::string& list)
{
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= list.size() && !list.empty()) {
        const std::size_t end = list.find(';', start);
        names.push_back(list.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return names;
}

// The unmasking list the command asks for: "*" for all, "" for none, the given names, or
// with "add" the LUN's present list followed by the given names it lacks.
std::string requestedList(const CommandArguments& arguments, IVdsLun* lun)
{
    const std::string usage = "Say which hosts: unmask lun all | none | [add] initiator=<iqn>[;<iqn>...]";
    const std::optional<std::string> initiators = arguments.parameter("initiator");
    const std::string word = arguments.values().empty() ? "" : toLower(arguments.values().front());
    if (word == "all" || word == "none") {
        if (initiators)
            throw CommandError::syntax("\"" + word + "\" takes no initiators. " + usage);
        return word == "all" ? "*" : "";
    }
    if (!initiators || (!word.empty() && word != "add"))
        throw CommandError::syntax(usage);
    if (word.empty())
        return *initiators;
    std::vector<std::string> names = splitList(readProperties(lun).unmaskingList);
    for (const std::string& name : splitList(*initiators)) {
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    std::string joined;
    for (const std::string& name : names)
        joined += (joined.empty() ? "" : ";") + name;
    return joined;
}

void unmaskLun(CommandContext& context, const CommandArguments& arguments)
{
    CComPtr<IVdsLun> lun = context.session.selectedLun();
    const std::string list = requestedList(arguments, lun.get());
    std::u16string wide = orv::platform::Utf8ToUtf16(list);
    throwIfFailed(lun->SetMask(wide.data()), "change which hosts see the LUN");
    if (list.empty())
        context.out << "No host sees the LUN now.\n";
    else
        context.out << "The LUN is now unmasked to: " << list << "\n";
}

// ---- chap ------------------------------------------------------------------------------------

// A secret as VDS takes it: the bytes of the text, without a terminator. The text stays the
// caller's.
VDS_ISCSI_SHARED_SECRET secretRecord(std::string& secret)
{
    return VDS_ISCSI_SHARED_SECRET{reinterpret_cast<UCHAR*>(secret.data()), static_cast<ULONG>(secret.size())};
}

void chapTargetSet(CommandContext& context, const CommandArguments& arguments)
{
    CComPtr<IVdsIscsiTarget> target = selectedOf(context, targetKind());
    std::string secret = arguments.parameter("secret").value_or("");
    VDS_ISCSI_SHARED_SECRET record = secretRecord(secret);
    std::u16string initiator = orv::platform::Utf8ToUtf16(arguments.parameter("initiator").value_or(""));
    throwIfFailed(target->SetSharedSecret(&record, initiator.empty() ? nullptr : initiator.data()),
                  "set the target's CHAP secret");
    context.out << (secret.empty() ? "CHAP is now off for the target.\n" : "The target's CHAP secret is set.\n");
}

void chapTargetRemember(CommandContext& context, const CommandArguments& arguments)
{
    CComPtr<IVdsIscsiTarget> target = selectedOf(context, targetKind());
    std::string secret = arguments.parameter("secret").value_or("");
    VDS_ISCSI_SHARED_SECRET record = secretRecord(secret);
    const std::string name = arguments.parameter("initiator").value_or("");
    std::u16string initiator = orv::platform::Utf8ToUtf16(name);
    throwIfFailed(target->RememberInitiatorSharedSecret(initiator.data(), &record),
                  "give the target the initiator's CHAP secret");
    context.out << "The target now knows the CHAP secret of " << name << ".\n";
}

// Initiator secrets belong to the local iSCSI initiator service, which this host does not
// run; saying so is better than pretending the secret was kept.
void chapInitiator(CommandContext&, const CommandArguments&)
{
    throw CommandError(ExitCode::VdsCallFailed,
                       "This host runs no local iSCSI initiator service, so there is no initiator here to "
                       "keep a CHAP secret. Set it on the initiator's own host; a target learns an "
                       "initiator's secret with: chap target remember secret=<secret> initiator=<iqn>");
}

}  // namespace

std::vector<std::string> associatedTargetLines(Session& session, IVdsLun* lun)
{
    CComPtr<IVdsLunIscsi> iscsi;
    throwIfFailed(CComPtr<IVdsLun>(lun).QueryInterface(iscsi.put()), "reach the LUN's iSCSI side");
    const auto targets = queryObjects<IVdsIscsiTarget>(
        [&](IEnumVdsObject** e) { return iscsi->QueryAssociatedTargets(e); }, "list the LUN's targets");
    CComPtr<IVdsSubSystem> subsystem = session.selectedSubsystem();
    CComPtr<IVdsSubSystemIscsi> subsystemIscsi;
    throwIfFailed(subsystem.QueryInterface(subsystemIscsi.put()), "reach the subsystem's iSCSI side");
    const auto all = queryObjects<IVdsIscsiTarget>(
        [&](IEnumVdsObject** e) { return subsystemIscsi->QueryTargets(e); }, "list the targets");
    std::vector<std::string> lines;
    for (const auto& target : targets) {
        const auto index = positionOf(identityOf(target.get()).get(), all);
        lines.push_back("Target " + (index ? std::to_string(*index) : std::string("?")) + "  " +
                        readProperties(target.get()).iscsiName);
    }
    return lines;
}

void TargetCommands::addTo(CommandTable& table)
{
    const Keyword select{"select"};
    const Keyword detail{"detail"};
    const Keyword chap{"chap"};
    const Keyword target{"target"};
    const Keyword initiator{"initiator"};
    const ArgumentRules oneNumber{{}, 1};
    table.add({{Keyword{"list"}, {"portalgroups"}}, "", "Lists the portal groups of the selected target.", {},
               listPortalGroups});
    table.add({{select, target}, "[<n>]", "Selects target n of the selected subsystem, or shows the selected one.",
               oneNumber, [](CommandContext& c, const CommandArguments& a) { selectFocus(c, a, targetKind()); }});
    table.add({{select, {"portal", "tportal"}}, "[<n>]",
               "Selects target portal n of the selected subsystem, or shows the selected one.", oneNumber,
               [](CommandContext& c, const CommandArguments& a) { selectFocus(c, a, portalKind()); }});
    table.add({{select, {"portalgroup"}}, "[<n>]",
               "Selects portal group n of the selected target, or shows the selected one.", oneNumber,
               [](CommandContext& c, const CommandArguments& a) { selectFocus(c, a, portalGroupKind()); }});
    table.add({{detail, target}, "", "Shows the selected target: names, CHAP, LUNs, connected initiators.", {},
               detailTarget});
    table.add({{detail, {"portal", "tportal"}}, "", "Shows the selected target portal.", {}, detailPortal});
    table.add({{detail, {"portalgroup"}}, "", "Shows the selected portal group and its portals.", {},
               detailPortalGroup});
    table.add({{Keyword{"unmask"}, {"lun"}}, "all | none | [add] initiator=<iqn>[;<iqn>...]",
               "Sets which iSCSI initiators see the selected LUN.", {{{"initiator"}}, 1}, unmaskLun});
    table.add({{chap, target, {"set"}}, "secret=<secret> [initiator=<iqn>]",
               "Sets the selected target's CHAP secret; an empty secret turns CHAP off.",
               {{{"secret", true}, {"initiator"}}, 0}, chapTargetSet});
    table.add({{chap, target, {"remember"}}, "secret=<secret> initiator=<iqn>",
               "Gives the selected target an initiator's CHAP secret (mutual CHAP).",
               {{{"secret", true}, {"initiator", true}}, 0}, chapTargetRemember});
    table.add({{chap, initiator, {"set"}}, "secret=<secret>", "Sets the local initiator's CHAP secret.",
               {{{"secret"}}, 0}, chapInitiator});
    table.add({{chap, initiator, {"remember"}}, "secret=<secret> target=<iqn>",
               "Gives the local initiator a target's CHAP secret.", {{{"secret"}, {"target"}}, 0}, chapInitiator});
}

}  // namespace orvraid
