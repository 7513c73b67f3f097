#include "CorvaneCommandLine.h"

#include "ArrayAddress.h"
#include "ChangeWatcher.h"
#include "ConfigurationFile.h"
#include "CorvaneOutput.h"
#include "JobProgress.h"
#include "PasswordSource.h"

#include "user_agent/attributes/AttributeRegistry.h"
#include "user_agent/attributes/ServiceAttributes.h"
#include "user_agent/connection/CorvaneConnection.h"
#include "user_agent/root/MerrowUserAgent.h"
#include "user_agent/services/Service_CorvaneSystem.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <set>

#include <unistd.h>

namespace corvane {

using namespace Merrow::UserAgent;
using R = MerrowReturnValue;

std::atomic<bool> CorvaneCommandLine::s_stopRequested{false};

struct CorvaneCommandLine::Options {
    std::string array;
    std::string host;
    std::string user;
    std::string passwordFile;
    bool json = false;
    bool wait = false;
    bool yes = false;
    std::vector<std::string> words;
};

// A command checked in full before the array is contacted.
struct CorvaneCommandLine::Command {
    std::string verb;
    ServiceWords::Plan plan;
    const AttributeDescriptor* attribute = nullptr;
    std::vector<std::string> arguments;
};

namespace {

constexpr const char* kUsageText =
    "usage: corvane [--array user@host | --host HOST --user USER] [--password-file FILE] [--json] [--wait] [--yes]\n"
    "               COMMAND ...\n"
    "commands:\n"
    "  help [SERVICE]                    services, or the attributes of one\n"
    "  show SERVICE                      every readable attribute\n"
    "  get SERVICE ATTRIBUTE             one readable attribute\n"
    "  set SERVICE ATTRIBUTE VALUE       one writable attribute\n"
    "  do SERVICE ACTION [ARGS...]       an action (disks by slot number, initiators by iSCSI name)\n"
    "  save FILE | restore FILE          the array's configuration to or from a local file\n"
    "  factory-reset                     the array's factory configuration (asks unless --yes)\n"
    "  watch                             every change the array reports, until interrupted\n"
    "The password comes from --password-file, CORVANE_PASSWORD or a prompt.\n"
    "services:\n";

// Actions after which the array may run a job on the volume.
const std::set<std::string> kVolumeJobs{"CreateVolume", "GrowTo", "Reconfigure"};

const std::set<std::string> kValueOptions{"--array", "--host", "--user", "--password-file"};
const std::set<std::string> kFlags{"--json", "--wait", "--yes", "-h", "--help"};

bool isUsageFailure(const R& result) {
    return result.getCode() == R::UA_E_INVALIDARG || result.getCode() == R::UA_E_DATACONVERSTIONERROR;
}

} // namespace

CorvaneCommandLine::CorvaneCommandLine(std::ostream& out, std::ostream& err, bool terminal)
    : m_out(out), m_err(err), m_terminal(terminal) {}

void CorvaneCommandLine::requestStop() { s_stopRequested.store(true); }
void CorvaneCommandLine::resetStop() { s_stopRequested.store(false); }

int CorvaneCommandLine::fail(int status, const std::string& message) {
    m_err << "corvane: " << message << "\n";
    return status;
}

int CorvaneCommandLine::failFor(const R& result, const std::string& what) {
    const int status = isUsageFailure(result) ? kUsage
                       : result.getCode() == R::UA_E_NOTCONNECTED ? kUnreachable
                                                                   : kRefused;
    return fail(status, what + ": " + result.getMessage());
}

int CorvaneCommandLine::run(std::vector<std::string> args) {
    Options options;
    const int parsed = parse(std::move(args), options);
    if (parsed >= 0)
        return parsed;
    Command command;
    const int checked = check(options, command);
    if (checked >= 0)
        return checked;
    return execute(options, command);
}

// Options stand before the command; the three flags may also follow it. Everything else
// from the command on is words, so that values starting with "-" stay values.
int CorvaneCommandLine::parse(std::vector<std::string> args, Options& options) {
    std::vector<std::string> optionArgs;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool beforeCommand = options.words.empty();
        if (beforeCommand && kValueOptions.count(arg.substr(0, arg.find('=')))) {
            optionArgs.push_back(arg);
            if (arg.find('=') == std::string::npos && i + 1 < args.size())
                optionArgs.push_back(args[++i]);
        } else if (kFlags.count(arg)) {
            optionArgs.push_back(arg);
        } else if (beforeCommand && arg.rfind("-", 0) == 0 && arg != "--") {
            return fail(kUsage, "unknown option '" + arg + "'");
        } else if (arg != "--" || !beforeCommand) {
            options.words.push_back(arg);
        }
    }
    CLI::App app("corvane: administration of a Corvane array", "corvane");
    app.add_option("--array", options.array, "user@host of the array");
    app.add_option("--host", options.host, "the array's host");
    app.add_option("--user", options.user, "the user to log in as");
    app.add_option("--password-file", options.passwordFile, "file whose first line is the password");
    app.add_flag("--json", options.json, "JSON output");
    app.add_flag("--wait", options.wait, "wait for the array's job to end");
    app.add_flag("--yes", options.yes, "do not ask for confirmation");
    std::reverse(optionArgs.begin(), optionArgs.end());
    try {
        app.parse(optionArgs);
    } catch (const CLI::CallForHelp&) {
        m_out << kUsageText << ServiceWords::usage();
        return kSuccess;
    } catch (const CLI::ParseError& error) {
        return fail(kUsage, error.what());
    }
    if (options.words.empty())
        return fail(kUsage, "no command (try: corvane help)");
    return -1;
}

