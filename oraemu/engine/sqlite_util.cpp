#include "sqlite_util.h"

#include "ora_error.h"

#include <cstdlib>
#include <utility>

namespace oraemu {

void throwSqliteError(sqlite3* db, int rc)
{
    const int primary = rc & 0xff;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        throw OraError(54, "resource busy and acquire with NOWAIT specified or timeout expired");
    const char* text = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    // Errors raised by oraemu's own SQL functions carry their Oracle number.
    const std::string message = text;
    if (message.size() > 11 && message.compare(0, 4, "ORA-") == 0 && message.compare(9, 2, ": ") == 0)
        throw OraError(std::atoi(message.c_str() + 4), message.substr(11));
    throw OraError(600, std::string("internal error code, arguments: [oraemu], [") + text + "]");
}

SqlStatement::SqlStatement(sqlite3* db, std::string_view sql)
{
    const int rc = sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
    if (rc != SQLITE_OK)
        throwSqliteError(db, rc);
}

SqlStatement::~SqlStatement()
{
    sqlite3_finalize(stmt_);
}

SqlStatement::SqlStatement(SqlStatement&& other) noexcept : stmt_(std::exchange(other.stmt_, nullptr))
{
}

SqlStatement& SqlStatement::operator=(SqlStatement&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(stmt_);
        stmt_ = std::exchange(other.stmt_, nullptr);
    }
    return *this;
}

void SqlStatement::bindNull(int index) { sqlite3_bind_null(stmt_, index); }
void SqlStatement::bind(int index, std::int64_t value) { sqlite3_bind_int64(stmt_, index, value); }
void SqlStatement::bindDouble(int index, double value) { sqlite3_bind_double(stmt_, index, value); }

void SqlStatement::bind(int index, std::string_view text)
{
    sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void SqlStatement::bindStatic(int index, std::string_view text)
{
    sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_STATIC, SQLITE_UTF8);
}

void SqlStatement::bindBlob(int index, std::string_view bytes)
{
    sqlite3_bind_blob64(stmt_, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
}

void SqlStatement::bindBlobStatic(int index, std::string_view bytes)
{
    sqlite3_bind_blob64(stmt_, index, bytes.data(), bytes.size(), SQLITE_STATIC);
}

int SqlStatement::stepRaw()
{
    return sqlite3_step(stmt_);
}

bool SqlStatement::step()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3* db = sqlite3_db_handle(stmt_);
    sqlite3_reset(stmt_);
    throwSqliteError(db, rc);
}

void SqlStatement::reset()
{
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

std::string SqlStatement::columnText(int index) const
{
    const auto* text = sqlite3_column_text(stmt_, index);
    const int size = sqlite3_column_bytes(stmt_, index);
    return text ? std::string(reinterpret_cast<const char*>(text), size) : std::string();
}

void sqlExec(sqlite3* db, const std::string& sql)
{
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    sqlite3_free(error);
    if (rc != SQLITE_OK)
        throwSqliteError(db, rc);
}

std::string sqlQuote(std::string_view text)
{
    std::string quoted = "'";
    for (char c : text) {
        quoted += c;
        if (c == '\'')
            quoted += '\'';
    }
    quoted += '\'';
    return quoted;
}

}  // namespace oraemu
