#include "OrvcimCommandLine.h"

#include "CIMTextPrinter.h"
#include "IndicationPrinter.h"
#include "ValueArgument.h"
#include "WbemUrl.h"
#include "cim/client/CIMClient.h"
#include "cim/listener/CIMListener.h"
#include "cim/value/CIMValueError.h"
#include "trace/Trace.h"

#include <CLI/CLI.hpp>

#include <boost/asio/ip/address.hpp>

#include <algorithm>
#include <optional>
#include <set>
#include <stdexcept>

namespace orvcim {

std::atomic<bool> OrvcimCommandLine::s_stopRequested{false};

struct OrvcimCommandLine::Options {
    std::string operation;
    std::string url;
    std::string method;
    std::vector<std::string> arguments;
    std::vector<std::string> propertyList;
    bool propertyListGiven = false;
    std::string assocClass;
    std::string resultClass;
    std::string role;
    std::string resultRole;
    std::uint32_t timeout = cim::CIMClient::kDefaultTimeoutMilliseconds;
    std::uint16_t port = 0;
    std::uint64_t count = 0;
    std::string address = "0.0.0.0";
    // Addresses whose indications are heard.
    std::vector<std::string> senders;
};

namespace {

// CLI11 reads "-ac" as two short flags; the association options are written with one dash
// by habit, so they are given a second one before parsing.
void doubleDashAssociationOptions(std::vector<std::string>& args)
{
    static const std::set<std::string> kLongWithOneDash = {"-ac", "-rc", "-arc", "-arr", "-rr", "-pl"};
    for (std::string& arg : args) {
        if (kLongWithOneDash.count(arg))
            arg.insert(arg.begin(), '-');
    }
}

std::string oneLine(std::string text)
{
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::replace(text.begin(), text.end(), '\r', ' ');
    return text;
}

cim::CIMObjectPath targetPath(const WbemUrl& url)
{
    cim::CIMObjectPath path;
    try {
        path = cim::CIMObjectPath::parse(url.objectPath());
    } catch (const cim::CIMValueError& e) {
        throw std::invalid_argument("bad object path \"" + url.objectPath() + "\": " + e.what());
    }
    if (path.getNameSpace().isNull() || path.isNull())
        throw std::invalid_argument("the URL needs namespace:Class, got \"" + url.objectPath() + "\"");
    return path;
}

cim::CIMObjectPath instancePath(const WbemUrl& url)
{
    cim::CIMObjectPath path = targetPath(url);
    if (!path.hasKeys())
        throw std::invalid_argument("the URL needs the keys of the instance (Class.Key=\"value\")");
    return path;
}

std::vector<ValueArgument> valueArguments(const std::vector<std::string>& texts)
{
    std::vector<ValueArgument> arguments;
    for (const std::string& text : texts)
        arguments.push_back(ValueArgument::parse(text));
    return arguments;
}

cim::CIMPropertyList propertyList(const std::vector<std::string>& names, bool given)
{
    if (!given)
        return {};
    std::vector<cim::CIMName> list;
    for (const std::string& name : names)
        list.emplace_back(name);
    return cim::CIMPropertyList(std::move(list));
}

// The keys of the URL become properties of the new instance, typed as their text suggests.
cim::CIMInstance newInstance(const cim::CIMObjectPath& path, const std::vector<ValueArgument>& arguments)
{
    cim::CIMInstance instance(path.getClassName());
    for (const cim::CIMKeyBinding& key : path.getKeyBindings()) {
        const std::string text = key.getType() == cim::CIMKeyBinding::Type::String
                                     ? CIMTextPrinter::quoted(key.getValue())
                                     : key.getValue();
        instance.addProperty(ValueArgument::parse(key.getName().getString() + "=" + text).toProperty());
    }
    for (const ValueArgument& argument : arguments)
        instance.setPropertyValue(argument.name(), argument.toProperty().getValue());
    return instance;
}

const std::vector<std::string> kSubcommands = {"ei", "ein", "gi", "ai", "ain", "ci", "mi", "di", "cm", "listen"};

void addOperation(CLI::App& app, const char* name, const char* description, std::string& url)
{
    app.add_subcommand(name, description)->add_option("url", url, "http://user:pw@host:port/namespace:Class[.keys]")->required();
}

// The first word that is not an option of the program itself, when it names no subcommand;
// CLI11 would only say that a subcommand is required.
std::optional<std::string> unknownSubcommand(const std::vector<std::string>& args)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--timeout") {
            ++i;
            continue;
        }
        if (arg.rfind("-", 0) == 0)
            continue;
        if (std::find(kSubcommands.begin(), kSubcommands.end(), arg) != kSubcommands.end())
            return std::nullopt;
        return arg;
    }
    return std::nullopt;
}

