// The controller commands: select controller [n], detail controller (with its ports),
// online|offline|reset controller.
#pragma once

namespace orvraid {

class CommandTable;

class ControllerCommands {
public:
    static void addTo(CommandTable& table);
};

}  // namespace orvraid
