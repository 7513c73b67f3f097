#include "platform/registry/Registry.h"

#include "platform/registry/SqliteStatement.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace orv::platform {
namespace {

constexpr const char* kDefaultPath = "/var/lib/orvds/registry.db";

// Keys and values live in two tables; names compare without regard to (ASCII) case, as
// key and value names do on Windows. Ids are never reused, so a handle to a deleted key
// cannot end up pointing at a newer one.
constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS keys(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    parent INTEGER,
    name TEXT NOT NULL COLLATE NOCASE);
CREATE UNIQUE INDEX IF NOT EXISTS keys_by_parent ON keys(parent, name);
CREATE TABLE IF NOT EXISTS vals(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    key INTEGER NOT NULL,
    name TEXT NOT NULL COLLATE NOCASE,
    type INTEGER NOT NULL,
    data BLOB NOT NULL);
CREATE UNIQUE INDEX IF NOT EXISTS vals_by_key ON vals(key, name);
INSERT OR IGNORE INTO keys(id, parent, name) VALUES
    (1, NULL, 'HKEY_LOCAL_MACHINE'),
    (2, NULL, 'HKEY_CLASSES_ROOT'),
    (3, NULL, 'HKEY_CURRENT_USER'),
    (4, NULL, 'HKEY_USERS');
)sql";

constexpr const char* kSubtree =
    "WITH RECURSIVE tree(id) AS (SELECT id FROM keys WHERE parent = ?1 "
    "UNION ALL SELECT keys.id FROM keys JOIN tree ON keys.parent = tree.id) ";

std::mutex g_processRegistryMutex;  // guards g_processRegistry
std::shared_ptr<Registry> g_processRegistry;

LSTATUS statusFromErrno(int error)
{
    return error == EACCES || error == EPERM ? ERROR_ACCESS_DENIED : ERROR_CANTOPEN;
}

LSTATUS createDirectories(const std::filesystem::path& directory)
{
    if (directory.empty())
        return ERROR_SUCCESS;
    std::filesystem::path partial;
    for (const std::filesystem::path& part : directory) {
        partial /= part;
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST)
            return statusFromErrno(errno);
    }
    return ERROR_SUCCESS;
}

// Creates the file with owner-only permissions before SQLite sees it, and tightens an
// existing file of ours that is more open than that. A file its owner made read-only stays
// read-only.
LSTATUS createPrivateFile(const std::filesystem::path& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return statusFromErrno(errno);
    struct stat info {};
    if (::fstat(fd, &info) == 0 && info.st_uid == ::geteuid() && (info.st_mode & 0077) != 0)
        ::fchmod(fd, info.st_mode & 0700);
    ::close(fd);
    return ERROR_SUCCESS;
}

// Why this process cannot write `path` or its folder now: the errno of the check that
// failed, 0 when both can be written.
struct WriteAccess {
    int error = 0;
    bool folder = false;
};

WriteAccess writeAccessTo(const std::filesystem::path& path)
{
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
        return {errno, false};
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK, AT_EACCESS) != 0)
        return {errno, true};
    return {};
}

}  // namespace

LSTATUS registryStatusFromSqlite(int sqliteResult)
{
    switch (sqliteResult & 0xFF) {
    case SQLITE_OK:
    case SQLITE_DONE:
    case SQLITE_ROW:
        return ERROR_SUCCESS;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return ERROR_BUSY;
    case SQLITE_NOMEM:
        return ERROR_OUTOFMEMORY;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return ERROR_ACCESS_DENIED;
    case SQLITE_CANTOPEN:
        return ERROR_CANTOPEN;
    default:
        return ERROR_REGISTRY_IO_FAILED;
    }
}

Registry::Registry(std::filesystem::path path, sqlite3* db) : m_path(std::move(path)), m_db(db) {}

Registry::~Registry()
{
    sqlite3_close_v2(m_db);
}

LSTATUS Registry::open(const std::filesystem::path& path, std::shared_ptr<Registry>& out)
{
    out.reset();
    LSTATUS status = createDirectories(path.parent_path());
    if (status == ERROR_SUCCESS)
        status = createPrivateFile(path);
    if (status != ERROR_SUCCESS)
        return status;

    // The constructor is private; this makes it reachable for make_shared only.
    struct Constructible : Registry {
        Constructible(const std::filesystem::path& path, sqlite3* db) : Registry(path, db) {}
    };
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    // Owns the connection from here on, also when opening failed half-way.
    std::shared_ptr<Registry> registry = std::make_shared<Constructible>(path, db);
    if (rc != SQLITE_OK)
        return registryStatusFromSqlite(rc);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    status = registry->createSchema();
    if (status != ERROR_SUCCESS)
        return status;
    out = std::move(registry);
    return ERROR_SUCCESS;
}

