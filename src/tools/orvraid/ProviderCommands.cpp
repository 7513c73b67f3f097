#include "ProviderCommands.h"

#include "CommandContext.h"
#include "CommandError.h"
#include "CommandTable.h"
#include "Session.h"

#include <ostream>

namespace orvraid {
namespace {

CComPtr<IVdsHwProvider> selectedHardwareProvider(const Session& session)
{
    if (!session.providerSelected())
        throw CommandError::selection("There is no selected provider. Select one with: select provider <n>");
    return session.hardwareProvider();
}

void reenumerateSubsystems(CommandContext& context, const CommandArguments&)
{
    CComPtr<IVdsHwProvider> hardware = selectedHardwareProvider(context.session);
    throwIfFailed(hardware->Reenumerate(), "look for new subsystems");
    context.out << "The provider looked for new and removed subsystems.\n";
}

void reenumerateDrives(CommandContext& context, const CommandArguments&)
{
    CComPtr<IVdsSubSystem> subsystem = context.session.selectedSubsystem();
    throwIfFailed(subsystem->Reenumerate(), "look for new drives");
    context.out << "The subsystem looked for new and removed drives.\n";
}

void refreshProvider(CommandContext& context, const CommandArguments&)
{
    CComPtr<IVdsHwProvider> hardware = selectedHardwareProvider(context.session);
    throwIfFailed(hardware->Refresh(), "refresh the provider");
    context.out << "The provider refreshed its data.\n";
}

}  // namespace

void ProviderCommands::addTo(CommandTable& table)
{
    const Keyword reenumerate{"reenumerate"};
    table.add({{reenumerate, {"subsystems"}}, "", "Makes the selected provider look for new subsystems.",
               {}, reenumerateSubsystems});
    table.add({{reenumerate, {"drives"}}, "", "Makes the selected subsystem look for new drives.", {},
               reenumerateDrives});
    table.add({{{"refresh"}, {"provider"}}, "", "Makes the selected provider refresh its data.", {},
               refreshProvider});
}

}  // namespace orvraid
