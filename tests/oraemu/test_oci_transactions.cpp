// Oracle transactions through OCI: array DML failing part way, visibility between two sessions,
// rollback, implicit commit by DDL, and OCI_COMMIT_ON_SUCCESS.
#include "oci_session.h"
#include "oraemu_test_db.h"

#include <gtest/gtest.h>

using oraemutest::BindColumn;
using oraemutest::OciSession;

namespace {

class OciTransactions : public ::testing::Test {
protected:
    void SetUp() override
    {
        writer = std::make_unique<OciSession>(db.service().toStdString(), "SCOTT", "tiger");
        reader = std::make_unique<OciSession>(db.service().toStdString(), "SCOTT", "tiger");
        ASSERT_EQ(writer->execute("create table T (K number(5), V varchar2(10))").status, oci::SUCCESS);
        ASSERT_EQ(writer->execute("alter table T add constraint T_PK primary key (K)").status, oci::SUCCESS);
    }

    std::string count(OciSession& session) { return session.query("select count(*) from T")[0][0]; }

    testsupport::ScratchOracleDatabase db;
    std::unique_ptr<OciSession> writer;
    std::unique_ptr<OciSession> reader;
};

TEST_F(OciTransactions, ArrayInsertStopsAtTheFailingRow)
{
    const std::vector<BindColumn> rows = {
        {oci::SQLT_CHR, {"1", "2", "3", "1", "5"}},
        {oci::SQLT_CHR, {"a", "b", "c", "dup", "e"}},
    };
    const auto result = writer->executeArray("insert into T values (:1, :2)", rows);
    EXPECT_EQ(result.status, oci::ERROR);
    EXPECT_EQ(result.message, "ORA-00001: unique constraint (SCOTT.T_PK) violated");
    EXPECT_EQ(result.rowCount, 3u);
    EXPECT_EQ(result.rowOffset, 3u);

    // Rows before the failing one stay in the open transaction; nothing after it was sent.
    EXPECT_EQ(count(*writer), "3");
    EXPECT_EQ(count(*reader), "0");
    ASSERT_EQ(writer->rollback().status, oci::SUCCESS);
    EXPECT_EQ(count(*writer), "0");

    ASSERT_EQ(writer->executeArray("insert into T values (:1, :2)", rows).code, 1);
    ASSERT_EQ(writer->commit().status, oci::SUCCESS);
    EXPECT_EQ(reader->query("select K, V from T order by K"),
              (std::vector<std::vector<std::string>>{{"1", "a"}, {"2", "b"}, {"3", "c"}}));
}

TEST_F(OciTransactions, ValueErrorsCarryTheRowOffsetToo)
{
    const std::vector<BindColumn> rows = {
        {oci::SQLT_CHR, {"1", "2", std::nullopt}},
        {oci::SQLT_CHR, {"a", "this is too long", "c"}},
    };
    const auto tooLong = writer->executeArray("insert into T values (:1, :2)", rows);
    EXPECT_EQ(tooLong.code, 12899);
    EXPECT_EQ(tooLong.rowOffset, 1u);
    EXPECT_EQ(tooLong.rowCount, 1u);
    writer->rollback();

    const std::vector<BindColumn> nullKey = {{oci::SQLT_CHR, {"1", std::nullopt}}, {oci::SQLT_CHR, {"a", "b"}}};
    const auto result = writer->executeArray("insert into T values (:1, :2)", nullKey);
    EXPECT_EQ(result.message, "ORA-01400: cannot insert NULL into (\"SCOTT\".\"T\".\"K\")");
    EXPECT_EQ(result.rowOffset, 1u);
    EXPECT_EQ(result.rowCount, 1u);
}

TEST_F(OciTransactions, OtherSessionsSeeOnlyCommittedRows)
{
    ASSERT_EQ(writer->execute("insert into T values (1, 'a')").status, oci::SUCCESS);
    EXPECT_EQ(count(*reader), "0");
    EXPECT_EQ(count(*writer), "1");
    ASSERT_EQ(writer->commit().status, oci::SUCCESS);
    EXPECT_EQ(count(*reader), "1");

    ASSERT_EQ(writer->execute("insert into T values (2, 'b')").status, oci::SUCCESS);
    ASSERT_EQ(writer->rollback().status, oci::SUCCESS);
    EXPECT_EQ(count(*reader), "1");
    EXPECT_EQ(count(*writer), "1");
}

TEST_F(OciTransactions, DdlCommitsTheOpenTransaction)
{
    ASSERT_EQ(writer->execute("insert into T values (1, 'a')").status, oci::SUCCESS);
    ASSERT_EQ(writer->execute("create table OTHER (X number)").status, oci::SUCCESS);
    ASSERT_EQ(writer->rollback().status, oci::SUCCESS);
    EXPECT_EQ(count(*reader), "1");
}

TEST_F(OciTransactions, CommitOnSuccessMode)
{
    ASSERT_EQ(writer->execute("insert into T values (1, 'a')", oci::COMMIT_ON_SUCCESS).status, oci::SUCCESS);
    EXPECT_EQ(count(*reader), "1");
    // A failing statement with the mode commits nothing.
    ASSERT_EQ(writer->execute("insert into T values (2, 'b')").status, oci::SUCCESS);
    EXPECT_EQ(writer->execute("insert into T values (1, 'dup')", oci::COMMIT_ON_SUCCESS).code, 1);
    EXPECT_EQ(count(*reader), "1");
    writer->rollback();
    EXPECT_EQ(count(*writer), "1");
}

TEST_F(OciTransactions, AReaderInTheMiddleOfAQueryDoesNotBlockAWriter)
{
    const std::vector<BindColumn> rows = {{oci::SQLT_INT, {"1", "2", "3"}}, {oci::SQLT_CHR, {"a", "b", "c"}}};
    ASSERT_EQ(writer->executeArray("insert into T values (:1, :2)", rows, oci::COMMIT_ON_SUCCESS).status, oci::SUCCESS);

    const auto& api = oraemutest::oci();
    OCIStmt* stmt = nullptr;
    const std::string sql = "select K from T order by K";
    ASSERT_EQ(api.StmtPrepare2(reader->svc(), &stmt, reader->error(), reinterpret_cast<const OraText*>(sql.data()),
                               static_cast<ub4>(sql.size()), nullptr, 0, oci::NTV_SYNTAX, oci::DEFAULT),
              oci::SUCCESS);
    std::int64_t key = 0;
    sb2 indicator = 0;
    OCIDefine* define = nullptr;
    ASSERT_EQ(api.DefineByPos(stmt, &define, reader->error(), 1, &key, sizeof key, oci::SQLT_INT, &indicator, nullptr,
                              nullptr, oci::DEFAULT),
              oci::SUCCESS);
    ASSERT_EQ(api.StmtExecute(reader->svc(), stmt, reader->error(), 1, 0, nullptr, nullptr, oci::DEFAULT), oci::SUCCESS);
    EXPECT_EQ(key, 1);

    ASSERT_EQ(writer->execute("insert into T values (4, 'd')", oci::COMMIT_ON_SUCCESS).status, oci::SUCCESS);

    std::vector<std::int64_t> rest;
    while (api.StmtFetch2(stmt, reader->error(), 1, oci::FETCH_NEXT, 0, oci::DEFAULT) == oci::SUCCESS)
        rest.push_back(key);
    EXPECT_EQ(rest, (std::vector<std::int64_t>{2, 3}));  // the query sees the rows as of its start
    ub4 rowCount = 0;
    api.AttrGet(stmt, oci::HTYPE_STMT, &rowCount, nullptr, oci::ATTR_ROW_COUNT, reader->error());
    EXPECT_EQ(rowCount, 3u);
    api.StmtRelease(stmt, reader->error(), nullptr, 0, oci::DEFAULT);
    EXPECT_EQ(count(*reader), "4");
}

TEST_F(OciTransactions, UpdateDeleteAndTruncate)
{
    const std::vector<BindColumn> rows = {{oci::SQLT_CHR, {"1", "2", "3"}}, {oci::SQLT_CHR, {"a", "b", "c"}}};
    ASSERT_EQ(writer->executeArray("insert into T values (:1, :2)", rows).status, oci::SUCCESS);
    // An array update: one execution per bound row.
    const auto updated = writer->executeArray("update T set V = :1 where K = :2",
                                              {{oci::SQLT_CHR, {"x", "y"}}, {oci::SQLT_CHR, {"1", "3"}}});
    ASSERT_EQ(updated.status, oci::SUCCESS) << updated.message;
    EXPECT_EQ(updated.rowCount, 2u);
    EXPECT_EQ(writer->execute("update T set K = 2 where K = 1").code, 1);
    const auto deleted = writer->execute("delete from T where K >= 2");
    EXPECT_EQ(deleted.rowCount, 2u);
    ASSERT_EQ(writer->commit().status, oci::SUCCESS);
    EXPECT_EQ(reader->query("select K, V from T"), (std::vector<std::vector<std::string>>{{"1", "x"}}));
    ASSERT_EQ(writer->execute("truncate table T").status, oci::SUCCESS);
    EXPECT_EQ(count(*reader), "0");
}

// DDL on a table another session holds uncommitted changes on waits briefly, as Oracle's DDL lock
// does, and then fails with ORA-00054 instead of waiting for the commit and dropping the rows.
TEST_F(OciTransactions, DdlOnATableWithAnotherSessionsUncommittedChangesFailsWithOra00054)
{
    ASSERT_EQ(writer->execute("insert into T values (1, 'a')").status, oci::SUCCESS);
    const char* statements[] = {"drop table T", "truncate table T", "create index T_V on T (V)",
                                "alter table T add constraint T_V_UK unique (V)"};
    for (const char* ddl : statements) {
        SCOPED_TRACE(ddl);
        const auto refused = reader->execute(ddl);
        EXPECT_EQ(refused.status, oci::ERROR);
        EXPECT_EQ(refused.message, "ORA-00054: resource busy and acquire with NOWAIT specified or timeout expired");
    }
    ASSERT_EQ(writer->commit().status, oci::SUCCESS);
    EXPECT_EQ(count(*reader), "1");

    // Once the changes are committed (or rolled back) the table is free for DDL again.
    ASSERT_EQ(writer->execute("update T set V = 'b'").status, oci::SUCCESS);
    ASSERT_EQ(writer->rollback().status, oci::SUCCESS);
    EXPECT_EQ(reader->execute("drop table T").status, oci::SUCCESS);
    EXPECT_EQ(writer->execute("insert into T values (2, 'c')").code, 942);
}

// Identity values are taken outside the transaction, as Oracle's sequences are: neither a rollback
// nor a statement undone by its own failure hands a value out again.
TEST_F(OciTransactions, IdentityValuesAreNeverHandedOutAgainAfterARollback)
{
    ASSERT_EQ(writer->execute("create table S (ID number generated by default as identity, V varchar2(3) check (V <> 'bad'))")
                  .status,
              oci::SUCCESS);
    ASSERT_EQ(writer->execute("insert into S (V) values ('a')").status, oci::SUCCESS);
    ASSERT_EQ(writer->execute("insert into S (V) values ('b')").status, oci::SUCCESS);
    ASSERT_EQ(writer->rollback().status, oci::SUCCESS);
    ASSERT_EQ(writer->execute("insert into S (V) values ('c')").status, oci::SUCCESS);
    EXPECT_EQ(writer->execute("insert into S (V) values ('bad')").code, 2290);
    ASSERT_EQ(writer->execute("insert into S (V) values ('d')").status, oci::SUCCESS);
    ASSERT_EQ(writer->commit().status, oci::SUCCESS);
    EXPECT_EQ(reader->query("select ID, V from S order by ID"),
              (std::vector<std::vector<std::string>>{{"3", "c"}, {"5", "d"}}));
}

}  // namespace
