// "Keep full schema" against hostile names, tables whose names differ only in letter case,
// literals that need escapes, unique keys, identities, json, long text and long names: each
// checked in oraemu's catalog and by what Oracle then accepts or refuses.
#include "test_run_fixture.h"

#include "db/error.h"

namespace {

using runtest::RunFixture;

class HardenedFullSchema : public RunFixture {
protected:
    void SetUp() override { profile.fullschema = true; }

    QStringList rows(const QString& query) const { return oracle.rows(query); }
    QString logText() const { return log.lines().join(u'\n'); }

    // The ORA code an Oracle statement fails with, or "ok".
    QString outcomeOf(const QString& statement) const
    {
        try {
            oracle.sql(statement);
            return QStringLiteral("ok");
        } catch (const dovrelle::Error& e) {
            return e.message().section(u':', 0, 0).trimmed();
        }
    }
};

// A name that closes its quotes and adds SQL of its own stays one name: Oracle gets no other
// constraint, and the name it cannot carry is replaced with a line naming it.
TEST_F(HardenedFullSchema, HostileNamesNeverBecomeSql)
{
    mysql.execute({"create table parent (id int primary key, code varchar(10), unique key `u\"q` (code))",
                   "create table child (id int primary key, n int, pid int, pcode varchar(10),"
                   " constraint `z\" check (\"N\" < 5)--` check (n <> 99),"
                   " constraint `f\" references parent (id)--` foreign key (pid) references parent (id),"
                   " constraint `g\"x` foreign key (pcode) references parent (code))"
                   " comment 'it''s a child'",
                   "create table `col\"umn` (id int primary key)",
                   "insert into parent values (1, 'a')", "insert into child values (1, 1, 1, 'a')"});
    profile.tables = {"parent", "child", "col\"umn"};
    run();
    const QString text = logText();
    // Only the condition MySQL has; nothing on N < 5.
    EXPECT_EQ(rows("select search_condition from user_constraints where table_name = 'CHILD' "
                   "and constraint_type = 'C' order by search_condition"),
              QStringList{"\"N\" <> 99"});
    EXPECT_EQ(rows("select constraint_name from user_constraints where table_name = 'CHILD' and constraint_type = 'C'"),
              QStringList{"CK_CHILD"});
    EXPECT_EQ(rows("select constraint_name from user_constraints where table_name = 'CHILD' and constraint_type = 'R' "
                   "order by constraint_name"),
              (QStringList{"FK_CHILD", "FK_CHILD_2"}));
    EXPECT_EQ(rows("select count(*) from user_constraints where constraint_name like '%\"%'"), QStringList{"0"});
    EXPECT_EQ(outcomeOf("insert into CHILD values (2, 4, 1, 'a')"), "ok");
    EXPECT_EQ(outcomeOf("insert into CHILD values (3, 99, 1, 'a')"), "ORA-02290");
    EXPECT_EQ(outcomeOf("insert into CHILD values (4, 1, 7, 'a')"), "ORA-02291");
    for (const char* line : {"The check constraint name z\" check (\"N\" < 5)-- cannot be an Oracle name; "
                             "the constraint is named CK_CHILD",
                             "The foreign key name f\" references parent (id)-- cannot be an Oracle name; "
                             "the constraint is named FK_CHILD",
                             "The unique key name u\"q cannot be an Oracle name; the constraint is named UK_PARENT"})
        EXPECT_TRUE(log.lines().contains(QString::fromUtf8(line))) << line << "\n" << text.toStdString();
    // A table or column name Oracle cannot quote fails its table with a line, as before.
    EXPECT_TRUE(text.contains("The table name COL\"UMN holds a double quote")) << text.toStdString();
    EXPECT_EQ(rows("select comments from user_tab_comments where table_name = 'CHILD'"), QStringList{"it's a child"});
}

// MySQL tables Quiet and quiet: the run takes Quiet's columns, comment and checks, never quiet's.
TEST_F(HardenedFullSchema, CaseTwinTablesKeepTheirOwnSchema)
{
    mysql.execute({"create table Quiet (a int, b varchar(5), check (a > 0)) comment 'upper'",
                   "create table quiet (x int, a int, check (x < 0)) comment 'lower'",
                   "insert into Quiet values (1, 'one')"});
    profile.tables = {"Quiet"};
    ASSERT_EQ(run().outcome, dovrelle::RunOutcome::Completed) << logText().toStdString();
    EXPECT_EQ(rows("select column_name from user_tab_columns where table_name = 'QUIET' order by column_id"),
              (QStringList{"A", "B"}));
    EXPECT_EQ(rows("select comments from user_tab_comments where table_name = 'QUIET'"), QStringList{"upper"});
    EXPECT_EQ(rows("select search_condition from user_constraints where table_name = 'QUIET' and constraint_type = 'C'"),
              QStringList{"\"A\" > 0"});
}

// Defaults and checks with escapes, quotes, control characters and a character beyond the BMP
// arrive exactly: Oracle then refuses and accepts the same values MySQL does.
TEST_F(HardenedFullSchema, EscapedDefaultsAndChecksArriveExactly)
{
    mysql.execute({"create table lit (id int primary key,"
                   " s varchar(40) default 'it''s\\na\\r\\0b\\\\c\"\\Z',"
                   " q varchar(10) default 'it\\'s',"
                   " e varchar(5) check (e <> '\xF0\x9F\x98\x80'),"
                   " t varchar(5),"
                   " constraint nl check (t <> 'a\\nb' and t <> _utf8mb4'x' and t <> 'x''y'))"});
    profile.tables = {"lit"};
    ASSERT_EQ(run().outcome, dovrelle::RunOutcome::Completed) << logText().toStdString();
    EXPECT_EQ(outcomeOf("insert into LIT (ID) values (1)"), "ok");
    const QString expected = "'it''s' || chr(10) || 'a' || chr(13) || chr(0) || 'b\\c\"' || chr(26)";
    EXPECT_EQ(rows("select count(*) from LIT where S = " + expected), QStringList{"1"}) << rows("select S from LIT").join('|').toStdString();
    EXPECT_EQ(rows("select Q from LIT"), QStringList{"it's"});
    EXPECT_EQ(outcomeOf(QString::fromUtf8("insert into LIT (ID, E) values (2, '\xF0\x9F\x98\x80')")), "ORA-02290");
    EXPECT_EQ(outcomeOf("insert into LIT (ID, E) values (3, '????')"), "ok");
    EXPECT_EQ(outcomeOf("insert into LIT (ID, T) values (4, 'a' || chr(10) || 'b')"), "ORA-02290");
    EXPECT_EQ(outcomeOf("insert into LIT (ID, T) values (5, 'anb')"), "ok");
    EXPECT_EQ(outcomeOf("insert into LIT (ID, T) values (6, 'x''y')"), "ORA-02290");
    EXPECT_EQ(outcomeOf("insert into LIT (ID, T) values (7, 'x')"), "ORA-02290");
}

// A UNIQUE key becomes a UNIQUE constraint, so duplicates are refused and a foreign key that
// references it is added.
TEST_F(HardenedFullSchema, UniqueKeysAreConstraintsThatForeignKeysReference)
{
    mysql.execute({"create table country (id int primary key, code char(2) not null, unique key code_key (code))",
                   "create table city (id int primary key, country_code char(2),"
                   " constraint fk_city_country foreign key (country_code) references country (code))",
                   "insert into country values (1, 'NO')", "insert into city values (1, 'NO')"});
    profile.tables = {"country", "city"};
    ASSERT_EQ(run().outcome, dovrelle::RunOutcome::Completed) << logText().toStdString();
    EXPECT_EQ(rows("select constraint_name, constraint_type from user_constraints where table_name = 'COUNTRY' "
                   "and constraint_type = 'U'"),
              QStringList{"CODE_KEY\tU"});
    EXPECT_EQ(rows("select constraint_name from user_constraints where constraint_type = 'R'"),
              QStringList{"FK_CITY_COUNTRY"});
    EXPECT_EQ(outcomeOf("insert into COUNTRY values (2, 'NO')"), "ORA-00001");
    EXPECT_EQ(outcomeOf("insert into CITY values (2, 'SE')"), "ORA-02291");
}

// An inserted NULL takes the identity's next value, as MySQL gives the next AUTO_INCREMENT value;
// a DOUBLE AUTO_INCREMENT column is an ordinary column, with a line.
TEST_F(HardenedFullSchema, NullIntoAnIdentityTakesTheNextValue)
{
    mysql.execute({"create table ticket (id int auto_increment primary key, note varchar(10))",
                   "insert into ticket (note) values ('a'), ('b')",
                   "create table measure (m double auto_increment primary key, note varchar(10))",
                   "insert into measure values (1.5, 'x')"});
    profile.tables = {"ticket", "measure"};
    ASSERT_EQ(run().outcome, dovrelle::RunOutcome::Completed) << logText().toStdString();
    EXPECT_EQ(outcomeOf("insert into TICKET (ID, NOTE) values (NULL, 'c')"), "ok");
    EXPECT_EQ(rows("select ID from TICKET where NOTE = 'c'"), QStringList{"3"});
    EXPECT_EQ(rows("select M, NOTE from MEASURE"), QStringList{"1.5\tx"});
    EXPECT_TRUE(log.lines().contains("Column m: AUTO_INCREMENT on double has no Oracle identity; the column is "
                                     "converted as an ordinary column"))
        << logText().toStdString();
}

// A json column keeps its check: Oracle refuses a text that is no JSON.
TEST_F(HardenedFullSchema, JsonColumnsAreCheckedAsJson)
{
    mysql.execute({"create table doc (id int primary key, body json)", "insert into doc values (1, '{\"a\": 1}')"});
    profile.tables = {"doc"};
    ASSERT_EQ(run().outcome, dovrelle::RunOutcome::Completed) << logText().toStdString();
    EXPECT_EQ(rows("select search_condition from user_constraints where table_name = 'DOC' and constraint_type = 'C'"),
              QStringList{"\"BODY\" IS JSON"});
    EXPECT_EQ(outcomeOf("insert into DOC values (2, '[1, 2]')"), "ok");
    EXPECT_EQ(outcomeOf("insert into DOC values (3, 'not json')"), "ORA-02290");
}

// Names that are the same after the cut get free variants; keys to a table outside the run are
// named in a line.
TEST_F(HardenedFullSchema, CutNamesStayUniqueAndKeysOutsideTheRunAreNamed)
{
    mysql.execute({"create table outside (id int primary key)",
                   "create table twin (id int primary key, a int, b int, o int,"
                   " constraint a_rather_long_check_constraint_name_one check (a > 0),"
                   " constraint a_rather_long_check_constraint_name_two check (b > 0),"
                   " unique key a_rather_long_unique_key_name_number_one (a),"
                   " unique key a_rather_long_unique_key_name_number_two (b),"
                   " constraint fk_outside foreign key (o) references outside (id))"});
    profile.tables = {"twin"};
    ASSERT_EQ(run().outcome, dovrelle::RunOutcome::Completed) << logText().toStdString();
    EXPECT_EQ(rows("select constraint_name from user_constraints where table_name = 'TWIN' and constraint_type in ('C', 'U') "
                   "and constraint_name not like 'SYS%' order by constraint_name"),
              (QStringList{"A_RATHER_LONG_CHECK_CONSTRAINT", "A_RATHER_LONG_CHECK_CONSTRAI_2", "A_RATHER_LONG_UNIQUE_KEY_NAME_",
                           "A_RATHER_LONG_UNIQUE_KEY_NAM_2"}));
    EXPECT_TRUE(log.lines().contains("Foreign key fk_outside not added: table outside is not part of this run"))
        << logText().toStdString();
}

// Oracle's '' is NULL: a NOT NULL column that held '' stays nullable and says why; DEFAULT ''
// cannot be carried and says so. A text too long for VARCHAR2 becomes a CLOB.
TEST_F(HardenedFullSchema, EmptyStringsAndLongTextAreExplained)
{
    const QString wide = QString(1400, QChar(0x4E2D));
    mysql.execute({"create table note (id int primary key, code varchar(5) not null default '', body varchar(1500))",
                   "insert into note values (1, '', '" + wide + "'), (2, 'x', 'short')"});
    profile.tables = {"note"};
    run();
    const QStringList lines = log.lines();
    EXPECT_TRUE(lines.contains("Column CODE stays nullable: 1 empty strings were stored as NULL (Oracle has no empty string)"))
        << logText().toStdString();
    EXPECT_TRUE(lines.contains("Default '' of column code is not carried over: Oracle stores '' as NULL, so an insert "
                               "without the column gets NULL"))
        << logText().toStdString();
    EXPECT_TRUE(lines.contains("Column body: its longest value has 4200 bytes, more than the 4000 a VARCHAR2 holds: CLOB"))
        << logText().toStdString();
    EXPECT_EQ(rows("select data_type from user_tab_columns where table_name = 'NOTE' and column_name = 'BODY'"),
              QStringList{"CLOB"});
    EXPECT_EQ(rows("select length(BODY) from NOTE where ID = 1"), QStringList{"1400"});
}

// A MySQL comment beyond the 4000 bytes Oracle takes is cut on a character boundary, with a line.
TEST_F(HardenedFullSchema, LongCommentsAreCutWithALine)
{
    const QString longComment = QString(2000, QChar(0x4E2D));  // 6000 bytes
    mysql.execute({"create table remark (id int primary key) comment '" + longComment + "'"});
    profile.tables = {"remark"};
    ASSERT_EQ(run().outcome, dovrelle::RunOutcome::Completed) << logText().toStdString();
    EXPECT_EQ(rows("select length(comments) from user_tab_comments where table_name = 'REMARK'"), QStringList{"1333"});
    EXPECT_TRUE(log.lines().contains("The comment of table REMARK has 6000 bytes and is cut to the 4000 Oracle takes"))
        << logText().toStdString();
}

}  // namespace

