// How oraemu sets up its SQLite connections: WAL with synchronous NORMAL, a page cache that
// ORAEMU_CACHE_MB can change, and a load's pages copied into the file while it goes on.
#include "database.h"
#include "oci_session.h"
#include "oraemu_test_db.h"
#include "storage_tuning.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

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

// A session that commits more than the background checkpoint size finds its pages in the database
// file while it is still logged on (the session's own connection would copy them only at 256 MB
// or at its close), and nothing is lost by the copy running beside the writing.
TEST(StorageTuning, ALoadsPagesReachTheFileWhileTheSessionWrites)
{
    testsupport::ScratchOracleDatabase scratch;
    const std::string service = scratch.service().toStdString();
    const auto fileBytes = [&] { return std::filesystem::file_size(service); };
    const std::uintmax_t before = fileBytes();
    const std::size_t rows = 16000;  // 3000-byte values: about 50 MB
    {
        oraemutest::OciSession session(service, "SCOTT", "tiger");
        ASSERT_EQ(session.execute("create table T (ID number, V varchar2(3000))").status, oci::SUCCESS);
        for (std::size_t first = 0; first < rows; first += 1000) {
            oraemutest::BindColumn ids, values;
            for (std::size_t i = first; i < first + 1000; ++i) {
                ids.values.push_back(std::to_string(i));
                values.values.push_back(std::string(3000, char('a' + i % 26)));
            }
            const auto inserted = session.executeArray("insert into T values (:1, :2)", {ids, values});
            ASSERT_EQ(inserted.status, oci::SUCCESS) << inserted.message;
            ASSERT_EQ(session.commit().status, oci::SUCCESS);
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (fileBytes() < before + 16 * 1024 * 1024 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_GE(fileBytes(), before + 16 * 1024 * 1024) << "the committed pages stayed in the WAL";
    }
    oraemutest::OciSession reader(service, "SCOTT", "tiger");
    EXPECT_EQ(reader.query("select count(*), count(distinct V), sum(ID) from T"),
              (std::vector<std::vector<std::string>>{{std::to_string(rows), "26", std::to_string(rows * (rows - 1) / 2)}}));
}

}  // namespace
