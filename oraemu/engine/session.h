#pragma once

#include "ast.h"
#include "catalog.h"
#include "nls.h"
#include "sqlite_util.h"
#include "table_locks.h"
#include "wal_checkpointer.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace oraemu {

class Statement;

// One logged-on Oracle session: its own SQLite connection, user, NLS settings and transaction.
class Session {
public:
    // ORA-12154 for a path that is no database, ORA-01017 for a wrong user or password.
    static std::unique_ptr<Session> logon(const std::string& path, const std::string& user,
                                          const std::string& password);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const std::string& user() const { return user_; }
    // Days until the password expires when it is in its grace period (ORA-28002), else 0.
    int passwordGraceDays() const { return passwordGraceDays_; }
    Nls& nls() { return nls_; }
    Catalog& catalog() { return catalog_; }
    sqlite3* db() const { return db_.get(); }

    // A prepared statement for the text: a cached one when the same text was released before.
    std::unique_ptr<Statement> acquire(std::string_view sql);
    void release(std::unique_ptr<Statement> statement);

    // Oracle transactions: the first change opens one; commit or rollback ends it.
    void beginWrite();
    bool inTransaction() const { return inTransaction_; }
    void commit();
    void rollback();
    // Runs a DDL action as Oracle does: commits first, then the action in its own transaction.
    // With the table it changes (its id, 0 for none), it waits at most ddlLockWaitMs while another
    // session holds uncommitted changes on that table, then fails with ORA-00054.
    void runDdl(const std::function<void()>& action, std::int64_t tableId = 0);
    // Before rows of the table change: holds it against DDL of other sessions until the
    // transaction ends (waiting while such DDL runs).
    void lockForChange(std::int64_t tableId);
    // SELECT ... FOR UPDATE: the locks of a change of the table, so that other sessions' changes
    // wait for this transaction's end. `wait` false (NOWAIT): ORA-00054 at once when another
    // session holds them.
    void lockForUpdate(std::int64_t tableId, bool wait);
    // The id of the table a statement names, 0 when there is none (the statement reports that).
    std::int64_t tableIdOf(const ObjectName& name);
    // An orderly logoff: commits, then builds the indexes left pending in the database (see
    // Catalog::addIndex), each in a transaction of its own.
    void logoff();

    // The owner a statement means: the given schema, or this session's user.
    std::string ownerOf(const std::string& schema) const { return schema.empty() ? user_ : schema; }

private:
    Session(SqliteDb db, std::string user, const std::string& path);
    void keepTakenIdentityValues();

    SqliteDb db_;
    WalCheckpointer checkpointer_;  // ends before db_ closes
    TableLocks locks_;
    std::string user_;
    Nls nls_;
    Catalog catalog_;
    bool inTransaction_ = false;
    int passwordGraceDays_ = 0;
    std::multimap<std::string, std::unique_ptr<Statement>, std::less<>> cache_;
};

}  // namespace oraemu
