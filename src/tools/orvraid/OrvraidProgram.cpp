#include "OrvraidProgram.h"

#include "CommandError.h"
#include "ExitCode.h"
#include "HresultText.h"
#include "InProcessAttachment.h"
#include "InteractiveShell.h"
#include "Interpreter.h"
#include "NotificationWatch.h"
#include "OrvraidCommandLine.h"
#include "PasswordSource.h"
#include "ScriptRunner.h"
#include "ServiceClient.h"
#include "Session.h"

#include "platform/registry/Registry.h"
#include "platform/vds/ProviderHostLock.h"

#include <unistd.h>

#include <cstdlib>
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

ExitCode serve(CommandRunner& runner, std::istream* script)
{
    if (script != nullptr)
        return runScript(runner, *script);
    if (::isatty(STDIN_FILENO) == 0)
        return runScript(runner, std::cin);
    std::cout << "orvraid: managing Corvane arrays through the VDS provider. Type help for the commands.\n\n";
    return runInteractive(runner);
}

std::string passwordFromEnvironment()
{
    const char* password = std::getenv(PasswordSource::kVariable);
    return password != nullptr ? password : "";
}

// The provider in this process, while no other process hosts it for this registry.
ExitCode runInProcess(const OrvraidCommandLine& commandLine, const ProviderClass& providerClass,
                      std::istream* script)
{
    if (!openRegistry())
        return ExitCode::Fatal;
    std::string refusal;
    const auto lock = orv::platform::ProviderHostLock::acquire(orv::platform::Registry::defaultPath(), "orvraid", refusal);
    if (!lock) {
        std::cerr << "orvraid: cannot host the provider: " << refusal << ".\n";
        return ExitCode::Fatal;
    }
    std::unique_ptr<InProcessAttachment> attachment = attach(providerClass);
    if (!attachment)
        return ExitCode::Fatal;
    if (commandLine.action == OrvraidCommandLine::Action::Watch)
        return watchInProcess(attachment->notifications(), std::cout);
    Session session(*attachment);
    PasswordSource passwords;
    Interpreter interpreter(session, passwords, std::cout, std::cerr);
    return serve(interpreter, script);
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
    std::istream* script = commandLine.scriptPath ? &scriptFile : nullptr;
    std::unique_ptr<ServiceClient> client;
    std::string error;
    const std::filesystem::path socket = protocol::defaultSocketPath();
    switch (ServiceClient::connect(socket, passwordFromEnvironment(), std::cout, std::cerr, client, error)) {
    case ServiceClient::Connect::NoService:
        return runInProcess(commandLine, providerClass, script);
    case ServiceClient::Connect::Failed:
        std::cerr << "orvraid: " << error << ".\n";
        return ExitCode::Fatal;
    case ServiceClient::Connect::Connected:
        break;
    }
    if (commandLine.action == OrvraidCommandLine::Action::Watch)
        return watchService(*client, std::cout, std::cerr);
    return serve(*client, script);
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
