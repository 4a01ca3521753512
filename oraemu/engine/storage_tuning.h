#pragma once

#include <sqlite3.h>

#include <cstdint>

namespace oraemu {

// How oraemu sets SQLite up for what it mostly does: array inserts into keyed and indexed tables,
// committed every few thousand rows, with other sessions reading what was committed.

// Page size of new database files. Every page a transaction changed is written to the WAL at its
// commit. Rows that arrive in key order fill pages one after the other, so larger pages only cut the
// number of writes and page operations; a key or unique index whose values arrive in random order
// changes about one leaf per row, and there larger pages multiply the bytes. Non-unique indexes are
// built after the load (see Catalog::addIndex), and a converted table's rows come in key order, so
// the load that matters here is the first kind. Measured with 5000-row commits at a million rows:
// the benchmark's table took 11 % less CPU with 8 KiB pages and 16 % less with 16 KiB than with
// 4 KiB; a SQLite table with a random text key took 22 % longer and wrote 40 % more bytes with 8 KiB
// pages, 80 % longer with 16 KiB. 2 KiB and 1 KiB pages cost 15 % and 35 % more CPU and put rows
// over a few hundred bytes of a WITHOUT ROWID table on overflow pages.
inline constexpr int newFilePageSize = 16384;

// The page cache of each connection in KiB: the environment variable ORAEMU_CACHE_MB when it holds
// a positive whole number of MiB, otherwise defaultPageCacheMiB. A fixed size, so that memory does
// not grow with the table. A load whose rows come in key order touches only the last pages of the
// table; non-unique indexes are built afterwards; so what a larger cache would hold are the leaves
// of a unique index whose values come in random order, and those outgrow any fixed cache: measured
// at 2 million rows with a random 32-character unique key, 16 MiB loaded as fast as 64 MiB. Every
// page the cache takes in is memory touched for the first time (a page fault each 4 KiB), so
// 16 MiB loaded the benchmark's million-row table 0.1-0.2 s faster than 64 MiB, with half the
// peak memory.
inline constexpr std::int64_t defaultPageCacheMiB = 16;
std::int64_t pageCacheKiB();

// The WAL is checkpointed into the database file once it holds this many bytes of pages: each
// checkpoint syncs the WAL and the file, so fewer and larger ones keep a load from waiting on the disk.
inline constexpr std::int64_t checkpointBytes = 256 * 1024 * 1024;

// While a session writes, its committed pages are copied into the database file on another thread
// (WalCheckpointer) whenever the WAL holds this many bytes: the copy then overlaps the writing
// rather than following it at the close.
inline constexpr std::int64_t backgroundCheckpointBytes = 16 * 1024 * 1024;

// The page size of the connection's database file.
std::int64_t pageSizeOf(sqlite3* db);

// Sets up an open connection: WAL journal, synchronous NORMAL, the page cache, the checkpoint size.
void tuneConnection(sqlite3* db);

// The page cache while an index is built from a table's rows. SQLite sorts the keys in runs of the
// page cache's size, and a build reads the table once in order, so a small cache is enough and a
// run that fits the processor's caches sorts faster: measured on the benchmark's million-row table
// (one text index), 4 MiB built the index in 0.36 s, 16 MiB in 0.48 s, 64 MiB in 0.75 s; sorter
// threads (PRAGMA threads) made it slower.
inline constexpr std::int64_t indexBuildCacheMiB = 4;

// Gives a connection the index-build page cache for its lifetime, then the usual one again.
class IndexBuildCache {
public:
    explicit IndexBuildCache(sqlite3* db);
    ~IndexBuildCache();
    IndexBuildCache(const IndexBuildCache&) = delete;
    IndexBuildCache& operator=(const IndexBuildCache&) = delete;

private:
    sqlite3* db_;
};

}  // namespace oraemu
