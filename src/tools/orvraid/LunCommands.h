// The LUN commands: select lun [<n>], create lun simple|stripe|raid|mirror size=<n>
// [drives=<n>,...] [stripesize=<n>], extend lun size=<n> [drives=<n>,...], shrink lun
// size=<n>, delete lun, name lun <name> and detail lun. Sizes are megabytes unless a unit
// follows (KB, MB, GB, TB).
// Operations the array runs as a job show its progress until it ends.
#pragma once

#include "platform/vds/VdsInterfaces.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

namespace orvraid {

class CommandTable;

class LunCommands {
public:
    static void addTo(CommandTable& table);

    // The largest LUN the subsystem can make from all its drives; nullopt when it cannot
    // tell (the subsystem answered a failure).
    static std::optional<std::uint64_t> largestNewLun(IVdsSubSystem* subsystem);

    // "<n>" megabytes or "<n>KB|MB|GB|TB", in bytes; CommandError::syntax for anything else.
    static std::uint64_t parseSize(const std::string& text);

    // Waits for `async`, writing the array's progress to `out` as it changes; the
    // operation's outcome.
    static HRESULT waitShowingProgress(IVdsAsync* async, std::ostream& out, bool terminal,
                                       VDS_ASYNC_OUTPUT& output);
};

}  // namespace orvraid