namespace {

// An empty file becomes a registry when opened; anything else must be an SQLite database.
bool holdsSomethingElse(const std::filesystem::path& path)
{
    static constexpr char kHeader[] = "SQLite format 3";
    std::ifstream file(path, std::ios::binary);
    char start[sizeof kHeader] = {};
    file.read(start, sizeof start);
    return file.gcount() > 0 &&
           (file.gcount() < static_cast<std::streamsize>(sizeof start) ||
            std::memcmp(start, kHeader, sizeof kHeader) != 0);
}

}  // namespace

std::string Registry::describeOpenFailure(const std::filesystem::path& path, LSTATUS status)
{
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored))
        return "it is a folder, not a registry file";
    const std::filesystem::path folder = path.parent_path();
    if (!folder.empty() && std::filesystem::exists(folder, ignored) &&
        !std::filesystem::is_directory(folder, ignored))
        return "its folder " + folder.string() + " is a file";
    if (status == ERROR_ACCESS_DENIED)
        return "access is denied";
    if (status == ERROR_BUSY)
        return "another process keeps it locked";
    if (std::filesystem::is_regular_file(path, ignored) && holdsSomethingElse(path))
        return "it is not a registry database";
    if (!std::filesystem::exists(folder, ignored))
        return "its folder " + folder.string() + " cannot be made";
    return "error " + std::to_string(status);
}

LSTATUS Registry::createSchema()
{
    // Write-ahead logging lets readers of one process go on while another process
    // writes. The mode is stored in the file, so only its first user really switches it.
    LSTATUS status = execute("PRAGMA journal_mode=WAL");
    if (status != ERROR_SUCCESS)
        return status;
    return atomically([this] { return execute(kSchema); });
}

LSTATUS Registry::execute(const char* sql)
{
    return registryStatusFromSqlite(sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr));
}

std::filesystem::path Registry::defaultPath()
{
    const char* configured = std::getenv("ORVDS_REGISTRY");
    if (configured != nullptr && *configured != '\0')
        return configured;
    return kDefaultPath;
}

std::shared_ptr<Registry> Registry::processRegistry()
{
    std::lock_guard lock(g_processRegistryMutex);
    if (!g_processRegistry)
        Registry::open(defaultPath(), g_processRegistry);
    return g_processRegistry;
}

void Registry::setProcessRegistry(std::shared_ptr<Registry> registry)
{
    std::lock_guard lock(g_processRegistryMutex);
    g_processRegistry = std::move(registry);
}

// ---- transactions ----------------------------------------------------------------------