std::string subcommandList()
{
    std::string list;
    for (const std::string& name : kSubcommands)
        list += (list.empty() ? "" : ", ") + name;
    return list;
}

// 0 is success and 4096 a job started to do the work; anything else is the method's failure.
bool methodFailed(const cim::CIMValue& result)
{
    if (result.isNull() || result.isArray() || !cim::isIntegerType(result.getType()))
        return false;
    const std::string text = result.toString();
    return text != "0" && text != "4096";
}

// Paths listed by ein and ain read alike: the host is the one the URL named anyway.
cim::CIMObjectPath withoutHost(cim::CIMObjectPath path)
{
    path.setHost("");
    return path;
}

boost::asio::ip::address addressOption(const char* option, const std::string& address)
{
    boost::system::error_code error;
    const auto parsed = boost::asio::ip::make_address(address, error);
    if (error)
        throw std::invalid_argument(std::string(option) + " \"" + address + "\" is not an IPv4 or IPv6 address");
    return parsed;
}

} // namespace

OrvcimCommandLine::OrvcimCommandLine(std::ostream& out, std::ostream& err)
    : m_out(out), m_err(err)
{
}

void OrvcimCommandLine::requestStop()
{
    s_stopRequested = true;
}

int OrvcimCommandLine::run(std::vector<std::string> args)
{
    doubleDashAssociationOptions(args);
    if (const auto unknown = unknownSubcommand(args)) {
        m_err << "orvcim: unknown subcommand \"" << CIMTextPrinter::printable(*unknown) << "\"; use one of "
              << subcommandList() << " (--help for more)" << std::endl;
        return 2;
    }
    Options options;
    CLI::App app("orvcim: a small CIM-XML client", "orvcim");
    app.require_subcommand(1);
    app.add_option("--timeout", options.timeout, "request time-out in milliseconds, 0 for none");

    for (const auto& [name, description] : std::vector<std::pair<const char*, const char*>>{
             {"ei", "enumerate instances"}, {"ein", "enumerate instance names"}, {"gi", "get an instance"},
             {"ai", "associated instances"}, {"ain", "associated instance names"}, {"ci", "create an instance"},
             {"mi", "modify an instance"}, {"di", "delete an instance"}, {"cm", "invoke a method"}})
        addOperation(app, name, description, options.url);
    for (const char* name : {"ei", "gi", "ai"})
        app.get_subcommand(name)->add_option("--pl", options.propertyList, "properties to return")->delimiter(',');
    for (const char* name : {"ai", "ain"}) {
        CLI::App* sub = app.get_subcommand(name);
        sub->add_option("--ac", options.assocClass, "association class");
        sub->add_option("--rc", options.resultClass, "result class");
        sub->add_option("--arc,--role", options.role, "role of the given object");
        sub->add_option("--arr,--rr,--result-role", options.resultRole, "role of the result objects");
    }
    app.get_subcommand("cm")->add_option("method", options.method, "method name")->required();
    for (const char* name : {"ci", "mi", "cm"})
        app.get_subcommand(name)->add_option("arguments", options.arguments, "NAME[:TYPE]=VALUE");

    CLI::App* listen = app.add_subcommand("listen", "receive indications and print them");
    listen->add_option("--port", options.port, "port to listen on, 0 for any free one");
    listen->add_option("--count", options.count, "stop after this many indications");
    listen->add_option("--address", options.address, "address to listen on");
    listen->add_option("--from", options.senders, "address of an array whose indications are printed (repeatable)")
        ->required();
    // --timeout is the program's option, but may follow the subcommand as well.
    for (CLI::App* sub : app.get_subcommands({}))
        sub->fallthrough();

    std::reverse(args.begin(), args.end());
    try {
        app.parse(args);
    } catch (const CLI::ParseError& e) {
        return app.exit(e, m_out, m_err) == 0 ? 0 : 2;
    }
    options.operation = app.get_subcommands().front()->get_name();
    for (const char* name : {"ei", "gi", "ai"})
        options.propertyListGiven |= app.get_subcommand(name)->count("--pl") > 0;
    return execute(options);
}

int OrvcimCommandLine::execute(const Options& options)
{
    MWTRACE(Merrow::Trace::TV_INFO, Merrow::Trace::TC_INFO)
        << "orvcim " << options.operation << " (time-out " << options.timeout << " ms)" << MWENDREC;
    try {
        if (options.operation == "listen") {
            runListen(options);
            return 0;
        }
        return runOperation(options);
    } catch (const std::exception& e) {
        MWTRACE(Merrow::Trace::TV_WARNING, Merrow::Trace::TC_ERROR_NONFATAL_EXCEPTION_CAUGHT)
            << "orvcim " << options.operation << " failed: " << e.what() << MWENDREC;
        m_err << "orvcim: " << oneLine(e.what()) << std::endl;
        return 1;
    }
}

