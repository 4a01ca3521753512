#pragma once

#include <cstdint>
#include <set>
#include <string>

namespace oraemu {

// Oracle's table locks between the sessions of one database file, in every process that opens it:
// a session that changes a table holds a shared lock on it until its transaction ends, and DDL on
// the table takes it exclusively. The locks are byte-range locks on the side file "<database>-locks",
// one byte per table id, owned by the session's own open file (so two sessions of one process
// exclude each other too).
class TableLocks {
public:
    explicit TableLocks(const std::string& databasePath);
    ~TableLocks();
    TableLocks(const TableLocks&) = delete;
    TableLocks& operator=(const TableLocks&) = delete;

    // Before a change of the table: waits while DDL on it runs, then holds the table until
    // releaseAll(). ORA-00054 when the DDL outlasts `waitMs`.
    void lockForChange(std::int64_t tableId, int waitMs);
    // Before DDL on the table: ORA-00054 when another session still holds changes on it after
    // `waitMs`. Held until releaseAll().
    void lockForDdl(std::int64_t tableId, int waitMs);
    // At commit and rollback.
    void releaseAll();

private:
    bool tryLock(std::int64_t tableId, bool exclusive);
    void lockWithin(std::int64_t tableId, bool exclusive, int waitMs);

    int fd_ = -1;
    std::set<std::int64_t> held_;
    std::set<std::int64_t> exclusive_;
};

}  // namespace oraemu
