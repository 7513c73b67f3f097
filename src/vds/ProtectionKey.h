// The machine's secret for protecting stored passwords: 32 random bytes in a file that only
// its owner can read, beside the registry file (whose directory is the owner's alone too).
//
// The stored passwords are as safe as this file: whoever can read the registry file can
// read the key as well, but a registry copy or export alone reveals nothing, and blobs from
// one machine cannot be read on another.
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

    // The key in path(), made when there is no file yet. Nothing when the file cannot be
    // read or made, or does not hold exactly a key.
    static std::optional<Key> machineKey();

    // `count` bytes from the system's random source; false when it fails.
    static bool randomBytes(std::uint8_t* out, std::size_t count);

private:
    static std::optional<Key> readKey(const std::filesystem::path& file, bool& missing);
    static std::optional<Key> createKey(const std::filesystem::path& file);
};
