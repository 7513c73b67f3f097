#pragma once

// What every facade handle header needs: the handle base, the value types of facade
// signatures and the table macros (ServiceTable.h).

#include "user_agent/base/MerrowReturnValue.h"
#include "user_agent/base/MerrowUserAgentEnums.h"
#include "user_agent/base/StorageSize.h"
#include "user_agent/indications/MerrowService.h"
#include "user_agent/services/ServiceTable.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>
