#include "DetailCommands.h"

#include "CommandContext.h"
#include "CommandError.h"
#include "CommandTable.h"
#include "DetailList.h"
#include "LunCommands.h"
#include "Session.h"
#include "SizeText.h"
#include "VdsProperties.h"
#include "VdsText.h"

#include "platform/com/Guid.h"

#include <ostream>

namespace orvraid {
namespace {

void requireProvider(const Session& session)
{
    if (!session.providerSelected())
        throw CommandError::selection("There is no selected provider. Select one with: select provider <n>");
}

void detailProvider(CommandContext& context, const CommandArguments&)
{
    requireProvider(context.session);
    const ProviderProperties p = readProperties(context.session.provider());
    DetailList details;
    details.add("Name", p.name);
    details.add("Id", GuidToString(p.id));
    details.add("Version", p.version);
    details.add("Type", providerTypeText(p.type));
    details.print(context.out);
}

void detailSubsystem(CommandContext& context, const CommandArguments&)
{
    CComPtr<IVdsSubSystem> subsystem = context.session.selectedSubsystem();
    const SubsystemProperties p = readProperties(subsystem.get());
    DetailList details;
    details.add("Name", p.name);
    details.add("Id", GuidToString(p.id));
    details.add("Identification", p.identification);
    details.add("Status", statusText(p.status));
    details.add("Health", healthText(p.health));
    details.add("Internal buses", std::to_string(p.internalBuses));
    details.add("Slots on each bus", std::to_string(p.slotsEachBus));
    details.add("Controllers at most", std::to_string(p.controllers));
    details.add("Rebuild priority", std::to_string(p.rebuildPriority));
    details.add("Supports", subsystemFlagsText(p.flags));
    const std::optional<std::uint64_t> largest = LunCommands::largestNewLun(subsystem.get());
    details.add("Largest new LUN", largest ? std::to_string(*largest) + " bytes (" + sizeText(*largest) + ")"
                                           : "unknown");
    details.print(context.out);
}

}  // namespace

void DetailCommands::addTo(CommandTable& table)
{
    const Keyword detail{"detail"};
    table.add({{detail, {"provider"}}, "", "Shows the properties of the selected provider.", {}, detailProvider});
    table.add({{detail, {"subsystem"}}, "", "Shows the properties of the selected subsystem.", {}, detailSubsystem});
}

}  // namespace orvraid
