// An open registry key: the handle through which keys and values are read and written.
//
// Names of keys and values are UTF-16, compared without regard to (ASCII) case; a sub-key
// argument may be a path of several names separated by "\". Results are the Windows error
// codes of the corresponding registry functions (RegCreateKeyEx, RegQueryValueEx, ...):
// ERROR_FILE_NOT_FOUND for a missing key or value, ERROR_MORE_DATA for a buffer that is
// too small (the size needed is reported), ERROR_NO_MORE_ITEMS past the last enumeration
// index, ERROR_ACCESS_DENIED for an operation the handle's access mask does not allow,
// ERROR_KEY_DELETED when the key went away under the handle.
//
// The key closes itself on destruction. A RegistryKey may be used by one thread at a
// time; different keys on one store may be used from different threads.
#pragma once

#include "platform/registry/Registry.h"
#include "platform/registry/RegistryTypes.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orv::platform {

class RegistryKey {
public:
    // Maximum length of one key name, in characters.
    static constexpr std::size_t kMaxKeyNameLength = 255;
    static constexpr std::size_t kMaxValueNameLength = 16383;

    RegistryKey() = default;
    ~RegistryKey() = default;
    RegistryKey(RegistryKey&& other) noexcept;
    RegistryKey& operator=(RegistryKey&& other) noexcept;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // A predefined root with full access, in the process registry or in `registry`. When
    // the process registry cannot be opened, every operation on the root and below it
    // answers ERROR_CANTOPEN.
    static RegistryKey root(RegistryRoot root);
    static RegistryKey root(RegistryRoot root, std::shared_ptr<Registry> registry);

    // Opens `subKey` below `parent`, creating what is missing (parent needs
    // KEY_CREATE_SUB_KEY). `disposition` tells whether the last key was new. An empty
    // `subKey` opens `parent` again.
    LSTATUS create(const RegistryKey& parent, std::u16string_view subKey,
                   REGSAM access = KEY_ALL_ACCESS, DWORD* disposition = nullptr);
    LSTATUS open(const RegistryKey& parent, std::u16string_view subKey, REGSAM access = KEY_READ);
    void close();
    bool isOpen() const { return m_key != 0; }

    const std::shared_ptr<Registry>& registry() const { return m_registry; }
    REGSAM access() const { return m_access; }

    // ---- values (the empty name is the key's default value) -----------------------------

    // RegQueryValueEx: with null `data` only the type and size are reported.
    LSTATUS queryValue(std::u16string_view name, DWORD* type, BYTE* data, DWORD* cbData) const;
    // REG_SZ or REG_EXPAND_SZ (not expanded) without its terminator; ERROR_UNSUPPORTED_TYPE
    // for another type.
    LSTATUS queryString(std::u16string_view name, std::u16string& text) const;
    LSTATUS queryDword(std::u16string_view name, DWORD& value) const;
    LSTATUS queryBinary(std::u16string_view name, std::vector<BYTE>& data) const;

    // RegSetValueEx for the four supported types; REG_DWORD takes exactly 4 bytes.
    LSTATUS setValue(std::u16string_view name, DWORD type, const BYTE* data, DWORD cbData);
    // Writes the text with its terminator, as REG_SZ or REG_EXPAND_SZ.
    LSTATUS setString(std::u16string_view name, std::u16string_view text, DWORD type = REG_SZ);
    LSTATUS setDword(std::u16string_view name, DWORD value);
    LSTATUS setBinary(std::u16string_view name, const BYTE* data, DWORD cbData);

    LSTATUS deleteValue(std::u16string_view name);

    // ---- enumeration (sub-keys in case-insensitive name order, values in creation order)

    // RegEnumKeyEx: `cchName` holds the buffer size in characters (terminator included)
    // and receives the name length (terminator excluded).
    LSTATUS enumKey(DWORD index, WCHAR* name, DWORD* cchName) const;
    LSTATUS enumKey(DWORD index, std::u16string& name) const;
    // RegEnumValue: the name as for enumKey, type and data as for queryValue.
    LSTATUS enumValue(DWORD index, WCHAR* name, DWORD* cchName, DWORD* type, BYTE* data,
                      DWORD* cbData) const;
    LSTATUS enumValue(DWORD index, std::u16string& name, DWORD& type,
                      std::vector<BYTE>& data) const;

    // ---- deletion -----------------------------------------------------------------------

    // RegDeleteKey: `subKey` must have no sub-keys of its own (ERROR_ACCESS_DENIED).
    LSTATUS deleteKey(std::u16string_view subKey);
    // RegDeleteTree: `subKey` with everything below it; an empty `subKey` empties this key
    // (its sub-keys and values) and keeps it. Needs DELETE, KEY_ENUMERATE_SUB_KEYS and
    // KEY_QUERY_VALUE on this handle.
    LSTATUS deleteTree(std::u16string_view subKey);

private:
    RegistryKey(std::shared_ptr<Registry> registry, Registry::KeyId key, REGSAM access);

    // ERROR_SUCCESS when the handle is open, its key still exists and `needed` is granted.
    LSTATUS usable(REGSAM needed) const;
    LSTATUS resolve(std::u16string_view subKey, Registry::KeyId& key) const;
    LSTATUS read(std::u16string_view name, DWORD& type, std::vector<BYTE>& bytes) const;

    std::shared_ptr<Registry> m_registry;
    Registry::KeyId m_key = 0;  // 0: closed
    REGSAM m_access = 0;
    bool m_storeMissing = false;  // a root of a process registry that could not be opened
};

}  // namespace orv::platform