int CorvaneCommandLine::check(const Options& options, Command& command) {
    command.verb = options.words.front();
    command.arguments.assign(options.words.begin() + 1, options.words.end());
    if (command.verb == "help")
        return help(command.arguments);
    if (options.array.empty() && (options.host.empty() || options.user.empty()))
        return fail(kUsage, "say which array: --array user@host, or --host and --user");
    if (command.verb == "show" || command.verb == "get" || command.verb == "set" || command.verb == "do")
        return checkAttributeCommand(command);
    if (command.verb == "watch" || command.verb == "factory-reset")
        return command.arguments.empty() ? -1 : fail(kUsage, command.verb + " takes no arguments");
    if (command.verb == "save" || command.verb == "restore") {
        if (command.arguments.size() != 1)
            return fail(kUsage, command.verb + " takes one FILE");
        if (command.verb == "restore") {
            const std::string problem = ConfigurationFile::problem(command.arguments[0]);
            if (!problem.empty())
                return fail(kUsage, "restore: " + problem);
        }
        return -1;
    }
    return fail(kUsage, "unknown command '" + command.verb + "' (try: corvane help)");
}

int CorvaneCommandLine::checkAttributeCommand(Command& command) {
    const R planned = ServiceWords::plan(command.arguments, command.plan);
    if (planned.isFailure())
        return fail(kUsage, planned.getMessage());
    std::vector<std::string>& rest = command.arguments;
    if (command.verb == "show")
        return rest.empty() ? -1 : fail(kUsage, "show takes a service only, not '" + rest.front() + "'");
    const std::size_t needed = command.verb == "get" ? 1 : command.verb == "set" ? 2 : 0;
    if (rest.empty() || (needed && rest.size() != needed))
        return fail(kUsage, command.verb + " " + command.plan.description + ": expected " +
                                (command.verb == "do" ? "an ACTION and its arguments" : needed == 1 ? "ATTRIBUTE" : "ATTRIBUTE VALUE"));
    const std::int32_t kind = command.verb == "get"   ? AttributeDescriptor::kReadable
                              : command.verb == "set" ? AttributeDescriptor::kWritable
                                                      : AttributeDescriptor::kAction;
    const AttributeRegistry* registry = AttributeRegistry::Find(command.plan.typeName);
    command.attribute = registry ? registry->find(kind, rest.front()) : nullptr;
    if (command.attribute == nullptr)
        return fail(kUsage, command.plan.description + " (" + command.plan.typeName + ") has no " +
                                (kind == AttributeDescriptor::kReadable ? "readable attribute"
                                 : kind == AttributeDescriptor::kWritable ? "writable attribute" : "action") +
                                " '" + rest.front() + "'");
    rest.erase(rest.begin());
    ValueContext offline;
    offline.resolveObjects = false;
    R result;
    if (command.verb == "set") {
        AttributeValue value;
        result = ServiceAttributes::PrepareValue(*command.attribute, rest.front(), offline, value);
    } else if (command.verb == "do") {
        std::vector<AttributeValue> inputs;
        result = ServiceAttributes::PrepareArguments(*command.attribute, rest, offline, inputs);
    }
    return result.isFailure() ? fail(kUsage, command.attribute->name() + ": " + result.getMessage()) : -1;
}

