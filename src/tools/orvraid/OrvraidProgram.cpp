#include "OrvraidProgram.h"

#include "CommandError.h"
#include "ExitCode.h"
#include "HresultText.h"
#include "InProcessAttachment.h"
#include "InteractiveShell.h"
#include "Interpreter.h"
#include "OrvraidCommandLine.h"
#include "PasswordSource.h"
#include "ScriptRunner.h"
#include "Session.h"

#include "platform/registry/Registry.h"

#include <unistd.h>

#include <fstream>
#include <iostream>
#include <memory>

namespace orvraid {
namespace {

bool openRegistry()
{
    using orv::platform::Registry;
    const std::filesystem::path path = Registry::defaultPath();
    std::shared_ptr<Registry> registry;
    const LSTATUS status = Registry::open(path, registry);
    if (status != ERROR_SUCCESS) {
        std::cerr << "orvraid: cannot open the registry " << path.string() << ": "
                  << Registry::describeOpenFailure(path, status) << ".\n";
        return false;
    }
    Registry::setProcessRegistry(std::move(registry));
    return true;
}

std::unique_ptr<InProcessAttachment> attach(const ProviderClass& providerClass)
{
    if (providerClass.factory &&
        FAILED(orv::platform::ComClassRegistry::instance().registerClass(providerClass.clsid,
                                                                         providerClass.factory)))
        std::cerr << "orvraid: the provider class is registered already; using that one.\n";
    std::unique_ptr<InProcessAttachment> attachment;
    const HRESULT hr = InProcessAttachment::load(providerClass.providerId, providerClass.clsid, attachment);
    if (FAILED(hr))
        std::cerr << "orvraid: could not load the VDS provider: " << describeHresult(hr) << ".\n";
    return attachment;
}

ExitCode serve(Interpreter& interpreter, std::istream* script)
{
    if (script != nullptr)
        return runScript(interpreter, *script);
    if (::isatty(STDIN_FILENO) == 0)
        return runScript(interpreter, std::cin);
    std::cout << "orvraid: managing Corvane arrays through the VDS provider. Type help for the commands.\n\n";
    return runInteractive(interpreter);
}

ExitCode run(const OrvraidCommandLine& commandLine, const ProviderClass& providerClass)
{
    std::ifstream scriptFile;
    if (commandLine.scriptPath) {
        scriptFile.open(*commandLine.scriptPath);
        if (!scriptFile) {
            std::cerr << "orvraid: cannot open the script " << *commandLine.scriptPath << ".\n";
            return ExitCode::ScriptFileNotFound;
        }
    }
    if (!openRegistry())
        return ExitCode::Fatal;
    std::unique_ptr<InProcessAttachment> attachment = attach(providerClass);
    if (!attachment)
        return ExitCode::Fatal;
    Session session(*attachment);
    PasswordSource passwords;
    Interpreter interpreter(session, passwords, std::cout, std::cerr);
    return serve(interpreter, commandLine.scriptPath ? &scriptFile : nullptr);
}

}  // namespace

int runOrvraid(int argc, char** argv, const ProviderClass& providerClass)
{
    std::string error;
    const std::optional<OrvraidCommandLine> commandLine =
        OrvraidCommandLine::parse(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!commandLine) {
        std::cerr << "orvraid: " << error << "\n\n" << OrvraidCommandLine::usage();
        return toInt(ExitCode::BadArguments);
    }
    if (commandLine->action == OrvraidCommandLine::Action::Help) {
        std::cout << OrvraidCommandLine::usage();
        return toInt(ExitCode::Success);
    }
    try {
        return toInt(run(*commandLine, providerClass));
    } catch (const std::exception& failure) {
        std::cerr << "orvraid: " << failure.what() << '\n';
        return toInt(ExitCode::Fatal);
    }
}

}  // namespace orvraid
