#include "LunCommands.h"

#include "TargetCommands.h"

#include "CommandContext.h"
#include "CommandError.h"
#include "CommandTable.h"
#include "DetailList.h"
#include "Session.h"
#include "SizeText.h"
#include "VdsObjects.h"
#include "VdsProperties.h"
#include "VdsText.h"

#include "platform/com/Guid.h"
#include "platform/com/TaskMemory.h"
#include "platform/com/TextConversion.h"

#include <unistd.h>

#include <cctype>
#include <chrono>
#include <iostream>
#include <limits>
#include <thread>

namespace orvraid {
namespace {

constexpr std::uint64_t kKiB = 1024;
// How often a running job's progress is looked at.
constexpr std::chrono::milliseconds kProgressInterval{200};

struct SizeUnit {
    const char* suffix;
    std::uint64_t bytes;
};

constexpr SizeUnit kSizeUnits[] = {
    {"KB", kKiB}, {"MB", kKiB * kKiB}, {"GB", kKiB * kKiB * kKiB}, {"TB", kKiB * kKiB * kKiB * kKiB}};

std::uint64_t unitBytes(const std::string& suffix, const std::string& text)
{
    if (suffix.empty())
        return kKiB * kKiB;
    for (const SizeUnit& unit : kSizeUnits) {
        if (equalsIgnoringCase(suffix, unit.suffix))
            return unit.bytes;
    }
    throw CommandError::syntax("\"" + text + "\" is not a size; give a number of megabytes, "
                               "or a number followed by KB, MB, GB or TB.");
}

bool toStandardOutput(const std::ostream& out)
{
    return &out == &std::cout && ::isatty(STDOUT_FILENO) != 0;
}

// The drives of the selected subsystem that "drives=<n>,<n>" numbers, as VDS ids.
std::vector<VDS_OBJECT_ID> driveIds(IVdsSubSystem* subsystem, const std::string& list)
{
    const auto drives = queryObjects<IVdsDrive>(
        [&](IEnumVdsObject** e) { return subsystem->QueryDrives(e); }, "list the drives");
    std::vector<VDS_OBJECT_ID> ids;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(',', start), list.size());
        const std::string word = list.substr(start, end - start);
        std::size_t used = 0;
        unsigned long number = 0;
        try {
            number = std::stoul(word, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used == 0 || used != word.size() || number >= drives.size())
            throw CommandError::syntax("\"" + word + "\" is not the number of a drive; see list drives.");
        VDS_DRIVE_PROP prop{};
        throwIfFailed(drives[number]->GetProperties(&prop), "read a drive's properties");
        CoTaskMemFree(prop.pwszFriendlyName);
        CoTaskMemFree(prop.pwszIdentification);
        ids.push_back(prop.id);
        start = end + 1;
    }
    return ids;
}

std::vector<VDS_OBJECT_ID> drivesParameter(IVdsSubSystem* subsystem, const CommandArguments& arguments)
{
    const std::optional<std::string> drives = arguments.parameter("drives");
    return drives ? driveIds(subsystem, *drives) : std::vector<VDS_OBJECT_ID>{};
}

HRESULT finish(CommandContext& context, IVdsAsync* async, VDS_ASYNC_OUTPUT& output)
{
    return LunCommands::waitShowingProgress(async, context.out, toStandardOutput(context.out), output);
}

void selectLun(CommandContext& context, const CommandArguments& arguments)
{
    Session& session = context.session;
    const std::optional<unsigned long> number = arguments.numberValue();
    const std::vector<CComPtr<IVdsLun>> luns = session.luns();
    if (!number) {
        const std::optional<std::size_t> selected = session.selectedLunIndex(luns);
        if (selected)
            context.out << "LUN " << *selected << " is the selected LUN.\n";
        else
            context.out << "There is no selected LUN.\n";
        return;
    }
    if (*number >= luns.size()) {
        session.clearLun();
        throw CommandError::selection("There is no LUN " + std::to_string(*number) +
                                      "; no LUN is selected now.");
    }
    session.selectLun(readProperties(luns[*number].get()).id);
    context.out << "LUN " << *number << " is now the selected LUN.\n";
}

void createLun(CommandContext& context, const CommandArguments& arguments, VDS_LUN_TYPE type)
{
    CComPtr<IVdsSubSystem> subsystem = context.session.selectedSubsystem();
    const std::uint64_t size = LunCommands::parseSize(*arguments.parameter("size"));
    std::vector<VDS_OBJECT_ID> drives = drivesParameter(subsystem.get(), arguments);
    VDS_HINTS hints{};
    if (const std::optional<std::string> stripe = arguments.parameter("stripesize")) {
        const std::uint64_t stripeBytes = LunCommands::parseSize(*stripe);
        if (stripeBytes > std::numeric_limits<ULONG>::max())
            throw CommandError::syntax("The stripe size " + *stripe + " is too large.");
        hints.ulStripeSize = static_cast<ULONG>(stripeBytes);
    }
    // A new LUN is seen by no initiator until it is unmasked.
    std::u16string nobody;
    CComPtr<IVdsAsync> async;
    throwIfFailed(subsystem->CreateLun(type, size, drives.empty() ? nullptr : drives.data(),
                                       static_cast<LONG>(drives.size()), nobody.data(), &hints,
                                       async.put()),
                  "create the LUN");
    VDS_ASYNC_OUTPUT output{};
    throwIfFailed(finish(context, async.get(), output), "create the LUN");
    CComPtr<IUnknown> created;
    created.Attach(output.cl.pLunUnk);
    CComPtr<IVdsLun> lun;
    throwIfFailed(created ? created.QueryInterface(lun.put()) : E_POINTER, "reach the new LUN");
    context.session.selectLun(readProperties(lun.get()).id);
    context.out << "The new LUN is created and is now the selected LUN.\n";
}

void extendLun(CommandContext& context, const CommandArguments& arguments)
{
    CComPtr<IVdsSubSystem> subsystem = context.session.selectedSubsystem();
    CComPtr<IVdsLun> lun = context.session.selectedLun();
    const std::uint64_t size = LunCommands::parseSize(*arguments.parameter("size"));
    std::vector<VDS_OBJECT_ID> drives = drivesParameter(subsystem.get(), arguments);
    CComPtr<IVdsAsync> async;
    throwIfFailed(lun->Extend(size, drives.empty() ? nullptr : drives.data(),
                              static_cast<LONG>(drives.size()), async.put()),
                  "extend the LUN");
    VDS_ASYNC_OUTPUT output{};
    throwIfFailed(finish(context, async.get(), output), "extend the LUN");
    context.out << "The LUN is extended by " << sizeText(size) << ".\n";
}

void shrinkLun(CommandContext& context, const CommandArguments& arguments)
{
    CComPtr<IVdsLun> lun = context.session.selectedLun();
    const std::uint64_t size = LunCommands::parseSize(*arguments.parameter("size"));
    CComPtr<IVdsAsync> async;
    throwIfFailed(lun->Shrink(size, async.put()), "shrink the LUN");
    VDS_ASYNC_OUTPUT output{};
    throwIfFailed(finish(context, async.get(), output), "shrink the LUN");
    context.out << "The LUN is shrunk by " << sizeText(size) << ".\n";
}

void deleteLun(CommandContext& context, const CommandArguments&)
{
    CComPtr<IVdsLun> lun = context.session.selectedLun();
    throwIfFailed(lun->Delete(), "delete the LUN");
    context.session.clearLun();
    context.out << "The LUN is deleted; no LUN is selected now.\n";
}

void nameLun(CommandContext& context, const CommandArguments& arguments)
{
    CComPtr<IVdsLun> lun = context.session.selectedLun();
    std::string name;
    for (const std::string& word : arguments.values())
        name += (name.empty() ? "" : " ") + word;
    if (name.empty())
        throw CommandError::syntax("Give the LUN's new name: name lun <name>");
    CComPtr<IVdsLunNaming> naming;
    throwIfFailed(lun.QueryInterface(naming.put()), "rename the LUN");
    std::u16string wide = orv::platform::Utf8ToUtf16(name);
    throwIfFailed(naming->SetFriendlyName(wide.data()), "rename the LUN");
    context.out << "The LUN is now named " << name << ".\n";
}

std::string exactSizeText(std::uint64_t bytes)
{
    return std::to_string(bytes) + " bytes (" + sizeText(bytes) + ")";
}

void detailLun(CommandContext& context, const CommandArguments&)
{
    CComPtr<IVdsLun> lun = context.session.selectedLun();
    const LunProperties p = readProperties(lun.get());
    DetailList details;
    details.add("Name", p.name);
    details.add("Id", GuidToString(p.id));
    details.add("Identification", p.identification);
    details.add("Size", exactSizeText(p.size));
    details.add("Type", lunTypeText(p.type));
    details.add("Status", statusText(p.status));
    details.add("Health", healthText(p.health));
    details.add("Unmasked for", p.unmaskingList.empty() ? "no initiator" : p.unmaskingList);
    std::string targets;
    for (const std::string& line : associatedTargetLines(context.session, lun.get()))
        targets += (targets.empty() ? "" : "; ") + line;
    details.add("Associated targets", targets.empty() ? "none" : targets);
    details.print(context.out);
}

}  // namespace