int CorvaneCommandLine::help(const std::vector<std::string>& words) {
    if (words.empty()) {
        m_out << kUsageText << ServiceWords::usage();
        return kSuccess;
    }
    std::vector<std::string> rest = words;
    if (rest.size() == 1)
        rest.push_back("#1"); // help needs the class, not which one
    ServiceWords::Plan plan;
    R result = ServiceWords::plan(rest, plan);
    if (result.isFailure())
        return fail(kUsage, result.getMessage());
    std::string text;
    result = ServiceAttributes::Help(plan.typeName, text);
    if (result.isFailure())
        return failFor(result, "help " + plan.description);
    m_out << words.front() << " (" << plan.typeName << ")\n" << text;
    return kSuccess;
}

bool CorvaneCommandLine::confirmed(const Options& options) {
    if (options.yes)
        return true;
    if (!isatty(STDIN_FILENO))
        return false;
    m_err << "Reset the array to its factory configuration? Type yes to go on: " << std::flush;
    std::string answer;
    return std::getline(std::cin, answer) && answer == "yes";
}

int CorvaneCommandLine::execute(const Options& options, Command& command) {
    if (command.verb == "factory-reset" && !confirmed(options))
        return fail(kUsage, "factory-reset not confirmed (give --yes when not at a terminal)");
    std::optional<ArrayAddress> address;
    try {
        address = options.array.empty() ? ArrayAddress(options.host, options.user) : ArrayAddress::parse(options.array);
    } catch (const std::exception& error) {
        return fail(kUsage, error.what());
    }
    std::optional<std::string> password;
    try {
        password = PasswordSource::read(options.passwordFile);
    } catch (const std::exception& error) {
        return fail(kUsage, error.what());
    }
    if (!password)
        return fail(kUsage, std::string("no password: set ") + PasswordSource::kVariable +
                                " or give --password-file (or run at a terminal)");

    MerrowUserAgent root;
    R result = root.Start();
    if (result.isFailure())
        return failFor(result, "cannot start the client library");
    CorvaneConnection connection = root.GetConnection(address->host());
    result = connection.Connect(address->user(), *password);
    password->assign(password->size(), '\0');
    if (result.isFailure())
        return fail(kUnreachable, "cannot log in to " + address->host() + " as " + address->user() + ": " +
                                      result.getMessage());
    Service_CorvaneSystem system;
    result = connection.GetCorvaneSystemService(system);
    if (result.isFailure())
        return fail(kUnreachable, "the array " + address->host() + " offers no system: " + result.getMessage());
    CorvaneOutput output(m_out, options.json);
    const int status = perform(command, output, connection, system, options.wait);
    connection.Logoff();
    return status;
}

