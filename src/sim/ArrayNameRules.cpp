#include "sim/ArrayNameRules.h"

#include "cim/http/CIMHttpHeaders.h"

#include <algorithm>

namespace Merrow::Sim {

std::optional<std::string> ArrayNameRules::problem(std::string_view text)
{
    if (text.size() > kMaxBytes)
        return "longer than " + std::to_string(kMaxBytes) + " bytes";
    if (!cim::CIMHttpHeaders::isValidUtf8(text))
        return "not valid UTF-8";
    const bool control = std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
    if (control)
        return "contains control characters";
    return std::nullopt;
}

} // namespace Merrow::Sim
