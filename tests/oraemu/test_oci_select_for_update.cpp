// SELECT ... FOR UPDATE [NOWAIT]: the query takes the locks a change of its table takes, held
// until the transaction ends, so another session's FOR UPDATE NOWAIT fails with ORA-00054.
#include "oci_session.h"
#include "oraemu_test_db.h"

#include <gtest/gtest.h>

using oraemutest::OciSession;
using Rows = std::vector<std::vector<std::string>>;

namespace {

class SelectForUpdate : public ::testing::Test {
protected:
    testsupport::ScratchOracleDatabase db;
    std::unique_ptr<OciSession> first = std::make_unique<OciSession>(db.service().toStdString(), "SCOTT", "tiger");
    std::unique_ptr<OciSession> second = std::make_unique<OciSession>(db.service().toStdString(), "SCOTT", "tiger");

    void SetUp() override
    {
        for (const char* sql : {"create table T (ID number(9) primary key, V varchar2(10))",
                                "insert into T values (1, 'one')", "insert into T values (2, 'two')", "commit"})
            ASSERT_EQ(first->execute(sql).status, oci::SUCCESS) << sql;
    }
};

TEST_F(SelectForUpdate, GivesTheRowsAndHoldsThemUntilTheTransactionEnds)
{
    const char* queries[] = {"select ID, V from T where ID = 1 for update",
                             "select ID, V from T where ID = 1 for update nowait",
                             "select ID, V from T t where ID = 1 for update of t.V"};
    for (const char* query : queries) {
        EXPECT_EQ(first->query(query), (Rows{{"1", "one"}})) << query;
        // Others still read the rows, but cannot take them.
        EXPECT_EQ(second->query("select V from T order by ID"), (Rows{{"one"}, {"two"}})) << query;
        EXPECT_EQ(second->tryQuery("select ID from T for update nowait").message.substr(0, 9), "ORA-00054") << query;
        ASSERT_EQ(first->execute("update T set V = 'uno' where ID = 1").status, oci::SUCCESS) << query;
        ASSERT_EQ(first->commit().status, oci::SUCCESS);
        EXPECT_EQ(second->query("select V from T where ID = 1 for update nowait"), (Rows{{"uno"}})) << query;
        ASSERT_EQ(second->rollback().status, oci::SUCCESS);
        ASSERT_EQ(first->execute("update T set V = 'one' where ID = 1").status, oci::SUCCESS);
        ASSERT_EQ(first->commit().status, oci::SUCCESS);
    }
}

TEST_F(SelectForUpdate, AClauseOtherThanUpdateOrNowaitFails)
{
    EXPECT_EQ(first->tryQuery("select ID from T for share").message.substr(0, 9), "ORA-00933");
    EXPECT_EQ(first->tryQuery("select ID from T for update skip").message.substr(0, 9), "ORA-00933");
}

}  // namespace
