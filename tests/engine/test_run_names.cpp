// Table names through the run: MySQL names as the server lists them, Oracle names by the name
// case, the 30-character limit with its suffixes, and names Oracle cannot take.
#include "test_run_fixture.h"

#include "db/error.h"

using namespace dovrelle;

namespace {

using RunNames = runtest::RunFixture;

const QString kStem = QStringLiteral("A_VERY_LONG_TABLE_NAME_ABC");  // 26 characters

}  // namespace

TEST_F(RunNames, MixedCaseMySqlNameConvertsWithUpperCaseNames)
{
    mysql.execute({"create table `MixedCase` (Id int primary key, `Some Name` varchar(10))",
                   "insert into `MixedCase` values (1, 'x'), (2, 'y')"});
    profile.tables = {QStringLiteral("MixedCase")};

    const RunResult result = run();

    EXPECT_EQ(result.outcome, RunOutcome::Completed) << log.lines().join(u'\n').toStdString();
    EXPECT_EQ(tableLines(), QStringList({"Create table MIXEDCASE...Done", "",
                                         "Insert table MIXEDCASE 2 Rows ...Done", ""}));
    EXPECT_EQ(oracle.sql(QStringLiteral("select * from \"MIXEDCASE\" where 1=0")).value(0),
              QStringLiteral("ID\tSOME NAME"));
    EXPECT_EQ(oracleRowCount(QStringLiteral("MIXEDCASE")), 2);
    // The key step ran on the Oracle name.
    EXPECT_EQ(oracle.rows(QStringLiteral(
                  "select column_name from user_ind_columns where table_name = 'MIXEDCASE'")),
              QStringList({"ID"}));
}

TEST_F(RunNames, WithoutUpperCaseTheOracleNamesKeepTheirCase)
{
    mysql.execute({"create table `MixedCase` (Id int, `Some Name` varchar(10))",
                   "insert into `MixedCase` values (1, 'x')"});
    profile.tables = {QStringLiteral("MixedCase")};
    profile.nameuppercase = false;
    profile.skipindex = true;

    const RunResult result = run();

    EXPECT_EQ(result.outcome, RunOutcome::Completed) << log.lines().join(u'\n').toStdString();
    EXPECT_EQ(oracle.sql(QStringLiteral("select * from \"MixedCase\" where 1=0")).value(0),
              QStringLiteral("Id\tSome Name"));
    EXPECT_EQ(oracleRowCount(QStringLiteral("MixedCase")), 1);
}

TEST_F(RunNames, BackticksBlanksAndNonAsciiWorkAndADoubleQuoteFailsOnlyItsTable)
{
    mysql.execute({"create table `a``b` (id int)", "insert into `a``b` values (1)",
                   "create table `with blank` (id int)", "insert into `with blank` values (2)",
                   "create table `tëst` (id int)", "insert into `tëst` values (3)",
                   "create table `q\"uote` (id int)", "insert into `q\"uote` values (4)",
                   "create table `after` (id int)", "insert into `after` values (5)"});
    profile.tables = {QStringLiteral("a`b"), QStringLiteral("with blank"), QStringLiteral("tëst"),
                      QStringLiteral("q\"uote"), QStringLiteral("after")};
    profile.skipindex = true;

    const RunResult result = run();

    EXPECT_EQ(result.outcome, RunOutcome::CompletedWithErrors);
    EXPECT_EQ(result.tablesWithErrors, QStringList({"Q\"UOTE"}));
    EXPECT_EQ(tableLines(),
              QStringList({"Create table A`B...Done", "", "Insert table A`B 1 Rows ...Done", "",
                           "Create table WITH BLANK...Done", "", "Insert table WITH BLANK 1 Rows ...Done", "",
                           "Create table TëST...Done", "", "Insert table TëST 1 Rows ...Done", "",
                           "Create table Q\"UOTE... ",
                           "The table name Q\"UOTE holds a double quote, which an Oracle name cannot hold", "",
                           "Create table AFTER...Done", "", "Insert table AFTER 1 Rows ...Done", ""}));
    for (const char* table : {"A`B", "WITH BLANK", "TëST", "AFTER"})
        EXPECT_EQ(oracleRowCount(QString::fromUtf8(table)), 1) << table;

    // No success sentence; the tables with errors are named instead.
    const QStringList& lines = log.lines();
    EXPECT_FALSE(lines.contains(hooks.successCaption));
    EXPECT_EQ(lines[lines.size() - 3],
              QStringLiteral("Conversion finished with errors in 1 of 5 tables: Q\"UOTE"));
}

