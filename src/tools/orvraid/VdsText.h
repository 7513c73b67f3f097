// Words for the values of VDS records, as the lists and details show them.
#pragma once

#include "platform/vds/VdsTypes.h"

#include <string>

namespace orvraid {

// Every VDS object status shares one scheme of values (unknown 0, online 1, not ready 2,
// offline 4, failed 5, removed 8, partially managed 9), so one text serves all kinds.
std::string statusText(int status);
std::string healthText(VDS_HEALTH health);
std::string lunTypeText(VDS_LUN_TYPE type);
std::string providerTypeText(VDS_PROVIDER_TYPE type);
// The names of the subsystem's capability flags that are set, separated by ", ".
std::string subsystemFlagsText(ULONG flags);
// Short marks of a drive's flags ("HS" for a hot spare, ...), separated by blanks.
std::string driveFlagsText(ULONG flags);
// The texts of the provider's connection statuses of a managed array (0 to 4).
std::string arrayStatusText(LONG status);

}  // namespace orvraid
