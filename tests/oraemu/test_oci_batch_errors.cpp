// Array DML with OCI_BATCH_ERRORS: failing iterations are set aside with their row offsets and the
// others are done; without it the first failing iteration ends the execute. Long arrays, whose rows
// oraemu inserts in groups, keep both rules and each row's own values.
#include "oci_session.h"
#include "oraemu_test_db.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using oraemutest::BindColumn;
using oraemutest::oci;

class OciBatchErrors : public ::testing::Test {
protected:
    void SetUp() override
    {
        session = std::make_unique<oraemutest::OciSession>(db.service().toStdString(), "SCOTT", "tiger");
        ASSERT_EQ(session->execute("create table B (K number primary key, V varchar2(3))").status, oci::SUCCESS);
    }

    testsupport::ScratchOracleDatabase db;
    std::unique_ptr<oraemutest::OciSession> session;
};

TEST_F(OciBatchErrors, FailingIterationsAreReportedAndTheOthersDone)
{
    const BindColumn keys{oci::SQLT_CHR, {"1", "2", "1", "4", "5"}};
    const BindColumn values{oci::SQLT_CHR, {"a", "b", "c", "toolong", "e"}};
    const auto result = session->executeArray("insert into B values (:1, :2)", {keys, values}, oci::BATCH_ERRORS);

    EXPECT_EQ(result.status, oci::SUCCESS_WITH_INFO);
    EXPECT_EQ(result.message, "ORA-24381: error(s) in array DML");
    EXPECT_EQ(result.rowCount, 3u);
    ASSERT_EQ(result.dmlErrors, 2u);
    ASSERT_EQ(result.batchErrors.size(), 2u);
    EXPECT_EQ(result.batchErrors[0].first, 2u);
    EXPECT_EQ(result.batchErrors[0].second.substr(0, 30), "ORA-00001: unique constraint (") << result.batchErrors[0].second;
    EXPECT_EQ(result.batchErrors[1].first, 3u);
    EXPECT_EQ(result.batchErrors[1].second,
              "ORA-12899: value too large for column \"SCOTT\".\"B\".\"V\" (actual: 7, maximum: 3)");
    EXPECT_EQ(session->query("select K, V from B order by K"),
              (std::vector<std::vector<std::string>>{{"1", "a"}, {"2", "b"}, {"5", "e"}}));
}

TEST_F(OciBatchErrors, WithoutFailuresTheExecuteSucceedsPlainly)
{
    const auto result = session->executeArray("insert into B values (:1, :2)",
                                              {{oci::SQLT_CHR, {"1", "2"}}, {oci::SQLT_CHR, {"a", "b"}}},
                                              oci::BATCH_ERRORS);
    EXPECT_EQ(result.status, oci::SUCCESS) << result.message;
    EXPECT_EQ(result.rowCount, 2u);
    EXPECT_EQ(result.dmlErrors, 0u);
}

// An error of the statement, not of a row, still fails the whole execute.
TEST_F(OciBatchErrors, AnErrorOfTheStatementFailsTheExecute)
{
    const auto result = session->executeArray("insert into MISSING values (:1, :2)",
                                              {{oci::SQLT_CHR, {"1", "2"}}, {oci::SQLT_CHR, {"a", "b"}}},
                                              oci::BATCH_ERRORS);
    EXPECT_EQ(result.status, oci::ERROR);
    EXPECT_EQ(result.code, 942) << result.message;
    EXPECT_EQ(result.dmlErrors, 0u);
}

TEST_F(OciBatchErrors, WithoutTheModeTheFirstFailureEndsTheExecute)
{
    const BindColumn keys{oci::SQLT_CHR, {"1", "2", "1", "4"}};
    const BindColumn values{oci::SQLT_CHR, {"a", "b", "c", "d"}};
    const auto result = session->executeArray("insert into B values (:1, :2)", {keys, values});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.rowOffset, 2u);
    EXPECT_EQ(result.rowCount, 2u);
}

// Long arrays go into SQLite many rows at a time; the first failing row still ends the execute
// there, with every row before it inserted and none after it, in a table keyed by a WITHOUT ROWID
// index (B) and one keyed by its rowid (R).
TEST_F(OciBatchErrors, LongArraysStopAtTheFirstFailingRow)
{
    ASSERT_EQ(session->execute("create table R (K number(10) primary key, V varchar2(3))").status, oci::SUCCESS);
    struct Case {
        const char* name;
        int duplicateAt;  // this row repeats the first row's key
        int tooLongAt;    // this row's value is too large
        int nullAt;       // this row has no key
        ub4 failingRow;
        int code;
    };
    const Case cases[] = {
        {"duplicate key inside the second group", 45, -1, -1, 45, 1},
        {"duplicate key first in a group", 32, -1, -1, 32, 1},
        {"duplicate key last in a group", 63, -1, -1, 63, 1},
        {"duplicate key before a value too large in its group", 40, 50, -1, 40, 1},
        {"value too large before a duplicate key in its group", 50, 40, -1, 40, 12899},
        {"value too large after the last full group", -1, 98, -1, 98, 12899},
        {"no key", -1, -1, 70, 70, 1400},
    };
    for (const std::string table : {"B", "R"}) {
        for (const Case& c : cases) {
            BindColumn keys{oci::SQLT_CHR, {}};
            BindColumn values{oci::SQLT_CHR, {}};
            for (int row = 0; row < 100; ++row) {
                const std::string key = std::to_string(row == c.duplicateAt ? 1 : row + 1);
                keys.values.push_back(row == c.nullAt ? std::nullopt : std::optional<std::string>(key));
                values.values.push_back(row == c.tooLongAt ? "toolong" : "v");
            }
            const auto result = session->executeArray("insert into " + table + " values (:1, :2)", {keys, values});
            EXPECT_EQ(result.code, c.code) << table << ": " << c.name << ": " << result.message;
            EXPECT_EQ(result.rowOffset, c.failingRow) << table << ": " << c.name;
            EXPECT_EQ(result.rowCount, c.failingRow) << table << ": " << c.name;
            const std::string inserted = std::to_string(c.failingRow);
            EXPECT_EQ(session->query("select count(*), max(K) from " + table),
                      (std::vector<std::vector<std::string>>{{inserted, inserted}}))
                << table << ": " << c.name;
            ASSERT_EQ(session->rollback().status, oci::SUCCESS);
            EXPECT_EQ(session->query("select count(*) from " + table)[0][0], "0") << table << ": " << c.name;
        }
    }
}

