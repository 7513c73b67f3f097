// The drive and LUN plex commands: select drive|plex [n], detail drive|plex, list plexes,
// setflag drive hotspare=true|false, online|offline drive, replace drive=<n>.
#pragma once

namespace orvraid {

class CommandTable;

class DriveCommands {
public:
    static void addTo(CommandTable& table);
};

}  // namespace orvraid
