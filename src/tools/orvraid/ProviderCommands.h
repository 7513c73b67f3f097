// reenumerate subsystems | drives, refresh provider
#pragma once

namespace orvraid {

class CommandTable;

class ProviderCommands {
public:
    static void addTo(CommandTable& table);
};

}  // namespace orvraid
