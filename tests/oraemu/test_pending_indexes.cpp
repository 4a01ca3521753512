// A non-unique index is in the catalog from its CREATE INDEX on, but its SQLite index is built only
// at an orderly logoff: until then queries find the same rows without it, and a bulk load appends
// rows instead of updating the index row by row. Unique indexes and keys are built and enforced at
// once. A logoff builds them only when no other session is writing, so it never waits.
#include "database.h"
#include "oci_session.h"
#include "oraemu_test_db.h"
#include "session.h"
#include "statement.h"

#include <gtest/gtest.h>

#include <memory>

using oraemutest::BindColumn;
using oraemutest::OciSession;

namespace {

using Rows = std::vector<std::vector<std::string>>;

class PendingIndexes : public ::testing::Test {
protected:
    std::string service() const { return db.service().toStdString(); }

    // The names of the SQLite indexes on data tables, as built in the file.
    Rows builtIndexes() const
    {
        return names("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name LIKE 'd\\_%' "
                     "ESCAPE '\\' ORDER BY name");
    }

    Rows pendingIndexes() const
    {
        return names("SELECT i.name FROM oraemu_pending_indexes p JOIN oraemu_indexes i ON i.id = p.index_id "
                     "ORDER BY i.name");
    }

    // The first column of a query on the file itself, one row each.
    Rows names(const char* sql) const
    {
        oraemu::SqliteDb file = oraemu::openDatabase(service());
        oraemu::SqlStatement query(file.get(), sql);
        Rows result;
        while (query.step())
            result.push_back({query.columnText(0)});
        return result;
    }

    void run(OciSession& session, const std::vector<std::string>& statements)
    {
        for (const std::string& sql : statements) {
            const auto result = session.execute(sql);
            ASSERT_EQ(result.status, oci::SUCCESS) << sql << ": " << result.message;
        }
    }

