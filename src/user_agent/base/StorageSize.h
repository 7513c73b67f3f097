#pragma once

#include <compare>
#include <cstdint>
#include <iosfwd>
#include <string>

namespace Merrow::UserAgent {

// A capacity in bytes, always a whole number of 512-byte blocks because the array allocates in
// blocks. The unit base only affects display: 1024-based (KB = 1024 bytes) or 1000-based.
class StorageSize {
public:
    static constexpr std::uint64_t kBlockSize = 512;

    StorageSize() = default;
    // Rounds up to the next whole block; sizes in the last partial block of the 64-bit range
    // round down to the largest whole block instead.
    explicit StorageSize(std::uint64_t bytes, bool binaryUnits = true);
    // A number (commas allowed) and an optional unit: B, BYTES, KB, MB, GB, TB, PB, EB, ZB, YB,
    // in any case, always 1024-based. Throws MWEDataConversionError for anything else.
    explicit StorageSize(const std::string& text);

    std::uint64_t bytes() const { return m_bytes; }
    bool hasBinaryUnits() const { return m_binaryUnits; }

    // In the largest unit that fits, e.g. "3 GB" or "1.5000e+00 KB"; unless scaledOnly, the
    // exact byte count comes first: "1536 ( 1.5000e+00 KB )".
    std::string toString(bool scaledOnly = false) const;

    bool operator==(const StorageSize& other) const { return m_bytes == other.m_bytes; }
    auto operator<=>(const StorageSize& other) const { return m_bytes <=> other.m_bytes; }

private:
    std::uint64_t m_bytes = 0;
    bool m_binaryUnits = true;
};

std::ostream& operator<<(std::ostream& out, const StorageSize& value);

} // namespace Merrow::UserAgent
