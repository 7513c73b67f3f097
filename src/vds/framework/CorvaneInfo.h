// One managed array: where it is, how to log in, and how its connection stood last.
#pragma once

#include <cstdint>
#include <string>

struct CorvaneInfo {
    // Host name or address of the array; the key of the entry, compared exactly.
    std::u16string host;
    std::u16string userName;
    // Plain in memory; protected only in the registry.
    std::u16string password;
    // Last connection status read from the array's subsystem: 0 connecting, 1 not
    // reachable, 2 authorization failed, 3 connected, 4 lost connection.
    std::int32_t status = 0;

    bool operator==(const CorvaneInfo&) const = default;
};
