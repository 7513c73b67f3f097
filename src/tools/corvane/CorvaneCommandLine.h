#pragma once

#include "ServiceWords.h"

#include "user_agent/base/MerrowReturnValue.h"

#include <atomic>
#include <ostream>
#include <string>
#include <vector>

namespace corvane {

class CorvaneOutput;

// The corvane program: administration of one Corvane array through the client library's
// attributes by name.
//
//   corvane [--array user@host | --host H --user U] [--password-file F] [--json] [--wait] [--yes]
//           help [SERVICE] | show SERVICE | get SERVICE ATTRIBUTE | set SERVICE ATTRIBUTE VALUE
//           | do SERVICE ACTION [ARGS...] | save FILE | restore FILE | factory-reset | watch
//
// Every command is checked in full (service words, attribute, argument count and values)
// before the array is contacted. Exit status: 0 success, 1 the array refused or failed,
// 2 bad usage, 3 the array is unreachable or refused the log-in. Errors are one line on the
// error stream; with --json the output stream carries valid JSON only.
class CorvaneCommandLine {
public:
    enum ExitStatus { kSuccess = 0, kRefused = 1, kUsage = 2, kUnreachable = 3 };

    // `terminal`: the error stream is a terminal (progress bars and prompts).
    CorvaneCommandLine(std::ostream& out, std::ostream& err, bool terminal);

    // args without the program name.
    int run(std::vector<std::string> args);

    // Ends a running watch or wait (from a signal handler: only sets an atomic flag).
    static void requestStop();
    static void resetStop();

private:
    struct Options;
    struct Command;

    int parse(std::vector<std::string> args, Options& options);
    int check(const Options& options, Command& command);
    int checkAttributeCommand(Command& command);
    int execute(const Options& options, Command& command);
    int perform(Command& command, CorvaneOutput& output, const MerrowService& connection,
                const MerrowService& system, bool wait);
    int performDo(Command& command, CorvaneOutput& output, const MerrowService& system, bool wait);
    int configurationAction(Command& command, CorvaneOutput& output, const MerrowService& system);
    int help(const std::vector<std::string>& words);
    bool confirmed(const Options& options);
    int fail(int status, const std::string& message);
    int failFor(const MerrowReturnValue& result, const std::string& what);

    std::ostream& m_out;
    std::ostream& m_err;
    bool m_terminal;
    static std::atomic<bool> s_stopRequested;
};

} // namespace corvane