TEST_F(OciBatchErrors, LongArraysInsertEveryRow)
{
    BindColumn keys{oci::SQLT_CHR, {}};
    BindColumn values{oci::SQLT_CHR, {}};
    for (int row = 0; row < 1000; ++row) {
        keys.values.push_back(std::to_string(row + 1));
        values.values.push_back(row % 10 == 0 ? std::nullopt : std::optional<std::string>(std::to_string(row % 1000)));
    }
    const auto result = session->executeArray("insert into B values (:1, :2)", {keys, values});
    EXPECT_EQ(result.status, oci::SUCCESS) << result.message;
    EXPECT_EQ(result.rowCount, 1000u);
    EXPECT_EQ(session->query("select count(*), count(V), sum(K), min(K), max(K) from B"),
              (std::vector<std::vector<std::string>>{{"1000", "900", "500500", "1", "1000"}}));
    EXPECT_EQ(session->query("select V from B where K in (1, 2, 33, 1000) order by K"),
              (std::vector<std::vector<std::string>>{{"<null>"}, {"1"}, {"32"}, {"999"}}));
}

// OCIBindDynamic: the client hands each iteration's value over in one buffer that it refills for
// the next iteration, so a value must be used before the next one is asked for.
TEST_F(OciBatchErrors, LongArraysTakeValuesFromAReusedCallbackBuffer)
{
    struct Feed {
        std::string buffer;
        static sb4 next(void* context, OCIBind*, ub4 iteration, ub4, void** value, ub4* length, ub1* piece,
                        void** indicator)
        {
            auto& feed = *static_cast<Feed*>(context);
            feed.buffer = "row " + std::to_string(iteration);
            *value = feed.buffer.data();
            *length = static_cast<ub4>(feed.buffer.size());
            *piece = 0;  // OCI_ONE_PIECE
            *indicator = nullptr;
            return -24200;  // OCI_CONTINUE
        }
    } feed;
    using BindDynamic = sword(OCIBind*, OCIError*, void*, decltype(&Feed::next), void*, void*);
    auto* bindDynamic = reinterpret_cast<BindDynamic*>(oraemutest::ociSymbol("OCIBindDynamic"));
    ASSERT_NE(bindDynamic, nullptr);
    ASSERT_EQ(session->execute("create table D (K number primary key, V varchar2(10))").status, oci::SUCCESS);

    const std::string sql = "insert into D values (:1, :2)";
    OCIStmt* stmt = nullptr;
    ASSERT_EQ(oci().StmtPrepare2(session->svc(), &stmt, session->error(), reinterpret_cast<const OraText*>(sql.data()),
                                 static_cast<ub4>(sql.size()), nullptr, 0, oci::NTV_SYNTAX, oci::DEFAULT),
              oci::SUCCESS);
    constexpr int rows = 100;
    std::vector<std::int32_t> keys(rows);
    for (int row = 0; row < rows; ++row)
        keys[row] = row;
    OCIBind* keyBind = nullptr;
    OCIBind* valueBind = nullptr;
    ASSERT_EQ(oci().BindByPos(stmt, &keyBind, session->error(), 1, keys.data(), sizeof(std::int32_t), oci::SQLT_INT,
                              nullptr, nullptr, nullptr, 0, nullptr, oci::DEFAULT),
              oci::SUCCESS);
    ASSERT_EQ(oci().BindByPos(stmt, &valueBind, session->error(), 2, nullptr, 10, oci::SQLT_CHR, nullptr, nullptr,
                              nullptr, 0, nullptr, 2 /* OCI_DATA_AT_EXEC */),
              oci::SUCCESS);
    ASSERT_EQ(bindDynamic(valueBind, session->error(), &feed, &Feed::next, nullptr, nullptr), oci::SUCCESS);
    EXPECT_EQ(oci().StmtExecute(session->svc(), stmt, session->error(), rows, 0, nullptr, nullptr, oci::DEFAULT),
              oci::SUCCESS)
        << session->lastError(oci::ERROR).message;
    oci().StmtRelease(stmt, session->error(), nullptr, 0, oci::DEFAULT);

    EXPECT_EQ(session->query("select count(*) from D where V = 'row ' || K")[0][0], std::to_string(rows));
}

}  // namespace
