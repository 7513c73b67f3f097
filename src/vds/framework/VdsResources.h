// The program's string resources: its own string table and the separate resource library
// (libOrv_Resources.so, the "Orv_Resources.dll" of the texts), whose handle the process
// loads once and shares.
//
// Thread-safe: the library's own lock guards its handle.
#pragma once

#include "platform/com/WinTypes.h"
#include "platform/strings/ResourceLibrary.h"

#include <optional>
#include <string>

class VdsResources {
public:
    // The process's resource library (loaded or not).
    static orv::platform::ResourceLibrary& library();

    // Loads the library unless it is loaded already.
    static HRESULT ensureLoaded();

    // A non-empty string of the resource library. When the library is not loaded, or
    // yields nothing, it is unloaded, loaded again and asked once more.
    static std::optional<std::u16string> libraryString(UINT id);

    // A non-empty string of the program's own table.
    static std::optional<std::u16string> programString(UINT id);
};
