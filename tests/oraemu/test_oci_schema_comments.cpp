// COMMENT ON TABLE / COLUMN and the comment catalog views.
#include "oci_session.h"
#include "oraemu_test_db.h"

#include <gtest/gtest.h>

using oraemutest::OciSession;

namespace {

class SchemaComments : public ::testing::Test {
protected:
    testsupport::ScratchOracleDatabase db;
    std::unique_ptr<OciSession> session = std::make_unique<OciSession>(db.service().toStdString(), "SCOTT", "tiger");

    void SetUp() override
    {
        ASSERT_EQ(session->execute("create table \"Film\" (\"ID\" number, \"title\" varchar2(20))").status, oci::SUCCESS);
        ASSERT_EQ(session->execute("create table OTHER (A number)").status, oci::SUCCESS);
    }
};

TEST_F(SchemaComments, TableAndColumnCommentsAreShownInTheViews)
{
    ASSERT_EQ(session->execute("comment on table \"Film\" is 'Films we rent\nMySQL table: film'").status, oci::SUCCESS);
    ASSERT_EQ(session->execute("COMMENT ON COLUMN \"Film\".\"title\" IS 'It''s the title'").status, oci::SUCCESS);
    ASSERT_EQ(session->execute("comment on column scott.\"Film\".id is 'key'").status, oci::SUCCESS);

    EXPECT_EQ(session->query("select table_name, table_type, comments from user_tab_comments order by table_name"),
              (std::vector<std::vector<std::string>>{{"Film", "TABLE", "Films we rent\nMySQL table: film"},
                                                     {"OTHER", "TABLE", "<null>"}}));
    EXPECT_EQ(session->query("select column_name, comments from user_col_comments where table_name = 'Film' "
                             "order by column_name"),
              (std::vector<std::vector<std::string>>{{"ID", "key"}, {"title", "It's the title"}}));
    EXPECT_EQ(session->query("select owner, comments from all_tab_comments where table_name = 'Film'"),
              (std::vector<std::vector<std::string>>{{"SCOTT", "Films we rent\nMySQL table: film"}}));
    EXPECT_EQ(session->query("select count(*) from all_col_comments where owner = 'SCOTT' and table_name = 'OTHER' "
                             "and comments is null"),
              (std::vector<std::vector<std::string>>{{"1"}}));
}

TEST_F(SchemaComments, ANewCommentReplacesTheOldAndAnEmptyOneRemovesIt)
{
    ASSERT_EQ(session->execute("comment on table OTHER is 'first'").status, oci::SUCCESS);
    ASSERT_EQ(session->execute("comment on table OTHER is 'second'").status, oci::SUCCESS);
    EXPECT_EQ(session->query("select comments from user_tab_comments where table_name = 'OTHER'")[0][0], "second");
    ASSERT_EQ(session->execute("comment on table OTHER is ''").status, oci::SUCCESS);
    EXPECT_EQ(session->query("select comments from user_tab_comments where table_name = 'OTHER'")[0][0], "<null>");
}

TEST_F(SchemaComments, CommentsGoWithTheirTable)
{
    ASSERT_EQ(session->execute("comment on table OTHER is 'old'").status, oci::SUCCESS);
    ASSERT_EQ(session->execute("comment on column OTHER.A is 'old column'").status, oci::SUCCESS);
    ASSERT_EQ(session->execute("drop table OTHER").status, oci::SUCCESS);
    ASSERT_EQ(session->execute("create table OTHER (A number)").status, oci::SUCCESS);
    EXPECT_EQ(session->query("select comments from user_tab_comments where table_name = 'OTHER'")[0][0], "<null>");
    EXPECT_EQ(session->query("select comments from user_col_comments where table_name = 'OTHER'")[0][0], "<null>");
}

TEST_F(SchemaComments, FailuresGiveOracleMessages)
{
    struct Case {
        const char* sql;
        const char* message;
    };
    const Case cases[] = {
        {"comment on table NOPE is 'x'", "ORA-00942: table or view does not exist"},
        {"comment on column OTHER.B is 'x'", "ORA-00904: \"B\": invalid identifier"},
        {"comment on column OTHER is 'x'", "ORA-00904: : invalid identifier"},
        {"comment on table OTHER is 42", "ORA-01780: string literal required"},
        {"comment on table OTHER 'x'", "ORA-00905: missing keyword"},
        {"comment on index OTHER is 'x'", "ORA-00905: missing keyword"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(session->execute(c.sql).message, c.message) << c.sql;
}

}  // namespace
