#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace oraemu {

struct SqliteCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using SqliteDb = std::unique_ptr<sqlite3, SqliteCloser>;

// A prepared SQLite statement; reset (not finalized) between uses.
class SqlStatement {
public:
    SqlStatement() = default;
    SqlStatement(sqlite3* db, std::string_view sql);
    ~SqlStatement();
    SqlStatement(SqlStatement&& other) noexcept;
    SqlStatement& operator=(SqlStatement&& other) noexcept;
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    sqlite3_stmt* get() const { return stmt_; }
    explicit operator bool() const { return stmt_ != nullptr; }

    void bindNull(int index);
    void bind(int index, std::int64_t value);
    void bind(int index, std::string_view text);          // copied by SQLite
    void bindStatic(int index, std::string_view text);    // must live until step()
    void bindBlob(int index, std::string_view bytes);
    void bindBlobStatic(int index, std::string_view bytes);
    void bindDouble(int index, double value);

    // Steps once; true when a row is current. Throws OraError on failure.
    bool step();
    int stepRaw();  // the SQLite result code, for callers that map constraint errors
    void reset();

    std::int64_t columnInt(int index) const { return sqlite3_column_int64(stmt_, index); }
    std::string columnText(int index) const;
    bool columnIsNull(int index) const { return sqlite3_column_type(stmt_, index) == SQLITE_NULL; }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

// Runs statements without results; throws OraError on failure.
void sqlExec(sqlite3* db, const std::string& sql);

// The SQLite failure turned into an Oracle error (ORA-00600 style internal error, or busy).
[[noreturn]] void throwSqliteError(sqlite3* db, int rc);

// 'text' quoted as an SQLite string literal.
std::string sqlQuote(std::string_view text);

}  // namespace oraemu
