#include "OrvraidCommandLine.h"

#include "Keyword.h"

namespace orvraid {
namespace {

// The switch's name without its "/" or "-"; empty for anything that is not a switch.
std::string switchName(const std::string& argument)
{
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-'))
        return "";
    const std::size_t start = argument.compare(0, 2, "--") == 0 ? 2 : 1;
    return toLower(argument.substr(start));
}

bool isHelpSwitch(const std::string& name) { return name == "?" || name == "h" || name == "help"; }

}  // namespace

std::optional<OrvraidCommandLine> OrvraidCommandLine::parse(const std::vector<std::string>& arguments,
                                                            std::string& error)
{
    OrvraidCommandLine line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string name = switchName(arguments[i]);
        if (toLower(arguments[i]) == "watch" && line.action == Action::Run && !line.scriptPath) {
            line.action = Action::Watch;
            continue;
        }
        if (isHelpSwitch(name)) {
            line.action = Action::Help;
            continue;
        }
        if (name != "s") {
            error = "\"" + arguments[i] + "\" is not a switch of orvraid.";
            return std::nullopt;
        }
        if (line.scriptPath || line.action == Action::Watch) {
            error = line.scriptPath ? "Only one script can be given." : "watch takes no script.";
            return std::nullopt;
        }
        if (i + 1 == arguments.size()) {
            error = "/s needs the name of a script file.";
            return std::nullopt;
        }
        line.scriptPath = arguments[++i];
    }
    return line;
}

const char* OrvraidCommandLine::usage()
{
    return "Usage: orvraid [/s <script>]\n"
           "       orvraid watch\n"
           "\n"
           "Manages the Corvane arrays that the VDS provider presents.\n"
           "\n"
           "  /s <script>   run the commands of the script file, one a line; without it the\n"
           "                commands come from the prompt, or from standard input when that\n"
           "                is not a terminal\n"
           "  watch         print the provider's notifications (arrivals, departures,\n"
           "                changes) with their time until Ctrl+C\n"
           "  /?            show this text (also -h, --help)\n"
           "\n"
           "Type help at the prompt for the commands; list and detail commands take --json\n"
           "to print JSON for scripts. Exit status: 0 success, 1 fatal error,\n"
           "2 bad switches, 3 script file not found, 4 a provider call failed, 5 a syntax or\n"
           "selection error.\n"
           "\n"
           "When the orvvds service runs, orvraid works through its socket; otherwise it\n"
           "hosts the provider itself.\n"
           "\n"
           "Variables: ORVDS_REGISTRY (the registry file), ORVDS_SOCKET (the service's\n"
           "socket, default /run/orvvds/orvvds.sock), ORVRAID_PASSWORD (the password of add\n"
           "array when the command gives none).\n";
}

}  // namespace orvraid
