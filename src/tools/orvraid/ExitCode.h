// The exit statuses of orvraid, as administrators' scripts of DiskRAID expect them.
#pragma once

namespace orvraid {

enum class ExitCode : int {
    Success = 0,
    Fatal = 1,              // the program could not go on (no provider, no registry)
    BadArguments = 2,       // the program's own command line
    ScriptFileNotFound = 3, // the script named by /s cannot be opened
    VdsCallFailed = 4,      // the provider or the VDS stand-in answered a failure
    SyntaxOrSelection = 5,  // a command that cannot be understood, or nothing suitable selected
};

inline int toInt(ExitCode code) { return static_cast<int>(code); }

}  // namespace orvraid