void OrvcimCommandLine::connect(cim::CIMClient& client, const WbemUrl& url, const Options& options)
{
    client.setTimeout(options.timeout);
    client.connect(url.host(), url.port(), url.user(), url.password());
}

int OrvcimCommandLine::runOperation(const Options& options)
{
    MWSCOPE(options.operation.c_str());
    const WbemUrl url = WbemUrl::parse(options.url);
    const cim::CIMObjectPath path = targetPath(url);
    const cim::CIMNamespaceName& ns = path.getNameSpace();
    const auto pl = propertyList(options.propertyList, options.propertyListGiven);
    const std::vector<ValueArgument> arguments = valueArguments(options.arguments);
    cim::CIMClient client;
    connect(client, url, options);
    CIMTextPrinter print(m_out);
    const std::string& op = options.operation;

    // Listings are printed as they are decoded: a long answer is never held as a whole.
    const auto printPathLine = [&print](cim::CIMObjectPath&& name) { print.printPathLine(withoutHost(std::move(name))); };
    if (op == "ei") {
        client.enumerateInstances(ns, path.getClassName(), true, false, false, false, pl,
                                  [&print](cim::CIMInstance&& instance) { print.printInstance(instance); });
    } else if (op == "ein") {
        client.enumerateInstanceNames(ns, path.getClassName(), printPathLine);
    } else if (op == "gi") {
        print.printInstance(client.getInstance(ns, instancePath(url), false, false, false, pl));
    } else if (op == "ai") {
        client.associators(ns, path, cim::CIMName(options.assocClass), cim::CIMName(options.resultClass), options.role,
                           options.resultRole, false, false, pl,
                           [&print](cim::CIMObject&& object) { print.printObject(object); });
    } else if (op == "ain") {
        client.associatorNames(ns, path, cim::CIMName(options.assocClass), cim::CIMName(options.resultClass),
                               options.role, options.resultRole, printPathLine);
    } else if (op == "ci") {
        print.printLine("created " + client.createInstance(ns, newInstance(path, arguments)).toString());
    } else if (op == "mi") {
        if (arguments.empty())
            throw std::invalid_argument("mi needs at least one NAME=VALUE");
        // The server's instance tells the types of the properties to change.
        cim::CIMInstance instance = client.getInstance(ns, instancePath(url));
        std::vector<cim::CIMName> changed;
        for (const ValueArgument& argument : arguments) {
            const std::size_t index = instance.findProperty(argument.name());
            const bool known = index != cim::CIMInstance::npos;
            const cim::CIMProperty property =
                known ? argument.toProperty(instance.getProperty(index).getType(), instance.getProperty(index).isArray())
                      : argument.toProperty();
            if (known)
                instance.removeProperty(index);
            instance.addProperty(property);
            changed.push_back(property.getName());
        }
        instance.setPath(instancePath(url));
        client.modifyInstance(ns, instance, false, cim::CIMPropertyList(changed));
        print.printLine("modified " + instancePath(url).toString());
    } else if (op == "di") {
        client.deleteInstance(ns, instancePath(url));
        print.printLine("deleted " + instancePath(url).toString());
    } else if (op == "cm") {
        std::vector<cim::CIMParamValue> in;
        for (const ValueArgument& argument : arguments)
            in.push_back(argument.toParameter());
        std::vector<cim::CIMParamValue> out;
        const cim::CIMValue result = client.invokeMethod(ns, path, cim::CIMName(options.method), in, out);
        print.printMethodResult(result, out);
        if (methodFailed(result)) {
            client.disconnect();
            m_err << "orvcim: " << options.method << " returned " << result.toString() << std::endl;
            return 1;
        }
    }
    client.disconnect();
    return 0;
}

void OrvcimCommandLine::runListen(const Options& options)
{
    s_stopRequested = false;
    addressOption("--address", options.address);
    cim::CIMListenerOptions listenerOptions;
    listenerOptions.address = options.address;
    listenerOptions.port = options.port;
    cim::CIMListener listener(listenerOptions);
    for (const std::string& sender : options.senders)
        listener.allowSender(addressOption("--from", sender));
    IndicationPrinter printer(m_out);
    listener.addConsumer(&printer);
    listener.start();
    m_err << "orvcim: listening on " << options.address << ":" << listener.getPortNumber()
          << ", post indications to /CIMListener/..." << std::endl;
    const std::uint64_t target = options.count == 0 ? UINT64_MAX : options.count;
    while (!s_stopRequested && !printer.waitFor(target, std::chrono::milliseconds(200))) {
    }
    listener.stop();
    listener.removeConsumer(&printer);
}

} // namespace orvcim
