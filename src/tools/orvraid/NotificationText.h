// A VDS notification as orvraid watch shows it: "subsystem arrived {id}".
#pragma once

#include "platform/vds/VdsTypes.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace orvraid {

std::string notificationText(const VDS_NOTIFICATION& notification);

// Local time with milliseconds: "2026-12-07 11:30:01.123".
std::string watchTimeText(std::uint64_t unixMilliseconds);
std::uint64_t unixMillisecondsNow();

}  // namespace orvraid