namespace {

// The verification reads the table by its real Oracle name, not by the name as log lines show it.
TEST_F(HardenedFullSchema, VerificationReadsTheRealOracleName)
{
    profile.fullschema = false;
    profile.verifyrows = true;
    mysql.execute({"create table `tab\tname` (id int primary key)", "insert into `tab\tname` values (1), (2)"});
    profile.tables = {"tab\tname"};
    ASSERT_EQ(run().outcome, dovrelle::RunOutcome::Completed) << logText().toStdString();
    EXPECT_TRUE(log.lines().contains("Verify table TAB\\tNAME 2 Rows ...Done")) << logText().toStdString();
}

// Names holding "%1" or "%2" stay as they are in every line about them.
TEST_F(HardenedFullSchema, NamesWithPercentDigitsStayWhole)
{
    profile.verifyrows = true;
    mysql.execute({"create table `pct%1` (id int primary key, `v%2` varchar(5) not null)",
                   "insert into `pct%1` values (1, ''), (2, 'a')"});
    profile.tables = {"pct%1"};
    run();
    const QStringList lines = log.lines();
    EXPECT_TRUE(lines.contains("Column V%2: 1 empty string stored as NULL (Oracle has no empty string)"))
        << logText().toStdString();
    EXPECT_TRUE(lines.contains("Column V%2 stays nullable: 1 empty strings were stored as NULL (Oracle has no empty string)"))
        << logText().toStdString();
    const auto verifyLine = std::find_if(lines.begin(), lines.end(), [](const QString& line) {
        return line.startsWith("Verify table PCT%1 2 Rows") && line.endsWith("...Done");
    });
    EXPECT_NE(verifyLine, lines.end()) << logText().toStdString();
}

}  // namespace

