// Registry value types, access rights, dispositions and predefined roots, with their
// Windows values.
#pragma once

#include "platform/com/WinErrors.h"
#include "platform/com/WinTypes.h"

using REGSAM = DWORD;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM DELETE = 0x00010000;
constexpr REGSAM READ_CONTROL = 0x00020000;
constexpr REGSAM KEY_READ = READ_CONTROL | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY;
constexpr REGSAM KEY_WRITE = READ_CONTROL | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
constexpr REGSAM KEY_ALL_ACCESS = 0x000F003F;

// What RegistryKey::create reports through its disposition argument.
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

namespace orv::platform {

// The predefined top-level keys; each is its own tree in the store.
enum class RegistryRoot : int {
    LocalMachine = 1,
    ClassesRoot = 2,
    CurrentUser = 3,
    Users = 4,
};

}  // namespace orv::platform

inline constexpr orv::platform::RegistryRoot HKEY_LOCAL_MACHINE =
    orv::platform::RegistryRoot::LocalMachine;
inline constexpr orv::platform::RegistryRoot HKEY_CLASSES_ROOT =
    orv::platform::RegistryRoot::ClassesRoot;
inline constexpr orv::platform::RegistryRoot HKEY_CURRENT_USER =
    orv::platform::RegistryRoot::CurrentUser;
inline constexpr orv::platform::RegistryRoot HKEY_USERS = orv::platform::RegistryRoot::Users;