std::uint64_t LunCommands::parseSize(const std::string& text)
{
    std::size_t digits = 0;
    while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits])) != 0)
        ++digits;
    const std::uint64_t unit = unitBytes(text.substr(digits), text);
    std::uint64_t number = 0;
    try {
        number = digits == 0 ? 0 : std::stoull(text.substr(0, digits));
    } catch (const std::out_of_range&) {
        number = std::numeric_limits<std::uint64_t>::max();
    }
    if (number == 0 || number > std::numeric_limits<std::uint64_t>::max() / unit)
        throw CommandError::syntax("\"" + text + "\" is not a size the subsystem could give.");
    return number * unit;
}

std::optional<std::uint64_t> LunCommands::largestNewLun(IVdsSubSystem* subsystem)
{
    VDS_HINTS hints{};
    ULONGLONG size = 0;
    if (FAILED(subsystem->QueryMaxLunCreateSize(VDS_LT_SIMPLE, nullptr, 0, &hints, &size)))
        return std::nullopt;
    return size;
}

HRESULT LunCommands::waitShowingProgress(IVdsAsync* async, std::ostream& out, bool terminal,
                                         VDS_ASYNC_OUTPUT& output)
{
    std::optional<ULONG> shown;
    for (;;) {
        HRESULT outcome = S_OK;
        ULONG percent = 100;
        const HRESULT hr = async->QueryStatus(&outcome, &percent);
        if (FAILED(hr))
            return hr;
        if (percent >= 100 || FAILED(outcome))
            break;
        if (shown != percent) {
            shown = percent;
            // A terminal keeps one line that counts up; a file or pipe gets one line each.
            out << (terminal ? "\r" : "") << percent << " percent done" << (terminal ? "" : "\n")
                << std::flush;
        }
        std::this_thread::sleep_for(kProgressInterval);
    }
    if (shown)
        out << (terminal ? "\r" : "") << "100 percent done\n";
    HRESULT outcome = E_FAIL;
    const HRESULT hr = async->Wait(&outcome, &output);
    return FAILED(hr) ? hr : outcome;
}

