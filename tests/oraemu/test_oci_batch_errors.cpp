// Array DML with OCI_BATCH_ERRORS: failing iterations are set aside with their row offsets and the
// others are done; without it the first failing iteration ends the execute.
#include "oci_session.h"
#include "oraemu_test_db.h"

#include <gtest/gtest.h>

namespace {

using oraemutest::BindColumn;

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

}  // namespace
