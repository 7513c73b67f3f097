// The separate resource library (libOrv_Resources.so, the program's "Orv_Resources.dll"),
// loaded at run time and asked for strings by id: LoadLibrary, LoadString, FreeLibrary.
//
// Thread-safe: m_mutex guards the handle, so a string is never read from a library that
// another thread is unloading. m_mutex is a leaf lock.
#pragma once

#include "platform/com/WinErrors.h"
#include "platform/com/WinTypes.h"
#include "platform/resources/OrvResources.h"

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

namespace orv::platform {

class ResourceLibrary {
public:
    static constexpr const char* kFileName = "libOrv_Resources.so";

    ResourceLibrary() = default;
    ~ResourceLibrary();
    ResourceLibrary(const ResourceLibrary&) = delete;
    ResourceLibrary& operator=(const ResourceLibrary&) = delete;

    // $ORVDS_RESOURCES when set; else the library in ../lib or in the directory of the
    // running program when it is there; else the bare file name (the loader's search path).
    static std::filesystem::path defaultPath();

    // Loads the library (a loaded one is unloaded first). A missing or unloadable file
    // gives HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND), a library without the string function
    // HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND); lastError() tells the details.
    HRESULT load();
    HRESULT load(const std::filesystem::path& path);
    void unload();
    bool isLoaded() const;
    std::string lastError() const;

    // LoadString: 0 when the library is not loaded or has no such string.
    int loadString(UINT id, WCHAR* buffer, int capacity) const;
    std::optional<std::u16string> loadString(UINT id) const;

private:
    void unloadLocked();

    mutable std::mutex m_mutex;  // guards the members below
    void* m_handle = nullptr;
    OrvResourcesLoadStringFunction m_loadString = nullptr;
    std::string m_lastError;
};

}  // namespace orv::platform