namespace {

// Overwriting only the parent drops the children's foreign keys with CASCADE CONSTRAINTS: they
// are read before the drop and added again after all tables, and a key the new rows break says so.
TEST_F(HardenedFullSchema, ForeignKeysDroppedWithAnOverwrittenParentComeBack)
{
    mysql.execute({"create table parent (id int primary key)",
                   "create table child_ok (id int primary key, pid int, constraint fk_ok foreign key (pid) references parent (id))",
                   "create table child_bad (id int primary key, pid int, constraint fk_bad foreign key (pid) references parent (id))",
                   "insert into parent values (1), (2)", "insert into child_ok values (1, 1)",
                   "insert into child_bad values (1, 2)"});
    profile.tables = {"parent", "child_ok", "child_bad"};
    ASSERT_EQ(run().outcome, dovrelle::RunOutcome::Completed) << logText().toStdString();
    mysql.execute({"set foreign_key_checks = 0", "delete from parent where id = 2"});
    profile.tables = {"parent"};
    log.clear();
    run();
    const QStringList lines = log.lines();
    EXPECT_TRUE(lines.contains("Add foreign key FK_OK of CHILD_OK again, dropped with PARENT...Done")) << logText().toStdString();
    const qsizetype bad = lines.indexOf("Add foreign key FK_BAD of CHILD_BAD again, dropped with PARENT... ");
    ASSERT_GE(bad, 0) << logText().toStdString();
    EXPECT_TRUE(lines.value(bad + 1).startsWith("ORA-02298")) << lines.value(bad + 1).toStdString();
    EXPECT_EQ(rows("select constraint_name from user_constraints where constraint_type = 'R'"), QStringList{"FK_OK"});
    EXPECT_EQ(outcomeOf("insert into CHILD_OK values (2, 9)"), "ORA-02291");
}

}  // namespace

