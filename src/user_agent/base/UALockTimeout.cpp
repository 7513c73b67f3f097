#include "user_agent/base/UALockTimeout.h"

namespace Merrow::UserAgent {

std::string UALockTimeout::className() const {
    return "UALockTimeout";
}

} // namespace Merrow::UserAgent
