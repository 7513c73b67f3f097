// One prepared SQLite statement, finalised on destruction.
#pragma once

#include "platform/com/WinTypes.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace orv::platform {

class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // SQLITE_OK when the statement compiled; steps on a failed statement return this.
    int prepareResult() const { return m_prepareResult; }

    // Parameters are numbered from 1, as in the SQL text (?1, ?2, ...).
    SqliteStatement& bind(int index, std::int64_t value);
    SqliteStatement& bindText(int index, std::string_view text);
    SqliteStatement& bindBlob(int index, const void* data, std::size_t size);

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    // Steps through a statement that returns no rows; SQLITE_DONE becomes SQLITE_OK.
    int run();

    std::int64_t columnInt(int column) const;
    std::string columnText(int column) const;
    std::vector<BYTE> columnBlob(int column) const;

private:
    sqlite3_stmt* m_stmt = nullptr;
    int m_prepareResult;
};

}  // namespace orv::platform