LSTATUS Registry::checkWritable() const
{
    return writeAccessTo(m_path).error == 0 ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

std::string Registry::describeWriteFailure() const
{
    const WriteAccess access = writeAccessTo(m_path);
    if (access.error == 0)
        return "the registry " + m_path.string() + " could not be written";
    const std::string what = access.folder ? "the registry's folder " + m_path.parent_path().string()
                                           : "the registry " + m_path.string();
    return what + " cannot be written (" + std::strerror(access.error) + ")";
}

LSTATUS Registry::beginLocked()
{
    if (m_transactionDepth == 0) {
        if (const LSTATUS denied = checkWritable(); denied != ERROR_SUCCESS)
            return denied;
    }
    LSTATUS status = execute(m_transactionDepth == 0 ? "BEGIN IMMEDIATE" : "SAVEPOINT nested");
    if (status == ERROR_SUCCESS)
        ++m_transactionDepth;
    return status;
}

LSTATUS Registry::commitLocked()
{
    --m_transactionDepth;
    if (m_transactionDepth > 0)
        return execute("RELEASE nested");
    LSTATUS status = execute("COMMIT");
    if (status != ERROR_SUCCESS)
        execute("ROLLBACK");
    return status;
}

void Registry::rollbackLocked()
{
    --m_transactionDepth;
    if (m_transactionDepth > 0)
        execute("ROLLBACK TO nested; RELEASE nested");
    else
        execute("ROLLBACK");
}

// ---- keys ------------------------------------------------------------------------------

LSTATUS Registry::checkKey(KeyId key)
{
    std::lock_guard lock(m_mutex);
    SqliteStatement query(m_db, "SELECT 1 FROM keys WHERE id = ?1");
    const int rc = query.bind(1, key).step();
    if (rc == SQLITE_ROW)
        return ERROR_SUCCESS;
    return rc == SQLITE_DONE ? ERROR_KEY_DELETED : registryStatusFromSqlite(rc);
}

LSTATUS Registry::findChild(KeyId parent, std::string_view name, KeyId& child)
{
    std::lock_guard lock(m_mutex);
    SqliteStatement query(m_db, "SELECT id FROM keys WHERE parent = ?1 AND name = ?2");
    const int rc = query.bind(1, parent).bindText(2, name).step();
    if (rc == SQLITE_ROW) {
        child = query.columnInt(0);
        return ERROR_SUCCESS;
    }
    return rc == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : registryStatusFromSqlite(rc);
}

LSTATUS Registry::createChild(KeyId parent, std::string_view name, KeyId& child, bool& created)
{
    std::lock_guard lock(m_mutex);
    created = false;
    LSTATUS status = findChild(parent, name, child);
    if (status != ERROR_FILE_NOT_FOUND)
        return status;
    SqliteStatement insert(m_db, "INSERT INTO keys(parent, name) VALUES (?1, ?2)");
    status = registryStatusFromSqlite(insert.bind(1, parent).bindText(2, name).run());
    if (status != ERROR_SUCCESS)
        return status;
    child = sqlite3_last_insert_rowid(m_db);
    created = true;
    return ERROR_SUCCESS;
}

LSTATUS Registry::childAt(KeyId parent, DWORD index, std::string& name)
{
    std::lock_guard lock(m_mutex);
    SqliteStatement query(m_db,
                          "SELECT name FROM keys WHERE parent = ?1 ORDER BY name LIMIT 1 OFFSET ?2");
    const int rc = query.bind(1, parent).bind(2, index).step();
    if (rc == SQLITE_ROW) {
        name = query.columnText(0);
        return ERROR_SUCCESS;
    }
    return rc == SQLITE_DONE ? ERROR_NO_MORE_ITEMS : registryStatusFromSqlite(rc);
}

LSTATUS Registry::hasChildren(KeyId key, bool& result)
{
    std::lock_guard lock(m_mutex);
    SqliteStatement query(m_db, "SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1");
    const int rc = query.bind(1, key).step();
    result = rc == SQLITE_ROW;
    return rc == SQLITE_ROW || rc == SQLITE_DONE ? ERROR_SUCCESS : registryStatusFromSqlite(rc);
}

LSTATUS Registry::deleteBelow(KeyId key, bool includeKey)
{
    return atomically([&] {
        SqliteStatement values(m_db, std::string(kSubtree) +
                                         "DELETE FROM vals WHERE key IN tree OR key = ?1");
        LSTATUS status = registryStatusFromSqlite(values.bind(1, key).run());
        if (status != ERROR_SUCCESS)
            return status;
        SqliteStatement keys(m_db, std::string(kSubtree) + "DELETE FROM keys WHERE id IN tree");
        status = registryStatusFromSqlite(keys.bind(1, key).run());
        if (status != ERROR_SUCCESS || !includeKey)
            return status;
        SqliteStatement self(m_db, "DELETE FROM keys WHERE id = ?1");
        return registryStatusFromSqlite(self.bind(1, key).run());
    });
}

// ---- values ----------------------------------------------------------------------------

LSTATUS Registry::readValue(KeyId key, std::string_view name, DWORD& type,
                            std::vector<BYTE>& data)
{
    std::lock_guard lock(m_mutex);
    SqliteStatement query(m_db, "SELECT type, data FROM vals WHERE key = ?1 AND name = ?2");
    const int rc = query.bind(1, key).bindText(2, name).step();
    if (rc != SQLITE_ROW)
        return rc == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : registryStatusFromSqlite(rc);
    type = static_cast<DWORD>(query.columnInt(0));
    data = query.columnBlob(1);
    return ERROR_SUCCESS;
}

LSTATUS Registry::writeValue(KeyId key, std::string_view name, DWORD type, const BYTE* data,
                             DWORD size)
{
    std::lock_guard lock(m_mutex);
    // An existing value keeps its place in the enumeration order and its spelling.
    SqliteStatement upsert(m_db,
                           "INSERT INTO vals(key, name, type, data) VALUES (?1, ?2, ?3, ?4) "
                           "ON CONFLICT(key, name) DO UPDATE SET type = ?3, data = ?4");
    upsert.bind(1, key).bindText(2, name).bind(3, type).bindBlob(4, data, size);
    return registryStatusFromSqlite(upsert.run());
}

LSTATUS Registry::deleteValue(KeyId key, std::string_view name)
{
    std::lock_guard lock(m_mutex);
    SqliteStatement erase(m_db, "DELETE FROM vals WHERE key = ?1 AND name = ?2");
    LSTATUS status = registryStatusFromSqlite(erase.bind(1, key).bindText(2, name).run());
    if (status != ERROR_SUCCESS)
        return status;
    return sqlite3_changes(m_db) == 0 ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
}

LSTATUS Registry::valueAt(KeyId key, DWORD index, std::string& name, DWORD& type,
                          std::vector<BYTE>& data)
{
    std::lock_guard lock(m_mutex);
    SqliteStatement query(
        m_db, "SELECT name, type, data FROM vals WHERE key = ?1 ORDER BY id LIMIT 1 OFFSET ?2");
    const int rc = query.bind(1, key).bind(2, index).step();
    if (rc != SQLITE_ROW)
        return rc == SQLITE_DONE ? ERROR_NO_MORE_ITEMS : registryStatusFromSqlite(rc);
    name = query.columnText(0);
    type = static_cast<DWORD>(query.columnInt(1));
    data = query.columnBlob(2);
    return ERROR_SUCCESS;
}

}  // namespace orv::platform
