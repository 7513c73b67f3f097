// The program's registry scripts: the AppID, one script per COM class and the type
// library, each written and removed as a whole (one registry transaction per script).
//
// What a class script writes, under HKEY_CLASSES_ROOT:
//   OrvVds.<Name>.1           = "<Name> Class", with CLSID
//   OrvVds.<Name>             = "<Name> Class", with CLSID and CurVer
//   CLSID\{clsid}             = "<Name> Class", with ProgID, VersionIndependentProgID,
//                               LocalServer32 (the program), TypeLib and the value AppID
// The AppID script writes AppID\{appid} (named after the service) and AppID\<program file
// name> with the value AppID, which maps the executable to it.
#pragma once

#include "platform/com/Guid.h"

#include <filesystem>
#include <span>
#include <string>

struct OrvComClassScript {
    unsigned scriptId;
    const char16_t* name;
    CLSID clsid;
};

class OrvVdsRegistrar {
public:
    static constexpr unsigned kAppIdScript = 101;

    // The class scripts in registration order (the AppID script comes before them).
    static std::span<const OrvComClassScript> ClassScripts();

    OrvVdsRegistrar(std::filesystem::path program, std::u16string serviceName);

    HRESULT RegisterAppId() const;
    HRESULT UnregisterAppId() const;
    HRESULT RegisterClass(const OrvComClassScript& script) const;
    HRESULT UnregisterClass(const OrvComClassScript& script) const;
    HRESULT RegisterTypeLibrary() const;
    HRESULT UnregisterTypeLibrary() const;

    // AppID, then every class: the first failure ends it and is returned.
    HRESULT RegisterScripts() const;
    // The same order; every script is tried, the first failure is returned.
    HRESULT UnregisterScripts() const;

    static std::u16string AppIdKeyPath();

private:
    std::filesystem::path m_Program;
    std::u16string m_ServiceName;
};
