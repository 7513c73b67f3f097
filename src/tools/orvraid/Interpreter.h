// Runs command lines against a session: resolves each through the command table, runs its
// handler and turns the outcome into an exit status. Messages go to `out`, the reasons of
// failed commands to `err`.
//
// A command that ends with "noerr" and fails in the provider counts as a success, so a
// script goes on past it; a syntax or selection error fails whatever the command says.
#pragma once

#include "CommandContext.h"
#include "CommandRunner.h"
#include "CommandTable.h"
#include "ExitCode.h"

#include <iosfwd>
#include <string_view>

namespace orvraid {

class PasswordSource;
class Session;

class Interpreter final : public CommandRunner {
public:
    Interpreter(Session& session, PasswordSource& passwords, std::ostream& out, std::ostream& err);
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    // Success for blank lines, comments and failures that noerr lets pass.
    ExitCode execute(std::string_view line) override;
    // True once "exit" ran.
    bool exitRequested() const override { return m_context.exitRequested; }

private:
    void addOwnCommands();
    ExitCode run(const ResolvedCommand& command);

    CommandTable m_table;
    CommandContext m_context;
    std::ostream& m_err;
};

}  // namespace orvraid
