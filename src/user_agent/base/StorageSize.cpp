#include "user_agent/base/StorageSize.h"

#include "user_agent/base/MWExceptions.h"
#include "user_agent/base/TextUtil.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <iomanip>
#include <limits>
#include <ostream>
#include <sstream>
#include <string_view>

namespace Merrow::UserAgent {

namespace {

constexpr char kConstructorName[] = "Merrow::UserAgent::StorageSize::StorageSize";
constexpr std::uint64_t kLargestBlockMultiple =
    std::numeric_limits<std::uint64_t>::max() / StorageSize::kBlockSize * StorageSize::kBlockSize;

// Index i is the unit for base^i.
constexpr std::array<std::string_view, 9> kUnits{"bytes", "KB", "MB", "GB", "TB",
                                                 "PB",    "EB", "ZB", "YB"};

[[noreturn]] void throwParseError(const char* prefix, const std::string& text, int line) {
    throw MWEDataConversionError(prefix + text + "'", __FILE__, line, kConstructorName);
}

std::uint64_t roundUpToBlock(std::uint64_t bytes) {
    if (bytes > kLargestBlockMultiple)
        return kLargestBlockMultiple;
    return (bytes + StorageSize::kBlockSize - 1) / StorageSize::kBlockSize *
           StorageSize::kBlockSize;
}

// The factor of a unit suffix, or 0 when the suffix is not a unit.
double unitFactor(std::string_view unit) {
    if (unit.empty() || TextUtil::equalsIgnoringCase(unit, "B") ||
        TextUtil::equalsIgnoringCase(unit, "BYTES"))
        return 1.0;
    for (std::size_t power = 1; power < kUnits.size(); ++power) {
        if (TextUtil::equalsIgnoringCase(unit, kUnits[power]))
            return std::pow(1024.0, static_cast<double>(power));
    }
    return 0.0;
}

std::uint64_t parseBytes(const std::string& text) {
    std::string compact(TextUtil::trim(text));
    std::erase(compact, ',');
    const std::string_view all(compact);
    const auto numberLength = std::min(all.find_first_not_of("0123456789."), all.size());
    const std::string_view number = all.substr(0, numberLength);
    const std::string_view unit = TextUtil::trim(all.substr(numberLength));

    double value = 0.0;
    const char* end = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), end, value);
    if (number.empty() || error != std::errc() || stop != end)
        throwParseError("Invalid size string : '", text, __LINE__);

    const double factor = unitFactor(unit);
    if (factor == 0.0)
        throwParseError("Invalid size unit suffix string : '", text, __LINE__);

    // 2^64 as a double; anything at or above it does not fit the byte count.
    constexpr double kByteLimit = 18446744073709551616.0;
    const double bytes = value * factor + static_cast<double>(StorageSize::kBlockSize - 1);
    if (!(bytes < kByteLimit))
        throwParseError("Invalid size string : '", text, __LINE__);
    const auto whole = static_cast<std::uint64_t>(bytes);
    return whole / StorageSize::kBlockSize * StorageSize::kBlockSize;
}

// The largest power of base that does not exceed bytes (power 0 for sizes below one unit).
std::size_t unitPower(std::uint64_t bytes, std::uint64_t base, std::uint64_t& unitSize) {
    std::size_t power = 0;
    unitSize = 1;
    while (power + 1 < kUnits.size() && unitSize <= bytes / base) {
        unitSize *= base;
        ++power;
    }
    return power;
}

} // namespace

StorageSize::StorageSize(std::uint64_t bytes, bool binaryUnits)
    : m_bytes(roundUpToBlock(bytes)), m_binaryUnits(binaryUnits) {}

StorageSize::StorageSize(const std::string& text)
    : m_bytes(parseBytes(text)), m_binaryUnits(true) {}

std::string StorageSize::toString(bool scaledOnly) const {
    std::uint64_t unitSize = 1;
    const std::size_t power = unitPower(m_bytes, m_binaryUnits ? 1024 : 1000, unitSize);
    std::ostringstream text;
    if (!scaledOnly)
        text << m_bytes << " ( ";
    if (m_bytes % unitSize == 0)
        text << m_bytes / unitSize;
    else
        text << std::scientific << std::showpoint << std::setprecision(4)
             << static_cast<double>(m_bytes) / static_cast<double>(unitSize);
    text << ' ' << kUnits[power];
    if (!scaledOnly)
        text << " )";
    return text.str();
}

std::ostream& operator<<(std::ostream& out, const StorageSize& value) {
    return out << value.toString();
}

} // namespace Merrow::UserAgent
