#pragma once

#include <sqlite3.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace oraemu {

// Copies a session's committed pages from the WAL into the database file on a thread of its own,
// with a connection of its own, while the session goes on writing. Without it the session's own
// connection does that copy: during a load whenever the WAL reaches its checkpoint size, and at
// the close for whatever is left, which for a load of a few hundred megabytes is most of it.
//
// The thread starts when the WAL first holds backgroundCheckpointBytes after a commit, so sessions that
// write little never start it. Each checkpoint is a passive one: it copies what no reader still
// needs and never waits for readers or writers. A checkpoint that fails is simply tried again after
// a later commit; should the WAL still reach checkpointBytes, the writer checkpoints itself, as
// without this class; the close of the last connection checkpoints whatever is left.
class WalCheckpointer {
public:
    WalCheckpointer(sqlite3* writer, std::string path);
    ~WalCheckpointer();  // waits for a checkpoint under way, then ends the thread
    WalCheckpointer(const WalCheckpointer&) = delete;
    WalCheckpointer& operator=(const WalCheckpointer&) = delete;

private:
    static int afterCommit(void* self, sqlite3* db, const char* schema, int walPages);
    void run();

    sqlite3* writer_;
    std::string path_;
    int startPages_;
    int ownCheckpointPages_;  // the automatic checkpoint's size, kept on the writer's own thread
    std::mutex mutex_;
    std::condition_variable wanted_;
    bool checkpointWanted_ = false;
    bool ending_ = false;
    std::thread thread_;
};

}  // namespace oraemu