    testsupport::ScratchOracleDatabase db;
};

TEST_F(PendingIndexes, ANonUniqueIndexIsListedAtOnceAndBuiltAtLogoff)
{
    auto loader = std::make_unique<OciSession>(service(), "SCOTT", "tiger");
    OciSession reader(service(), "SCOTT", "tiger");
    run(*loader, {"create table T (K number(10), NAME varchar2(20), CODE varchar2(5))",
                  "alter table T add constraint T_PK primary key (K)", "create index T_NAME on T (NAME)",
                  "create unique index T_CODE on T (CODE)"});
    const auto load = loader->executeArray("insert into T values (:1, :2, :3)",
                                           {{oci::SQLT_CHR, {"1", "2", "3"}},
                                            {oci::SQLT_CHR, {"b", "a", "b"}},
                                            {oci::SQLT_CHR, {"x", "y", "z"}}});
    ASSERT_EQ(load.status, oci::SUCCESS) << load.message;
    ASSERT_EQ(loader->commit().status, oci::SUCCESS);

    EXPECT_EQ(reader.query("select INDEX_NAME, UNIQUENESS from USER_INDEXES where TABLE_NAME = 'T' order by 1"),
              (Rows{{"T_CODE", "UNIQUE"}, {"T_NAME", "NONUNIQUE"}, {"T_PK", "UNIQUE"}}));
    EXPECT_EQ(reader.query("select COLUMN_NAME from USER_IND_COLUMNS where INDEX_NAME = 'T_NAME'"), (Rows{{"NAME"}}));
    EXPECT_EQ(reader.query("select K from T where NAME = 'b' order by K"), (Rows{{"1"}, {"3"}}));
    EXPECT_EQ(reader.execute("create index T_NAME on T (CODE)").code, 955);
    EXPECT_EQ(reader.execute("create index T_NAME2 on T (NAME)").code, 1408);
    EXPECT_EQ(loader->execute("insert into T values (4, 'c', 'x')").code, 1);  // the unique index enforces at once
    EXPECT_EQ(pendingIndexes(), (Rows{{"T_NAME"}}));
    const Rows beforeLogoff = builtIndexes();

    loader.reset();  // an orderly logoff (OCISessionEnd)
    EXPECT_EQ(pendingIndexes(), Rows{});
    EXPECT_EQ(builtIndexes().size(), beforeLogoff.size() + 1);
    EXPECT_EQ(reader.query("select K from T where NAME = 'b' order by K"), (Rows{{"1"}, {"3"}}));
    EXPECT_EQ(reader.query("select count(*) from T"), (Rows{{"3"}}));
}

TEST_F(PendingIndexes, ASessionThatEndsWithoutLogoffLeavesItForTheNextLogoff)
{
    {
        auto session = oraemu::Session::logon(service(), "SCOTT", "tiger");
        for (const char* sql : {"create table T (A varchar2(10), B number)", "create index T_AB on T (A, B)",
                                "insert into T values ('a', 1)", "commit"}) {
            oraemu::Statement statement(*session, sql);
            oraemu::NoBinds none;
            statement.execute(none, 1);
        }
    }  // gone without a logoff, as when its process dies
    EXPECT_EQ(pendingIndexes(), (Rows{{"T_AB"}}));

    OciSession next(service(), "SCOTT", "tiger");
    EXPECT_EQ(next.query("select B from T where A = 'a'"), (Rows{{"1"}}));
    {
        OciSession other(service(), "SCOTT", "tiger");
    }
    EXPECT_EQ(pendingIndexes(), Rows{});
    EXPECT_EQ(builtIndexes().size(), 1u);
}

TEST_F(PendingIndexes, ALogoffLeavesThemWhileAnotherSessionIsWriting)
{
    auto writer = std::make_unique<OciSession>(service(), "SCOTT", "tiger");
    run(*writer, {"create table T (A varchar2(10))", "create index T_A on T (A)", "insert into T values ('open')"});
    {
        OciSession reader(service(), "SCOTT", "tiger");
        EXPECT_EQ(reader.query("select count(*) from T"), (Rows{{"0"}}));
    }  // logs off while the writer's transaction is open
    EXPECT_EQ(pendingIndexes(), (Rows{{"T_A"}}));

    writer.reset();
    EXPECT_EQ(pendingIndexes(), Rows{});
    OciSession reader(service(), "SCOTT", "tiger");
    EXPECT_EQ(reader.query("select A from T where A = 'open'"), (Rows{{"open"}}));
}

TEST_F(PendingIndexes, ADroppedTableOrANewKeyKeepsTheRecordRight)
{
    {
        OciSession session(service(), "SCOTT", "tiger");
        run(session, {"create table GONE (A varchar2(10))", "create index GONE_A on GONE (A)", "drop table GONE",
                      "create table T (K varchar2(10), V varchar2(10))", "insert into T values ('k', 'v')",
                      "commit", "create index T_V on T (V)", "alter table T add constraint T_PK primary key (K)"});
        EXPECT_EQ(pendingIndexes(), (Rows{{"T_V"}}));  // the table rebuilt for its key left it pending
        EXPECT_EQ(session.query("select K from T where V = 'v'"), (Rows{{"k"}}));
    }
    EXPECT_EQ(pendingIndexes(), Rows{});
    OciSession reader(service(), "SCOTT", "tiger");
    EXPECT_EQ(reader.query("select INDEX_NAME from USER_INDEXES order by 1"), (Rows{{"T_PK"}, {"T_V"}}));
    EXPECT_EQ(reader.query("select K from T where V = 'v'"), (Rows{{"k"}}));
}

TEST_F(PendingIndexes, AFileFromBeforePendingIndexesGetsTheirRecordWhenOpened)
{
    {
        oraemu::SqliteDb file = oraemu::openDatabase(service());
        oraemu::sqlExec(file.get(), "DROP TABLE oraemu_pending_indexes");
    }
    {
        OciSession session(service(), "SCOTT", "tiger");
        run(session, {"create table T (A varchar2(10))", "create index T_A on T (A)"});
        EXPECT_EQ(pendingIndexes(), (Rows{{"T_A"}}));
    }
    EXPECT_EQ(pendingIndexes(), Rows{});
    EXPECT_EQ(builtIndexes().size(), 1u);
}

}  // namespace
