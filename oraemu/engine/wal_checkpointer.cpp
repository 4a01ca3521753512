#include "wal_checkpointer.h"

#include "sqlite_util.h"
#include "storage_tuning.h"

namespace oraemu {

WalCheckpointer::WalCheckpointer(sqlite3* writer, std::string path)
    : writer_(writer),
      path_(std::move(path)),
      startPages_(int(backgroundCheckpointBytes / pageSizeOf(writer))),
      ownCheckpointPages_(int(checkpointBytes / pageSizeOf(writer)))
{
    // Takes the place of the connection's automatic checkpoint, which afterCommit keeps.
    sqlite3_wal_hook(writer_, &WalCheckpointer::afterCommit, this);
}

WalCheckpointer::~WalCheckpointer()
{
    sqlite3_wal_hook(writer_, nullptr, nullptr);
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
    }
    wanted_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

int WalCheckpointer::afterCommit(void* self, sqlite3* db, const char* schema, int walPages)
{
    auto* checkpointer = static_cast<WalCheckpointer*>(self);
    if (walPages < checkpointer->startPages_)
        return SQLITE_OK;
    // The WAL grew past the automatic checkpoint's size all the same (the thread could not open
    // the file, or readers held the pages back): the writer checkpoints as SQLite's own hook does.
    if (walPages >= checkpointer->ownCheckpointPages_)
        sqlite3_wal_checkpoint_v2(db, schema, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    std::lock_guard lock(checkpointer->mutex_);
    checkpointer->checkpointWanted_ = true;
    if (!checkpointer->thread_.joinable())
        checkpointer->thread_ = std::thread([checkpointer] { checkpointer->run(); });
    checkpointer->wanted_.notify_one();
    return SQLITE_OK;
}

void WalCheckpointer::run()
{
    sqlite3* raw = nullptr;
    sqlite3_open_v2(path_.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    const SqliteDb db(raw);
    if (!raw || sqlite3_exec(raw, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr) != SQLITE_OK)
        return;  // the session's own connection checkpoints at its close, as without this thread
    std::unique_lock lock(mutex_);
    for (;;) {
        wanted_.wait(lock, [this] { return checkpointWanted_ || ending_; });
        if (ending_)
            return;
        checkpointWanted_ = false;
        lock.unlock();
        sqlite3_wal_checkpoint_v2(raw, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
        lock.lock();
    }
}

}  // namespace oraemu
