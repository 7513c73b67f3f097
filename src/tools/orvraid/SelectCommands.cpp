#include "SelectCommands.h"

#include "CommandContext.h"
#include "CommandError.h"
#include "CommandTable.h"
#include "Session.h"
#include "VdsProperties.h"

#include <ostream>

namespace orvraid {
namespace {

void selectProvider(CommandContext& context, const CommandArguments& arguments)
{
    Session& session = context.session;
    const std::optional<unsigned long> number = arguments.numberValue();
    if (!number) {
        context.out << (session.providerSelected() ? "Provider 0 is the selected provider.\n"
                                                   : "There is no selected provider.\n");
        return;
    }
    // One provider is loaded: the one this program attached to.
    if (*number != 0) {
        session.selectProvider(false);
        throw CommandError::selection("There is no provider " + std::to_string(*number) +
                                      "; no provider is selected now.");
    }
    session.selectProvider(true);
    context.out << "Provider 0 is now the selected provider.\n";
}

void selectSubsystem(CommandContext& context, const CommandArguments& arguments)
{
    Session& session = context.session;
    const std::optional<unsigned long> number = arguments.numberValue();
    const std::vector<CComPtr<IVdsSubSystem>> subsystems = session.subsystems();
    if (!number) {
        const std::optional<std::size_t> selected = session.selectedIndex(subsystems);
        if (selected)
            context.out << "Subsystem " << *selected << " is the selected subsystem.\n";
        else
            context.out << "There is no selected subsystem.\n";
        return;
    }
    if (*number >= subsystems.size()) {
        session.clearSubsystem();
        throw CommandError::selection("There is no subsystem " + std::to_string(*number) +
                                      "; no subsystem is selected now.");
    }
    session.selectSubsystem(readProperties(subsystems[*number].get()).id);
    context.out << "Subsystem " << *number << " is now the selected subsystem.\n";
}

}  // namespace

void SelectCommands::addTo(CommandTable& table)
{
    const Keyword select{"select"};
    const ArgumentRules oneNumber{{}, 1};
    table.add({{select, {"provider"}}, "[<n>]", "Selects provider n, or shows the selected provider.",
               oneNumber, selectProvider});
    table.add({{select, {"subsystem"}}, "[<n>]",
               "Selects subsystem n (and its provider), or shows the selected subsystem.", oneNumber,
               selectSubsystem});
}

}  // namespace orvraid
