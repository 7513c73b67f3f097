// list providers | subsystems | controllers | drives | luns | targets | tportals
#pragma once

namespace orvraid {

class CommandTable;

class ListCommands {
public:
    static void addTo(CommandTable& table);
};

}  // namespace orvraid
