#include "SizeText.h"

#include <array>

namespace orvraid {

std::string sizeText(std::uint64_t bytes)
{
    static constexpr std::array<const char*, 7> kUnits{"B", "KB", "MB", "GB", "TB", "PB", "EB"};
    std::size_t unit = 0;
    // Shift in whole units: the size stays exact until the last step, which rounds.
    while (unit + 1 < kUnits.size() && (bytes >> (10 * (unit + 1))) >= 10)
        ++unit;
    const unsigned shift = 10 * static_cast<unsigned>(unit);
    std::uint64_t whole = bytes >> shift;
    if (shift > 0 && ((bytes >> (shift - 1)) & 1u) != 0)
        ++whole;
    return std::to_string(whole) + " " + kUnits[unit];
}

}  // namespace orvraid
