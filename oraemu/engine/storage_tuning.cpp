#include "storage_tuning.h"

#include "sqlite_util.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace oraemu {

namespace {

std::int64_t cacheMiBFromEnvironment()
{
    const char* text = std::getenv("ORAEMU_CACHE_MB");
    if (!text || !*text)
        return 0;
    char* end = nullptr;
    const long long mib = std::strtoll(text, &end, 10);
    return *end == '\0' && mib > 0 && mib <= 1024 * 1024 ? mib : 0;
}

}  // namespace

std::int64_t pageSizeOf(sqlite3* db)
{
    SqlStatement query(db, "PRAGMA page_size");
    query.step();
    const std::int64_t size = query.columnInt(0);
    return size > 0 ? size : 4096;
}

std::int64_t pageCacheKiB()
{
    const std::int64_t mib = cacheMiBFromEnvironment();
    return (mib > 0 ? mib : defaultPageCacheMiB) * 1024;
}

void tuneConnection(sqlite3* db)
{
    // Commits write their pages to the WAL without waiting for the disk; a checkpoint syncs the WAL
    // before it copies pages back. So a committed transaction survives a crash of the process at
    // once, and the file stays consistent after a crash of the machine (the last commits before it
    // may be lost).
    sqlExec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA case_sensitive_like=ON;");
    const std::int64_t checkpointPages = checkpointBytes / pageSizeOf(db);
    sqlExec(db, "PRAGMA cache_size=-" + std::to_string(pageCacheKiB()) +
                    "; PRAGMA wal_autocheckpoint=" + std::to_string(checkpointPages) +
                    "; PRAGMA journal_size_limit=" + std::to_string(checkpointBytes) + ";");
}

IndexBuildCache::IndexBuildCache(sqlite3* db) : db_(db)
{
    sqlExec(db_, "PRAGMA cache_size=-" + std::to_string(std::min(indexBuildCacheMiB * 1024, pageCacheKiB())));
}

IndexBuildCache::~IndexBuildCache()
{
    sqlite3_exec(db_, ("PRAGMA cache_size=-" + std::to_string(pageCacheKiB())).c_str(), nullptr, nullptr, nullptr);
}

}  // namespace oraemu
