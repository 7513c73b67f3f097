// add array, remove array, list arrays: the provider's managed arrays, as a configuration client changes them
#pragma once

namespace orvraid {

class CommandTable;

class ArrayCommands {
public:
    static void addTo(CommandTable& table);
};

}  // namespace orvraid
