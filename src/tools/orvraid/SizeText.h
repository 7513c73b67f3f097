// Sizes as the lists show them: a whole number and a unit (B, KB, MB, GB, TB, PB, EB).
#pragma once

#include <cstdint>
#include <string>

namespace orvraid {

// The largest binary unit in which the size is still at least 10 of it, rounded to the
// nearest whole number: 4096 bytes is "4096 B", 107 GiB is "107 GB", 8 GiB is "8192 MB".
std::string sizeText(std::uint64_t bytes);

}  // namespace orvraid
