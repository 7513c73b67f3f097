#include "user_agent/UALockTimeout.h"

namespace Merrow::UserAgent {

std::string UALockTimeout::className() const {
    return "UALockTimeout";
}

} // namespace Merrow::UserAgent
