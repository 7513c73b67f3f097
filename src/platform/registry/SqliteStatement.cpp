#include "platform/registry/SqliteStatement.h"

#include <sqlite3.h>

namespace orv::platform {

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql)
    : m_prepareResult(sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &m_stmt,
                                         nullptr))
{
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_stmt);
}

SqliteStatement& SqliteStatement::bind(int index, std::int64_t value)
{
    sqlite3_bind_int64(m_stmt, index, value);
    return *this;
}

SqliteStatement& SqliteStatement::bindText(int index, std::string_view text)
{
    sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
}

SqliteStatement& SqliteStatement::bindBlob(int index, const void* data, std::size_t size)
{
    // A zero-length blob must still be a blob, not NULL: the data column is NOT NULL.
    static const char kEmpty = 0;
    sqlite3_bind_blob64(m_stmt, index, size == 0 ? &kEmpty : data, size, SQLITE_TRANSIENT);
    return *this;
}

int SqliteStatement::step()
{
    if (m_prepareResult != SQLITE_OK)
        return m_prepareResult;
    return sqlite3_step(m_stmt);
}

int SqliteStatement::run()
{
    int rc = step();
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

std::int64_t SqliteStatement::columnInt(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

std::string SqliteStatement::columnText(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    const int size = sqlite3_column_bytes(m_stmt, column);
    return text == nullptr ? std::string() : std::string(text, static_cast<std::size_t>(size));
}

std::vector<BYTE> SqliteStatement::columnBlob(int column) const
{
    const auto* data = static_cast<const BYTE*>(sqlite3_column_blob(m_stmt, column));
    const int size = sqlite3_column_bytes(m_stmt, column);
    if (data == nullptr)
        return {};
    return std::vector<BYTE>(data, data + size);
}

}  // namespace orv::platform
