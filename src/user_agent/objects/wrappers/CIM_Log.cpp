#include "user_agent/objects/wrappers/CIM_Log.h"

namespace Merrow::UserAgent {

std::uint32_t CIM_Log::ExecClearLog() { return InvokeExtrinsic("ClearLog", {}, {}); }

} // namespace Merrow::UserAgent
