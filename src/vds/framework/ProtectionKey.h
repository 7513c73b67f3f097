// The machine's secret for protecting stored passwords: 32 random bytes in a file that only
// its owner can read, beside the registry file (whose directory is the owner's alone too).
//
// The stored passwords are as safe as this file: whoever can read the registry file can
// read the key as well, but a registry copy or export alone reveals nothing, and blobs from
// one machine cannot be read on another.
//
// The key belongs with the registry: a registry copied or restored without its key file
// keeps its passwords unreadable. A key file that is missing when stored passwords are to
// be read, or that cannot be read at all, is reported in the trace and the event log with
// the file's path.
//
// Thread-safe; several processes may ask at once (the first to create the file wins, the
// others read its key).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>

class ProtectionKey {
public:
    using Key = std::array<std::uint8_t, 32>;
    static constexpr const char* kFileName = "protection.key";

    // $ORVDS_PROTECTION_KEY when set; otherwise protection.key beside the process
    // registry's file.
    static std::filesystem::path path();

    // What the key is wanted for: a missing file is expected before the first password is
    // stored, but means lost passwords when stored ones are to be read.
    enum class Use { Protect, Unprotect };

    // The key in path(), made when there is no file yet. Nothing when the file cannot be
    // read or made, or does not hold exactly a key.
    static std::optional<Key> machineKey(Use use = Use::Protect);

    // `count` bytes from the system's random source; false when it fails.
    static bool randomBytes(std::uint8_t* out, std::size_t count);

private:
    // `error` is the errno of the failure, EINVAL for a file that is not a key.
    static std::optional<Key> readKey(const std::filesystem::path& file, int& error);
    static std::optional<Key> createKey(const std::filesystem::path& file);
    static void reportUnreadable(const std::filesystem::path& file, int error);
    static void reportMissing(const std::filesystem::path& file, bool replaced);
};