void LunCommands::addTo(CommandTable& table)
{
    const Keyword lun{"lun"};
    const ArgumentRules creation{{{"size", true}, {"drives"}, {"stripesize"}}, 0};
    const std::string creationSyntax = "size=<n> [drives=<n>,...] [stripesize=<n>]";
    const struct {
        const char* keyword;
        VDS_LUN_TYPE type;
        const char* summary;
    } kinds[] = {
        {"simple", VDS_LT_SIMPLE, "Creates a simple LUN on one or more drives and selects it."},
        {"stripe", VDS_LT_STRIPE, "Creates a striped LUN and selects it."},
        {"raid", VDS_LT_PARITY, "Creates a LUN striped with parity and selects it."},
        {"mirror", VDS_LT_MIRROR, "Creates a mirrored LUN and selects it."},
    };
    for (const auto& kind : kinds) {
        const VDS_LUN_TYPE type = kind.type;
        table.add({{{"create"}, lun, {kind.keyword}}, creationSyntax, kind.summary, creation,
                   [type](CommandContext& context, const CommandArguments& arguments) {
                       createLun(context, arguments, type);
                   }});
    }
    table.add({{{"select"}, lun}, "[<n>]", "Selects LUN n of the selected subsystem, or shows the selected LUN.",
               {{}, 1}, selectLun});
    table.add({{{"extend"}, lun}, "size=<n> [drives=<n>,...]", "Adds size to the selected LUN.",
               {{{"size", true}, {"drives"}}, 0}, extendLun});
    table.add({{{"shrink"}, lun}, "size=<n>", "Takes size off the selected LUN.", {{{"size", true}}, 0},
               shrinkLun});
    table.add({{{"delete"}, lun}, "", "Deletes the selected LUN and everything on it.", {}, deleteLun});
    table.add({{{"name"}, lun}, "<name>", "Renames the selected LUN.", {{}, 16}, nameLun});
    table.add({{{"detail"}, lun}, "", "Shows the properties of the selected LUN.", {}, detailLun});
}

}  // namespace orvraid
