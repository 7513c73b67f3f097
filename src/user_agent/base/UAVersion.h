#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace Merrow::UserAgent {

// A four-part version number "major.minor.build.revision" as the array reports its firmware.
// Compatibility is decided by major and minor alone: the comparison key holds only those two,
// so builds and revisions of one release line are interchangeable.
class UAVersion {
public:
    // How an array's firmware relates to this client.
    enum class Compatibility {
        Compatible,
        // The client's own version is below 1.0: nothing can be decided, so anything goes.
        ClientVersionInvalid,
        // The array's version is below 1.0: it cannot be trusted.
        ArrayVersionInvalid,
        Incompatible,
    };

    // 0.0.0.0
    UAVersion() = default;
    constexpr UAVersion(std::uint16_t major, std::uint16_t minor, std::uint16_t build,
                        std::uint16_t revision)
        : m_major(major), m_minor(minor), m_build(build), m_revision(revision) {}

    // Exactly four dot-separated decimal numbers, each at most 65535; white space around the
    // whole text is ignored. Anything else throws UAException "Bad version string".
    static UAVersion parse(std::string_view text);

    std::uint16_t getMajor() const { return m_major; }
    std::uint16_t getMinor() const { return m_minor; }
    std::uint16_t getBuild() const { return m_build; }
    std::uint16_t getRevision() const { return m_revision; }

    // (major * 65536 + minor) * 2^32.
    std::uint64_t getKey() const;
    // "%u.%u.%u.%u"
    std::string toString() const;

    // The version of this client library.
    static const UAVersion kClient;
    // The oldest array firmware this client works with (only 2.5 of it counts).
    static const UAVersion kLowestArray;
    // Versions below this one are not real versions.
    static const UAVersion kInvalidFloor;
    // Development builds carry versions strictly inside this band and work with anything.
    static const UAVersion kDevelopmentLow;
    static const UAVersion kDevelopmentHigh;

    // The firmware rule: an array below 1.0 is refused; a development build on either side is
    // accepted; otherwise the array must lie between 2.5 and the client's own release.
    static Compatibility checkArray(const UAVersion& array, const UAVersion& client = kClient);

    friend bool operator==(const UAVersion&, const UAVersion&) = default;

private:
    bool isDevelopmentBuild() const;

    std::uint16_t m_major = 0;
    std::uint16_t m_minor = 0;
    std::uint16_t m_build = 0;
    std::uint16_t m_revision = 0;
};

std::ostream& operator<<(std::ostream& out, const UAVersion& version);

} // namespace Merrow::UserAgent