int CorvaneCommandLine::perform(Command& command, CorvaneOutput& output, const MerrowService& connection,
                                const MerrowService& system, bool wait) {
    if (command.verb == "watch")
        return ChangeWatcher(output, s_stopRequested).run(connection, system).isFailure() ? kRefused : kSuccess;
    if (command.verb == "save" || command.verb == "restore" || command.verb == "factory-reset")
        return configurationAction(command, output, system);
    std::vector<MerrowService> services;
    R result = ServiceWords::resolve(system, command.plan, services);
    if (result.isFailure())
        return failFor(result, command.plan.description);
    if (command.verb == "show") {
        std::vector<std::string> titles;
        std::vector<AttributeSummary> summaries(services.size());
        for (std::size_t i = 0; i < services.size(); ++i) {
            result = ServiceAttributes::Show(services[i], summaries[i]);
            if (result.isFailure())
                return failFor(result, "show " + command.plan.description);
            titles.push_back(command.plan.typeName + " #" + std::to_string(i + 1));
        }
        output.summaries(titles, summaries);
        return kSuccess;
    }
    const std::string& name = command.attribute->name();
    if (command.verb == "get") {
        std::vector<std::string> texts(services.size());
        for (std::size_t i = 0; i < services.size(); ++i) {
            result = ServiceAttributes::Get(services[i], name, texts[i]);
            if (result.isFailure())
                return failFor(result, "get " + command.plan.description + " " + name);
        }
        output.values(command.plan.description, name, texts, command.plan.many);
        return kSuccess;
    }
    if (services.size() != 1)
        return fail(kUsage, command.plan.description + " names " + std::to_string(services.size()) +
                                " services; pick one (for example with #1)");
    if (command.verb == "set") {
        ValueContext context{ServiceWords::resolver(system), true};
        result = ServiceAttributes::Set(services[0], name, command.arguments.front(), context);
        if (result.isFailure())
            return failFor(result, "set " + command.plan.description + " " + name);
        output.done(command.plan.description, name);
        return kSuccess;
    }
    return performDo(command, output, system, wait) == kSuccess ? kSuccess : kRefused;
}

int CorvaneCommandLine::performDo(Command& command, CorvaneOutput& output, const MerrowService& system, bool wait) {
    std::vector<MerrowService> services;
    R result = ServiceWords::resolve(system, command.plan, services);
    if (result.isFailure())
        return failFor(result, command.plan.description);
    const std::string& action = command.attribute->name();
    ValueContext context{ServiceWords::resolver(system), true};
    std::vector<AttributeValue> results;
    result = ServiceAttributes::Invoke(services.front(), action, command.arguments, context, results);
    if (result.isFailure())
        return failFor(result, "do " + command.plan.description + " " + action);
    std::vector<std::string> names;
    for (const AttributeDescriptor& described : command.attribute->results())
        names.push_back(described.name());
    output.results(command.plan.description, action, names, results);
    if (!kVolumeJobs.count(action))
        return kSuccess;
    std::string volumeName = action == "CreateVolume" ? command.arguments.front() : "";
    if (volumeName.empty() && ServiceAttributes::Get(services.front(), "Name", volumeName).isFailure())
        return kSuccess;
    JobProgress progress(m_err, m_terminal, s_stopRequested);
    result = progress.follow(system, volumeName, wait);
    return result.isFailure() ? failFor(result, action) : kSuccess;
}

int CorvaneCommandLine::configurationAction(Command& command, CorvaneOutput& output, const MerrowService& system) {
    const char* action = command.verb == "save"      ? "SaveCvnConfiguration"
                         : command.verb == "restore" ? "RestoreCvnConfiguration"
                                                     : "RestoreCvnConfigurationToFactoryDefaults";
    std::vector<std::string> arguments = command.arguments;
    if (command.verb == "restore")
        arguments.push_back("false"); // any array's configuration, not only this chassis's
    if (command.verb == "factory-reset")
        arguments.push_back("true"); // keep the address we are talking to the array on
    AttributeValue settings;
    R result = ServiceAttributes::GetValue(system, "AdvancedSettings", settings);
    std::vector<AttributeValue> results;
    if (!result.isFailure() && settings.services().size() == 1)
        result = ServiceAttributes::Invoke(settings.services().front(), action, arguments, {}, results);
    if (result.isFailure())
        return failFor(result, command.verb);
    output.done("advanced-settings", command.verb);
    return kSuccess;
}

} // namespace corvane
