#pragma once

#include "user_agent/attributes/ValueTypeOps.h"
#include "user_agent/base/MerrowReturnValue.h"
#include "user_agent/indications/MerrowService.h"

#include <string>
#include <vector>

namespace corvane {

using Merrow::UserAgent::MerrowReturnValue;
using Merrow::UserAgent::MerrowService;

// The words that name services on the command line, each a walk of readable attributes
// from the array's system service (ServiceWords.cpp has the table):
//
//   volumes                 every volume           (VolumeList, Volumes)
//   volume NAME|#N          one volume by name or position (#1 is the first)
//   volume NAME target      then on along the volume's "Target"
//
// A word with a selector takes one argument; after it, lower-case follow words walk on
// ("target", "composition", "extents", "pool", ...).
class ServiceWords {
public:
    // What a command's service words resolve to, before any array traffic.
    struct Plan {
        std::string description;          // "volume v1 target"
        std::string typeName;             // the class the walk ends at ("Service_iSCSITarget")
        std::vector<std::string> walk;    // attribute names from the system service
        std::string selector;             // attribute compared with `selection` after walk[selectAt-1]
        std::size_t selectAt = 0;
        std::string selection;
        bool many = false;                // the walk ends in a list of services
    };

    // Reads the service words at the front of `words` and removes them. A word that names no
    // service, a missing selection or a follow word the class does not have is
    // UA_E_INVALIDARG with a one-line message.
    static MerrowReturnValue plan(std::vector<std::string>& words, Plan& plan);
    // Walks `plan` from the system service; UA_E_FAIL "no volume named 'x'" when the
    // selection matches nothing.
    static MerrowReturnValue resolve(const MerrowService& system, const Plan& plan,
                                     std::vector<MerrowService>& services);
    // Names objects in action arguments the way the words select them: a disk by its slot
    // number, an initiator by its iSCSI name, a volume by name, "#N" by position.
    static Merrow::UserAgent::ServiceResolver resolver(const MerrowService& system);

    // One line per word for help.
    static std::string usage();
};

} // namespace corvane
