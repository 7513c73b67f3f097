// The program's own switches, in DiskRAID's manner: "/s <file>" runs a script, "/?" shows
// the usage; the word "watch" prints the provider's notifications instead. Switches start with "/" or "-" in any letter case. (CLI11 is not used: it
// cannot take "/" switches.)
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orvraid {

struct OrvraidCommandLine {
    enum class Action { Run, Help, Watch };

    Action action = Action::Run;
    std::optional<std::string> scriptPath;

    // The switches after the program name; nullopt and the reason in `error` when they
    // cannot be understood.
    static std::optional<OrvraidCommandLine> parse(const std::vector<std::string>& arguments,
                                                   std::string& error);
    static const char* usage();
};

}  // namespace orvraid
