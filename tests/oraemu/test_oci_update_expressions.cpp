// UPDATE ... SET column = expression over the row's own columns: arithmetic, other columns,
// functions and binds, all computed from the row as it was before the statement, and checked
// for the column they go to as any other value.
#include "oci_session.h"
#include "oraemu_test_db.h"

#include <gtest/gtest.h>

using oraemutest::BindColumn;
using oraemutest::OciSession;
using Rows = std::vector<std::vector<std::string>>;

namespace {

class UpdateExpressions : public ::testing::Test {
protected:
    testsupport::ScratchOracleDatabase db;
    std::unique_ptr<OciSession> session = std::make_unique<OciSession>(db.service().toStdString(), "SCOTT", "tiger");

    void SetUp() override
    {
        for (const char* sql : {
                 // K: a key that is not the rowid (the data table is WITHOUT ROWID).
                 "create table T (K varchar2(5) constraint T_PK primary key, N number(6,2), M number, "
                 "V varchar2(8) not null, W varchar2(8), D date)",
                 "insert into T values ('a', 1.5, 10, 'abc', 'x', to_date('2024-01-31', 'YYYY-MM-DD'))",
                 "insert into T values ('b', 2, 20, 'Def', NULL, NULL)",
                 // A table keyed by its rowid.
                 "create table R (ID number(9) constraint R_PK primary key, C number)",
                 "insert into R values (1, 5)",
                 "insert into R values (2, 7)",
             })
            ASSERT_EQ(session->execute(sql).status, oci::SUCCESS) << sql;
        ASSERT_EQ(session->commit().status, oci::SUCCESS);
    }
};

struct UpdateCase {
    const char* update;
    ub4 rowCount;
    const char* query;
    Rows rows;
};

TEST_F(UpdateExpressions, SetTakesExpressionsOverTheRow)
{
    const UpdateCase cases[] = {
        {"update T set N = N + 1", 2, "select K, N from T order by K", {{"a", "2.5"}, {"b", "3"}}},
        {"update T set M = N * 2 where K = 'b'", 1, "select K, M from T order by K", {{"a", "10"}, {"b", "4"}}},
        {"update T set V = upper(V), W = V || '!'", 2, "select V, W from T order by K",
         {{"ABC", "abc!"}, {"DEF", "Def!"}}},
        // Every value comes from the row as it was: a swap.
        {"update T set M = N, N = M where K = 'a'", 1, "select N, M from T where K = 'a'", {{"10", "1.5"}}},
        {"update T t set t.W = nvl(t.W, 'none')", 2, "select W from T order by K", {{"x"}, {"none"}}},
        {"update T set D = nvl(D, to_date('2020-05-06', 'YYYY-MM-DD'))", 2,
         "select to_char(D, 'YYYY-MM-DD') from T order by K", {{"2024-01-31"}, {"2020-05-06"}}},
        {"update T set D = (select max(D) from T) where K = 'b'", 1, "select count(*) from T where D = to_date('2024-01-31', 'YYYY-MM-DD')",
         {{"2"}}},
        // Literals alongside expressions; a row the condition misses keeps its values.
        {"update T set W = 'lit', M = M - 5 where M > 15", 1, "select W, M from T order by K",
         {{"x", "10"}, {"lit", "15"}}},
        // The number is rounded to the column's scale, as any value stored in it.
        {"update T set N = N / 3", 2, "select N from T order by K", {{"0.5"}, {"0.67"}}},
        {"update R set C = C + ID", 2, "select ID, C from R order by ID", {{"1", "6"}, {"2", "9"}}},
        {"update T set K = K || 'z' where K = 'b'", 1, "select K from T order by K", {{"a"}, {"bz"}}},
    };
    for (const UpdateCase& test : cases) {
        const auto result = session->execute(test.update);
        ASSERT_EQ(result.status, oci::SUCCESS) << test.update << ": " << result.message;
        EXPECT_EQ(result.rowCount, test.rowCount) << test.update;
        EXPECT_EQ(session->query(test.query), test.rows) << test.update;
        ASSERT_EQ(session->rollback().status, oci::SUCCESS);
    }
}

TEST_F(UpdateExpressions, ABindInTheExpressionIsTakenPerIteration)
{
    const std::vector<BindColumn> binds = {{oci::SQLT_CHR, {"3", "10"}}, {oci::SQLT_CHR, {"a", "b"}}};
    const auto result = session->executeArray("update T set M = M * :factor where K = :k", binds);
    ASSERT_EQ(result.status, oci::SUCCESS) << result.message;
    EXPECT_EQ(result.rowCount, 2u);
    EXPECT_EQ(session->query("select K, M from T order by K"), (Rows{{"a", "30"}, {"b", "200"}}));
}

TEST_F(UpdateExpressions, ComputedValuesAreCheckedForTheirColumnAndFailTheWholeStatement)
{
    const std::pair<const char*, const char*> cases[] = {
        {"update T set V = W", "ORA-01407"},          // row b: W is NULL, V is NOT NULL
        {"update T set W = V || V || V", "ORA-12899"},  // 9 characters for 8
        {"update T set N = M * 1000", "ORA-01438"},   // over NUMBER(6,2)
        {"update T set N = V", "ORA-01722"},
        {"update T set N = NOPE + 1", "ORA-00904"},
        {"update T set N = N + 1, N = 2", "ORA-01747"},
    };
    for (const auto& [sql, code] : cases) {
        EXPECT_EQ(session->execute(sql).message.substr(0, 9), code) << sql;
        EXPECT_EQ(session->query("select K, N, M, V, W from T order by K"),
                  (Rows{{"a", "1.5", "10", "abc", "x"}, {"b", "2", "20", "Def", "<null>"}}))
            << sql;
    }
}

}  // namespace
