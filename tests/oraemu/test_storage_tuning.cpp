// How oraemu sets up its SQLite connections: WAL with synchronous NORMAL, and a page cache that
// ORAEMU_CACHE_MB can change.
#include "database.h"
#include "oraemu_test_db.h"
#include "storage_tuning.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Sets ORAEMU_CACHE_MB for one test and restores the earlier value.
class CacheVariable {
public:
    explicit CacheVariable(const char* value)
    {
        if (const char* old = std::getenv(name))
            saved_ = old, hadValue_ = true;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~CacheVariable()
    {
        if (hadValue_)
            setenv(name, saved_.c_str(), 1);
        else
            unsetenv(name);
    }

private:
    static constexpr const char* name = "ORAEMU_CACHE_MB";
    std::string saved_;
    bool hadValue_ = false;
};

std::int64_t pragmaValue(sqlite3* db, const char* pragma)
{
    oraemu::SqlStatement query(db, std::string("PRAGMA ") + pragma);
    query.step();
    return query.columnInt(0);
}

TEST(StorageTuning, CacheSizeComesFromTheEnvironmentWhenItIsAPositiveNumber)
{
    const std::int64_t fallback = oraemu::defaultPageCacheMiB * 1024;
    const struct {
        const char* value;
        std::int64_t kib;
    } cases[] = {
        {nullptr, fallback}, {"", fallback},  {"256", 256 * 1024}, {"1", 1024},
        {"0", fallback},     {"-5", fallback}, {"12x", fallback},  {"lots", fallback},
    };
    for (const auto& c : cases) {
        CacheVariable variable(c.value);
        EXPECT_EQ(oraemu::pageCacheKiB(), c.kib) << (c.value ? c.value : "(unset)");
    }
}

TEST(StorageTuning, ConnectionsUseWalSynchronousNormalAndTheConfiguredCache)
{
    CacheVariable variable("48");
    testsupport::ScratchOracleDatabase scratch;
    oraemu::SqliteDb db = oraemu::openDatabase(scratch.service().toStdString());
    oraemu::SqlStatement mode(db.get(), "PRAGMA journal_mode");
    ASSERT_TRUE(mode.step());
    EXPECT_EQ(mode.columnText(0), "wal");
    EXPECT_EQ(pragmaValue(db.get(), "synchronous"), 1);  // NORMAL
    EXPECT_EQ(pragmaValue(db.get(), "cache_size"), -48 * 1024);
    EXPECT_EQ(pragmaValue(db.get(), "page_size"), oraemu::newFilePageSize);
    EXPECT_EQ(pragmaValue(db.get(), "wal_autocheckpoint"), oraemu::checkpointBytes / oraemu::newFilePageSize);
}

}  // namespace
