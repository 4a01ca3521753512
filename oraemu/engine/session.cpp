#include "session.h"

#include "database.h"
#include "database_charset.h"
#include "identifiers.h"
#include "ora_error.h"
#include "statement.h"
#include "storage_tuning.h"
#include "time_zone.h"

namespace oraemu {

namespace {
constexpr std::size_t maxCachedStatements = 64;
// How long DDL waits for another session's uncommitted changes on its table to end. Oracle's
// DDL_LOCK_TIMEOUT is 0 by default; a short wait lets a commit that is just under way finish.
constexpr int ddlLockWaitMs = 1000;
}

std::unique_ptr<Session> Session::logon(const std::string& path, const std::string& user, const std::string& password)
{
    SqliteDb db = openDatabase(path);
    std::string name = user;
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
        name = name.substr(1, name.size() - 2);
    else
        name = foldName(name);
    SqlStatement query(db.get(), "SELECT password FROM oraemu_users WHERE name = ?");
    query.bind(1, name);
    if (!query.step() || query.columnText(0) != password)
        throw OraError(1017, "invalid username/password; logon denied");
    const int graceDays = oraemu::passwordGraceDays(db.get(), name);
    std::string characterSet = databaseCharacterSet(db.get());
    auto session = std::unique_ptr<Session>(new Session(std::move(db), name, path));
    session->passwordGraceDays_ = graceDays;
    session->nls_.databaseCharset = std::move(characterSet);
    session->nls_.timeZoneMinutes = sessionTimeZoneAtLogon();
    return session;
}

Session::Session(SqliteDb db, std::string user, const std::string& path)
    : db_(std::move(db)), checkpointer_(db_.get(), path), locks_(path), user_(std::move(user)), catalog_(db_.get())
{
}

void Session::lockForChange(std::int64_t tableId)
{
    locks_.lockForChange(tableId, busyTimeoutMs);
}

void Session::lockForUpdate(std::int64_t tableId, bool wait)
{
    if (tableId != 0)  // 0: DUAL or a catalog view, which no session changes
        locks_.lockForChange(tableId, wait ? busyTimeoutMs : 0);
    struct BusyTimeoutRestorer {
        sqlite3* db;
        ~BusyTimeoutRestorer() { sqlite3_busy_timeout(db, busyTimeoutMs); }
    } const restorer{db_.get()};
    sqlite3_busy_timeout(db_.get(), wait ? busyTimeoutMs : 0);
    beginWrite();
}

std::int64_t Session::tableIdOf(const ObjectName& name)
{
    const auto table = catalog_.findTable(ownerOf(name.schema), name.name);
    return table ? table->id : 0;
}

Session::~Session()
{
    cache_.clear();
    if (inTransaction_)
        sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
}

std::unique_ptr<Statement> Session::acquire(std::string_view sql)
{
    auto found = cache_.find(sql);
    if (found != cache_.end()) {
        std::unique_ptr<Statement> statement = std::move(found->second);
        cache_.erase(found);
        return statement;
    }
    return std::make_unique<Statement>(*this, std::string(sql));
}

void Session::release(std::unique_ptr<Statement> statement)
{
    if (!statement)
        return;
    statement->closeCursor();
    if (cache_.size() >= maxCachedStatements)
        cache_.erase(cache_.begin());
    const std::string key = statement->sql();
    cache_.emplace(key, std::move(statement));
}

void Session::beginWrite()
{
    if (inTransaction_)
        return;
    sqlExec(db_.get(), "BEGIN IMMEDIATE");
    inTransaction_ = true;
}

void Session::commit()
{
    if (inTransaction_) {
        sqlExec(db_.get(), "COMMIT");
        inTransaction_ = false;
    }
    catalog_.forgetTakenIdentityValues();
    locks_.releaseAll();
}

void Session::rollback()
{
    locks_.releaseAll();
    if (!inTransaction_)
        return;
    inTransaction_ = false;
    sqlExec(db_.get(), "ROLLBACK");
    keepTakenIdentityValues();
}

// The identity values the rolled back transaction took stay taken, in a transaction of their own.
void Session::keepTakenIdentityValues()
{
    if (!catalog_.tookIdentityValues())
        return;
    sqlExec(db_.get(), "BEGIN IMMEDIATE");
    try {
        catalog_.keepTakenIdentityValues();
        sqlExec(db_.get(), "COMMIT");
    } catch (...) {
        sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        catalog_.forgetTakenIdentityValues();
        throw;
    }
    catalog_.forgetTakenIdentityValues();
}

void Session::logoff()
{
    commit();
    const std::vector<std::int64_t> pending = catalog_.pendingIndexIds();
    if (pending.empty())
        return;
    // While another session's transaction holds the write lock, the indexes are left to a later
    // logoff rather than keeping this one waiting for it.
    struct BusyTimeoutRestorer {
        sqlite3* db;
        ~BusyTimeoutRestorer() { sqlite3_busy_timeout(db, busyTimeoutMs); }
    } const restorer{db_.get()};
    sqlite3_busy_timeout(db_.get(), 0);
    const IndexBuildCache cache(db_.get());
    for (std::int64_t indexId : pending) {
        // A build that fails (another session writing, a full disk) leaves the index pending for
        // the next logoff: the committed rows are not at stake, only how fast queries find them.
        try {
            beginWrite();
            catalog_.buildPendingIndex(indexId);
            commit();
        } catch (const std::exception&) {
            rollback();
            return;
        }
    }
}

void Session::runDdl(const std::function<void()>& action, std::int64_t tableId)
{
    commit();
    locks_.lockForDdl(tableId, ddlLockWaitMs);
    beginWrite();
    try {
        action();
        catalog_.bumpGeneration();
        commit();
    } catch (...) {
        rollback();
        throw;
    }
}

}  // namespace oraemu
