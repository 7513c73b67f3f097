#include "user_agent/base/UAVersion.h"

#include "user_agent/base/TextUtil.h"
#include "user_agent/base/UAException.h"

#include <array>
#include <charconv>
#include <ostream>

namespace Merrow::UserAgent {

const UAVersion UAVersion::kClient{2, 8, 2, 2};
const UAVersion UAVersion::kLowestArray{2, 5, 1, 81};
const UAVersion UAVersion::kInvalidFloor{1, 0, 0, 0};
const UAVersion UAVersion::kDevelopmentLow{90, 0, 0, 0};
const UAVersion UAVersion::kDevelopmentHigh{99, 99, 99, 0};

namespace {

[[noreturn]] void badVersion() {
    throw UAException(0, "Bad version string");
}

std::uint16_t parsePart(std::string_view part) {
    std::uint16_t value = 0;
    const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
    // from_chars stops at the first non-digit; only a full run of digits counts.
    if (error != std::errc() || end != part.data() + part.size())
        badVersion();
    return value;
}

} // namespace

UAVersion UAVersion::parse(std::string_view text) {
    const auto parts = TextUtil::split(TextUtil::trim(text), '.');
    if (parts.size() != 4)
        badVersion();
    return UAVersion(parsePart(parts[0]), parsePart(parts[1]), parsePart(parts[2]),
                     parsePart(parts[3]));
}

std::uint64_t UAVersion::getKey() const {
    return ((std::uint64_t{m_major} << 16) + m_minor) << 32;
}

std::string UAVersion::toString() const {
    return std::to_string(m_major) + "." + std::to_string(m_minor) + "." + std::to_string(m_build) +
           "." + std::to_string(m_revision);
}

bool UAVersion::isDevelopmentBuild() const {
    return getKey() > kDevelopmentLow.getKey() && getKey() < kDevelopmentHigh.getKey();
}

UAVersion::Compatibility UAVersion::checkArray(const UAVersion& array, const UAVersion& client) {
    if (client.getKey() < kInvalidFloor.getKey())
        return Compatibility::ClientVersionInvalid;
    if (array.getKey() < kInvalidFloor.getKey())
        return Compatibility::ArrayVersionInvalid;
    if (array.isDevelopmentBuild() || client.isDevelopmentBuild())
        return Compatibility::Compatible;
    if (kLowestArray.getKey() <= array.getKey() && array.getKey() <= client.getKey())
        return Compatibility::Compatible;
    return Compatibility::Incompatible;
}

std::ostream& operator<<(std::ostream& out, const UAVersion& version) {
    return out << version.toString();
}

} // namespace Merrow::UserAgent