namespace {

// oraemu behaves as a server of 12.2 or later while this lives: names of up to 128 bytes.
class LongIdentifierServer {
public:
    LongIdentifierServer() { qputenv("ORAEMU_MAX_IDENTIFIER_BYTES", "128"); }
    ~LongIdentifierServer() { qunsetenv("ORAEMU_MAX_IDENTIFIER_BYTES"); }
    LongIdentifierServer(const LongIdentifierServer&) = delete;
    LongIdentifierServer& operator=(const LongIdentifierServer&) = delete;
};

}  // namespace

// The server's limit is read through OCI: at 128 bytes a name of more than 30 bytes is kept (up to
// 30 characters for columns and indexes, whole for constraints), and two indexes of one table
// whose names cut to the same text get names of their own.
TEST_F(HardenedFullSchema, TheServersIdentifierLimitKeepsLongNamesUnique)
{
    const LongIdentifierServer server;
    const QString wide = QString(20, QChar(0xE4));  // 20 characters, 40 bytes
    mysql.execute({"create table ix (id int primary key, `" + wide + "` int, a int, b int,"
                   " constraint check_constraint_name_longer_than_thirty_bytes check (a > 0),"
                   " key a_rather_long_index_name_number_one (a), key a_rather_long_index_name_number_two (b))",
                   "insert into ix values (1, 2, 3, 4)"});
    profile.tables = {"ix"};
    ASSERT_EQ(run().outcome, dovrelle::RunOutcome::Completed) << logText().toStdString();
    EXPECT_EQ(rows("select column_name from user_tab_columns where table_name = 'IX' order by column_id"),
              (QStringList{"ID", wide, "A", "B"}));
    EXPECT_EQ(rows("select constraint_name from user_constraints where table_name = 'IX' and constraint_type = 'C' "
                   "and constraint_name not like 'SYS%'"),
              QStringList{"CHECK_CONSTRAINT_NAME_LONGER_THAN_THIRTY_BYTES"});
    EXPECT_EQ(rows("select index_name from user_indexes where table_name = 'IX' and index_name like 'IDX%' "
                   "order by index_name"),
              (QStringList{"IDX_A_RATHER_LONG_INDEX_NAME_1", "IDX_A_RATHER_LONG_INDEX_NAME_N"}));
    EXPECT_EQ(rows("select count(*) from IX"), QStringList{"1"});
}
