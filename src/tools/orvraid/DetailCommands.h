// detail provider | subsystem: the selected object's properties
#pragma once

namespace orvraid {

class CommandTable;

class DetailCommands {
public:
    static void addTo(CommandTable& table);
};

}  // namespace orvraid
