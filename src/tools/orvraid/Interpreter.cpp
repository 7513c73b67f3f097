#include "Interpreter.h"

#include "ArrayCommands.h"
#include "CommandError.h"
#include "CommandTokenizer.h"
#include "ControllerCommands.h"
#include "DetailCommands.h"
#include "JsonOutput.h"
#include "DriveCommands.h"
#include "ListCommands.h"
#include "LunCommands.h"
#include "ProviderCommands.h"
#include "SelectCommands.h"
#include "TargetCommands.h"

#include <new>
#include <ostream>

namespace orvraid {
namespace {

void help(CommandContext& context, const CommandArguments& arguments)
{
    context.table.printHelp(context.out, arguments.values());
}

void exitProgram(CommandContext& context, const CommandArguments&) { context.exitRequested = true; }

void comment(CommandContext&, const CommandArguments&) {}

}  // namespace

Interpreter::Interpreter(Session& session, PasswordSource& passwords, std::ostream& out, std::ostream& err)
    : m_context{session, passwords, m_table, out}, m_err(err)
{
    SelectCommands::addTo(m_table);
    ListCommands::addTo(m_table);
    DetailCommands::addTo(m_table);
    ProviderCommands::addTo(m_table);
    ArrayCommands::addTo(m_table);
    LunCommands::addTo(m_table);
    TargetCommands::addTo(m_table);
    DriveCommands::addTo(m_table);
    ControllerCommands::addTo(m_table);
    addOwnCommands();
}

void Interpreter::addOwnCommands()
{
    const ArgumentRules anyText{{}, 0, true};
    m_table.add({{{"help"}}, "[<command>]", "Shows the commands, or those that start with command.",
                 anyText, help});
    m_table.add({{{"rem"}}, "<comment>", "A comment in a script; does nothing.", anyText, comment});
    m_table.add({{{"exit"}}, "", "Leaves orvraid.", {}, exitProgram});
}

ExitCode Interpreter::execute(std::string_view line)
{
    try {
        std::vector<std::string> words = tokenizeCommand(line);
        if (words.empty())
            return ExitCode::Success;
        const JsonOutput::Scope json(m_context.out, JsonOutput::takeSwitch(words));
        return run(m_table.resolve(words));
    } catch (const CommandError& error) {
        m_err << error.what() << std::endl;
        return error.code();
    } catch (const std::bad_alloc&) {
        m_err << "orvraid: out of memory." << std::endl;
        return ExitCode::Fatal;
    } catch (const std::exception& error) {
        m_err << "orvraid: " << error.what() << std::endl;
        return ExitCode::Fatal;
    }
}

ExitCode Interpreter::run(const ResolvedCommand& command)
{
    const CommandArguments arguments(command.argumentWords, command.row->rules);
    try {
        command.row->handler(m_context, arguments);
    } catch (const CommandError& error) {
        if (error.code() != ExitCode::VdsCallFailed || !arguments.noerr())
            throw;
        m_err << error.what() << " Going on (noerr)." << std::endl;
    }
    m_context.out << std::flush;
    return ExitCode::Success;
}

}  // namespace orvraid
