// The iSCSI side of a subsystem and the masking of its LUNs:
//   list portalgroups, select lun | target | portal | portalgroup [<n>],
//   detail target | portal | portalgroup, unmask lun all | none | [add] initiator=<iqn>[;<iqn>...],
//   chap target set secret=<s> [initiator=<iqn>], chap target remember secret=<s> initiator=<iqn>,
//   chap initiator set | remember.
// Secrets given to these commands are never printed.
#pragma once

#include "platform/vds/VdsInterfaces.h"

#include <string>
#include <vector>

namespace orvraid {

class CommandTable;
class Session;

class TargetCommands {
public:
    static void addTo(CommandTable& table);
};

// The targets that expose `lun`, one line each ("Target 0  iqn..."), numbered as
// `list targets` numbers them; for the LUN's details.
std::vector<std::string> associatedTargetLines(Session& session, IVdsLun* lun);

}  // namespace orvraid