TEST_F(RunNames, LongNamesSharingTheirStemGetConsecutiveSuffixes)
{
    mysql.execute({"create table a_very_long_table_name_abcd_first_one (id int)",
                   "insert into a_very_long_table_name_abcd_first_one values (1)",
                   "create table a_very_long_table_name_abcd_second_one (id int)",
                   "insert into a_very_long_table_name_abcd_second_one values (2), (3)"});
    profile.tables = {QStringLiteral("a_very_long_table_name_abcd_first_one"),
                      QStringLiteral("a_very_long_table_name_abcd_second_one")};
    profile.skipindex = true;

    ASSERT_EQ(run().outcome, RunOutcome::Completed) << log.lines().join(u'\n').toStdString();
    EXPECT_EQ(oracleRowCount(kStem + "0000"), 1);
    EXPECT_EQ(oracleRowCount(kStem + "0001"), 2);

    // A second run in mode Overwrite finds the table the first run made for the same MySQL
    // table (recorded in its comment) and overwrites it instead of taking a new suffix.
    log.clear();
    profile.tables = {QStringLiteral("a_very_long_table_name_abcd_second_one")};
    ASSERT_EQ(run().outcome, RunOutcome::Completed);
    EXPECT_EQ(tableLines(), QStringList({"Drop table " + kStem + "0001...Done", "",
                                         "Create table " + kStem + "0001...Done", "",
                                         "Insert table " + kStem + "0001 2 Rows ...Done", ""}));
    EXPECT_EQ(oracleTables(), QStringList({kStem + "0000", kStem + "0001"}));
}

TEST_F(RunNames, LongNameTableWithoutARecordIsNotTakenForTheMySqlTable)
{
    // A table of the suffixed name that no run recorded (made by hand, or by another MySQL table
    // of that stem) is never overwritten: the first free suffix is taken, as on a first run.
    mysql.execute({"create table a_very_long_table_name_abcd_first_one (id int)"});
    openConnections();
    oracleConnection.execute("create table \"" + kStem + "0000\" (x number)");
    oracleConnection.execute("comment on table \"" + kStem
                             + "0000\" is 'MySQL table: a_very_long_table_name_abcd_other'");
    profile.tables = {QStringLiteral("a_very_long_table_name_abcd_first_one")};
    profile.skipindex = true;
    profile.tabledefonly = true;

    ASSERT_EQ(run().outcome, RunOutcome::Completed) << log.lines().join(u'\n').toStdString();
    EXPECT_EQ(tableLines(), QStringList({"Create table " + kStem + "0001...Done", ""}))
        << log.lines().join(u'\n').toStdString();
}

TEST_F(RunNames, WithAllSuffixesTakenTheLastOneIsHandledAsExisting)
{
    mysql.execute({"create table a_very_long_table_name_abcd_first_one (id int)"});
    openConnections();
    for (int suffix = 0; suffix <= 100; ++suffix)
        oracleConnection.execute(QStringLiteral("create table \"%1%2\" (x number)")
                                     .arg(kStem)
                                     .arg(suffix, 4, 10, QLatin1Char('0')));
    profile.tables = {QStringLiteral("a_very_long_table_name_abcd_first_one")};
    profile.processtable = ExistingTableAction::Skip;

    ASSERT_EQ(run().outcome, RunOutcome::Completed);
    EXPECT_EQ(tableLines(), QStringList({"Skip table " + kStem + "0100... ", "",
                                         "Skip table " + kStem + "0100", ""}));
    EXPECT_EQ(oracleTables().size(), 101);
}

// oraemu takes names of at most 30 bytes, as Oracle before 12.2 does: 16 × 'é' (32 bytes) is cut
// to what fits, for the table (with its suffix), the column and the index alike.
TEST_F(RunNames, NamesAreCutToTheServersLimitInBytes)
{
    const QString e16(16, QChar(0xE9));
    const QString e13(13, QChar(0xE9));
    const QString e15(15, QChar(0xE9));
    mysql.execute({"create table `" + e16 + "` (id int primary key, `" + e16 + "` varchar(10), key `"
                       + e16 + "` (`" + e16 + "`))",
                   "insert into `" + e16 + "` values (1, 'x'), (2, 'y')"});
    profile.tables = {e16};

    const RunResult result = run();

    const QString oracleName = e13 + QStringLiteral("0000");
    EXPECT_EQ(result.outcome, RunOutcome::Completed) << log.lines().join(u'\n').toStdString();
    EXPECT_EQ(oracle.sql("select * from \"" + oracleName + "\" where 1=0").value(0), "ID\t" + e15);
    EXPECT_EQ(oracleRowCount(oracleName), 2);
    EXPECT_EQ(oracle.rows("select column_name from user_ind_columns where table_name = '" + oracleName
                          + "' order by column_name"),
              QStringList({"ID", e15}));
}
