#pragma once

// What the array accepts as a name or a reported text (volume, target, initiator and array
// names, the firmware version given at start-up): UTF-8 of at most kMaxBytes bytes with no
// control characters. Anything else could not be carried in a CIM-XML reply, and every
// enumeration that shows it would fail.

#include <optional>
#include <string>
#include <string_view>

namespace Merrow::Sim {

class ArrayNameRules {
public:
    static constexpr std::size_t kMaxBytes = 255;

    // Why the text is refused, or nullopt when it is accepted. An empty text is accepted
    // here: where a name is required, its absence has a failure of its own.
    static std::optional<std::string> problem(std::string_view text);
};

} // namespace Merrow::Sim
