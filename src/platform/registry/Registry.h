// The registry store: one SQLite file holding the key tree and its values.
//
// Several processes may use one file at once: every change runs in an immediate
// (write-locking) SQLite transaction, and a process that finds the file locked waits up
// to kBusyTimeoutMs before giving up with ERROR_BUSY. A process killed in the middle of a
// change leaves the file as it was before that change.
//
// Threads: one Registry may be shared by any number of threads; m_mutex serialises them.
// An open RegistryTransaction holds m_mutex from its start to its end, so other threads'
// registry calls wait for it. m_mutex is a leaf lock: nothing else is locked or called out
// to while it is held. After fork() the child must open a Registry of its own.
//
// Every change first asks the file system whether this process may write the file and its
// folder (SQLite keeps its write-ahead log beside the file), and is refused with
// ERROR_ACCESS_DENIED when not: the open connection would otherwise go on writing through
// its descriptors after an administrator made the registry read-only.
//
// RegistryKey is the API; this class offers it the store's primitive operations on key
// ids, and reports Windows error codes.
#pragma once

#include "platform/registry/RegistryTypes.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace orv::platform {

class Registry {
public:
    using KeyId = std::int64_t;

    static constexpr int kBusyTimeoutMs = 10000;

    // Opens the store at `path`, creating it (and missing parent directories, mode 0700)
    // when needed. The file is made readable and writable by its owner only (0600).
    static LSTATUS open(const std::filesystem::path& path, std::shared_ptr<Registry>& out);

    // Why open(`path`) failed with `status`, in words for the administrator: a folder in the
    // file's place, a file that is not a registry, a folder that cannot be made, ...
    static std::string describeOpenFailure(const std::filesystem::path& path, LSTATUS status);

    // $ORVDS_REGISTRY, or /var/lib/orvds/registry.db when it is unset or empty.
    static std::filesystem::path defaultPath();

    // The store the predefined keys use unless told otherwise: opened at defaultPath() on
    // first use (a failed open is tried again next time; null meanwhile).
    static std::shared_ptr<Registry> processRegistry();
    static void setProcessRegistry(std::shared_ptr<Registry> registry);

    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    const std::filesystem::path& path() const { return m_path; }

    // ERROR_SUCCESS when this process may write the file and its folder now, otherwise
    // ERROR_ACCESS_DENIED; describeWriteFailure() names the problem for the administrator
    // ("the registry's folder /var/lib/orvds cannot be written (Read-only file system)").
    LSTATUS checkWritable() const;
    std::string describeWriteFailure() const;

    static KeyId rootId(RegistryRoot root) { return static_cast<KeyId>(root); }

    // ---- primitives for RegistryKey; names are UTF-8, compared without case (ASCII) ---

    // ERROR_KEY_DELETED when the key is gone (deleted through another handle or process).
    LSTATUS checkKey(KeyId key);
    LSTATUS findChild(KeyId parent, std::string_view name, KeyId& child);
    LSTATUS createChild(KeyId parent, std::string_view name, KeyId& child, bool& created);
    LSTATUS childAt(KeyId parent, DWORD index, std::string& name);
    LSTATUS hasChildren(KeyId key, bool& result);
    // Deletes every key below `key` and their values; with `includeKey` also the key and
    // its own values, otherwise the key's values only.
    LSTATUS deleteBelow(KeyId key, bool includeKey);

    LSTATUS readValue(KeyId key, std::string_view name, DWORD& type, std::vector<BYTE>& data);
    LSTATUS writeValue(KeyId key, std::string_view name, DWORD type, const BYTE* data, DWORD size);
    LSTATUS deleteValue(KeyId key, std::string_view name);
    LSTATUS valueAt(KeyId key, DWORD index, std::string& name, DWORD& type,
                    std::vector<BYTE>& data);

    // ---- transactions (RegistryTransaction; nesting becomes savepoints) -----------------

    std::recursive_mutex& mutex() { return m_mutex; }
    LSTATUS beginLocked();
    LSTATUS commitLocked();
    void rollbackLocked();

    // Runs `step` (returning LSTATUS) inside a transaction: all of it or nothing.
    template <class Step>
    LSTATUS atomically(Step&& step)
    {
        std::lock_guard lock(m_mutex);
        LSTATUS status = beginLocked();
        if (status != ERROR_SUCCESS)
            return status;
        status = step();
        if (status != ERROR_SUCCESS) {
            rollbackLocked();
            return status;
        }
        return commitLocked();
    }

private:
    Registry(std::filesystem::path path, sqlite3* db);
    LSTATUS createSchema();
    LSTATUS execute(const char* sql);

    const std::filesystem::path m_path;
    std::recursive_mutex m_mutex;  // guards m_db and m_transactionDepth
    sqlite3* m_db;
    int m_transactionDepth = 0;
};

// The Windows code for an SQLite result.
LSTATUS registryStatusFromSqlite(int sqliteResult);

}  // namespace orv::platform
