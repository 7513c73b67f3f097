// select provider | subsystem [<n>]: the focus
#pragma once

namespace orvraid {

class CommandTable;

class SelectCommands {
public:
    static void addTo(CommandTable& table);
};

}  // namespace orvraid
