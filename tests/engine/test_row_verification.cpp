// Verification of copied rows: runs with the option set against the real MariaDB test server and
// oraemu, some with the Oracle table changed behind the run's back between copy and verification.
#include "test_run_fixture.h"

#include "engine/copy_test_switch.h"

#include <QHash>
#include <QRegularExpression>

using runtest::RunFixture;

namespace {

// 1200 rows (more than one fetch array and many progress stops) of numbers, text, dates, a
// blob and a CHAR column, with NULLs.
const QStringList kOrders = {
    QStringLiteral("create table orders (id int primary key, amount decimal(12,2), ratio double, "
                   "note varchar(60), code char(6), placed datetime(3), day date, photo blob, "
                   "body text)"),
    QStringLiteral("insert into orders select seq, if(seq % 7 = 0, null, seq * 1.25), seq / 3, "
                   "concat('Größe ', seq, ' 東京'), if(seq % 5 = 0, null, concat('c', seq % 97)), "
                   "timestamp'2024-01-01 08:00:00.125' + interval seq minute, "
                   "date'2000-01-01' + interval seq day, if(seq % 3 = 0, null, unhex(hex(seq))), "
                   "if(seq % 4 = 0, '', repeat('ä', seq % 50)) from seq_1_to_1200"),
};

class RowVerification : public RunFixture {
protected:
    RowVerification()
    {
        profile.verifyrows = true;
        profile.tables = {QStringLiteral("orders")};
    }

    // Runs `statements` through the oraemu tool once, when the table's verification begins.
    void changeOracleBeforeVerification(const QStringList& statements)
    {
        onEvents = [this, statements] {
            if (changed || !log.lastLine().startsWith(QLatin1String("Verify table ")))
                return;
            changed = true;
            for (const QString& statement : statements)
                oracle.sql(statement);
        };
    }

    QString verifyLine() const
    {
        for (const QString& line : log.lines())
            if (line.startsWith(QLatin1String("Verify table ")))
                return line;
        return {};
    }

    // The MySQL table (id, note) and an Oracle table that already holds five other rows.
    void prepareMergeIntoEarlierRows()
    {
        mysql.execute(kOrders);
        mysql.execute({QStringLiteral("alter table orders drop column amount, drop column ratio, "
                                      "drop column code, drop column placed, drop column day, "
                                      "drop column photo, drop column body")});
        oracle.sql(QStringLiteral("create table \"ORDERS\" (\"ID\" number, \"NOTE\" varchar2(60 char))"));
        for (int id = 5001; id <= 5005; ++id)
            oracle.sql(QStringLiteral("insert into \"ORDERS\" values (%1, 'earlier')").arg(id));
        profile.processtable = dovrelle::ExistingTableAction::Merge;
    }

    bool changed = false;
};

TEST_F(RowVerification, MatchingTableIsVerifiedAfterItsCopy)
{
    mysql.execute(kOrders);

    const dovrelle::RunResult result = run();

    EXPECT_EQ(result.outcome, dovrelle::RunOutcome::Completed) << log.lines().join(u'\n').toStdString();
    EXPECT_EQ(tableLines().mid(2),
              (QStringList{QStringLiteral("Column BODY: 312 empty strings stored as NULL (Oracle has no empty string)"),
                           QStringLiteral("Insert table ORDERS 1200 Rows ...Done"), QString(),
                           QStringLiteral("Verify table ORDERS 1200 Rows, 312 empty strings stored as NULL ...Done"),
                           QString()}));
}

TEST_F(RowVerification, WithoutTheOptionNothingIsVerified)
{
    mysql.execute(kOrders);
    profile.verifyrows = false;
    changeOracleBeforeVerification({QStringLiteral("delete from \"ORDERS\" where \"ID\" = 5")});

    const dovrelle::RunResult result = run();

    EXPECT_EQ(result.outcome, dovrelle::RunOutcome::Completed);
    EXPECT_EQ(verifyLine(), QString());
    EXPECT_FALSE(changed);
}

// No rows copied, nothing verified: a skipped existing table, and table definitions only.
TEST_F(RowVerification, SkipAndTableDefinitionsOnlyVerifyNothing)
{
    mysql.execute(kOrders);
    oracle.sql(QStringLiteral("create table \"ORDERS\" (\"ID\" number)"));
    profile.processtable = dovrelle::ExistingTableAction::Skip;

    EXPECT_EQ(run().outcome, dovrelle::RunOutcome::Completed) << log.lines().join(u'\n').toStdString();
    EXPECT_TRUE(log.lines().contains(QStringLiteral("Skip table ORDERS")));
    EXPECT_EQ(verifyLine(), QString());

    log.clear();
    profile.processtable = dovrelle::ExistingTableAction::Overwrite;
    profile.tabledefonly = true;
    EXPECT_EQ(run().outcome, dovrelle::RunOutcome::Completed) << log.lines().join(u'\n').toStdString();
    EXPECT_TRUE(log.lines().contains(QStringLiteral("Create table ORDERS...Done")));
    EXPECT_EQ(verifyLine(), QString());
}

// Changes made in Oracle after the copy, and the line that must report them.
struct ChangeCase {
    const char* name;
    QStringList statements;
    QString expectedLine;
};

class ChangedBehindTheRunsBack : public RowVerification,
                                 public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(ChangedBehindTheRunsBack, IsReportedAsAnErrorOfTheTable)
{
    mysql.execute(kOrders);
    changeOracleBeforeVerification(GetParam().statements);

    const dovrelle::RunResult result = run();

    EXPECT_TRUE(changed);
    EXPECT_EQ(result.outcome, dovrelle::RunOutcome::CompletedWithErrors);
    EXPECT_EQ(result.tablesWithErrors, QStringList{QStringLiteral("ORDERS")});
    EXPECT_EQ(verifyLine(), GetParam().expectedLine);
    EXPECT_TRUE(log.lines().contains(
        QStringLiteral("Conversion finished with errors in 1 of 1 tables: ORDERS")));
}

INSTANTIATE_TEST_SUITE_P(
    RowVerification, ChangedBehindTheRunsBack,
    ::testing::Values(
        ChangeCase{"RowDeletedAndValueAltered",
                   {QStringLiteral("delete from \"ORDERS\" where \"ID\" = 700"),
                    QStringLiteral("update \"ORDERS\" set \"NOTE\" = 'other' where \"ID\" = 3")},
                   QStringLiteral("Verify table ORDERS: MySQL 1200 rows, Oracle 1199 rows")},
        ChangeCase{"ValueAltered",
                   {QStringLiteral("update \"ORDERS\" set \"NOTE\" = 'other' where \"ID\" = 3")},
                   QStringLiteral("Verify table ORDERS: content differs in column NOTE")},
        ChangeCase{"NumberAndTimestampAltered",
                   {QStringLiteral("update \"ORDERS\" set \"AMOUNT\" = 1.26 where \"ID\" = 1"),
                    QStringLiteral("update \"ORDERS\" set \"PLACED\" = to_timestamp('2024-01-01 "
                                   "08:01:00.126', 'YYYY-MM-DD HH24:MI:SS.FF3') where \"ID\" = 1")},
                   QStringLiteral("Verify table ORDERS: content differs in columns AMOUNT, PLACED")},
        ChangeCase{"ValueSetToNull",
                   {QStringLiteral("update \"ORDERS\" set \"PHOTO\" = null where \"ID\" = 1")},
                   QStringLiteral("Verify table ORDERS: content differs in column PHOTO")},
        ChangeCase{"ValuesSwappedBetweenRows",
                   {QStringLiteral("update \"ORDERS\" set \"DAY\" = to_date('2000-01-03', 'YYYY-MM-DD') where \"ID\" = 1"),
                    QStringLiteral("update \"ORDERS\" set \"DAY\" = to_date('2000-01-02', 'YYYY-MM-DD') where \"ID\" = 2")},
                   QStringLiteral("Verify table ORDERS: content differs: the same values stand in "
                                  "other rows")}),
    [](const ::testing::TestParamInfo<ChangeCase>& info) { return info.param.name; });

// The two sides are read at once, MySQL's on a thread of its own; a failure of either side is
// the table's error on the line below its verification line, Oracle's first when both fail.
struct ReadFailureCase {
    const char* name;
    bool dropMySql;
    bool dropOracle;
    QString expectedError;  // what the error line contains
};

class ReadFailure : public RowVerification, public ::testing::WithParamInterface<ReadFailureCase> {};

TEST_P(ReadFailure, IsTheTablesErrorWithTheFailingSidesMessage)
{
    mysql.execute(kOrders);
    onEvents = [this] {
        if (changed || !log.lastLine().startsWith(QLatin1String("Verify table ")))
            return;
        changed = true;
        if (GetParam().dropMySql)
            mysql.execute({QStringLiteral("drop table orders")});
        if (GetParam().dropOracle)
            oracle.sql(QStringLiteral("drop table \"ORDERS\""));
    };

    const dovrelle::RunResult result = run();

    ASSERT_TRUE(changed);
    EXPECT_EQ(result.outcome, dovrelle::RunOutcome::CompletedWithErrors);
    EXPECT_EQ(result.tablesWithErrors, QStringList{QStringLiteral("ORDERS")});
    const QStringList lines = log.lines();
    const qsizetype verify = lines.indexOf(QRegularExpression(QStringLiteral("^Verify table ORDERS.*")));
    ASSERT_GE(verify, 0) << lines.join(u'\n').toStdString();
    ASSERT_LT(verify + 1, lines.size());
    EXPECT_TRUE(lines[verify + 1].contains(GetParam().expectedError)) << lines.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    RowVerification, ReadFailure,
    ::testing::Values(ReadFailureCase{"MySqlSide", true, false, QStringLiteral("doesn't exist")},
                      ReadFailureCase{"OracleSide", false, true, QStringLiteral("ORA-00942")},
                      ReadFailureCase{"BothSides", true, true, QStringLiteral("ORA-00942")}),
    [](const ::testing::TestParamInfo<ReadFailureCase>& info) { return info.param.name; });

// Zero dates and bytes that are not text for a CLOB (Convert BLOB to text) cannot be copied: the
// copy logs them and leaves them NULL, and the verification expects them NULL and counts them. A NULL bit(1) stays
// NULL without a failure line and is compared like any value.
TEST_F(RowVerification, ValuesTheCopyLeftNullAreNoDifference)
{
    mysql.execute({QStringLiteral("SET SESSION sql_mode = ''"),
                   QStringLiteral("create table orders (id int primary key, day date, flag bit(1), "
                                  "photo blob, note varchar(10))"),
                   QStringLiteral("insert into orders values (1, '0000-00-00', b'1', 'text', 'a'), "
                                  "(2, '2024-02-00', null, x'ff00', 'b'), "
                                  "(3, '2024-02-29', b'0', null, null)")});
    profile.blobtotext = true;

    const dovrelle::RunResult result = run();

    // The copy's failure lines make the table one with errors; the verification adds none.
    EXPECT_EQ(result.tablesWithErrors, QStringList{QStringLiteral("ORDERS")});
    EXPECT_EQ(verifyLine(),
              QStringLiteral("Verify table ORDERS 3 Rows, 2 zero dates and 1 blob value that is no text stored as NULL "
                             "...Done"))
        << log.lines().join(u'\n').toStdString();
    EXPECT_EQ(tableLines().mid(2, 6),
              (QStringList{QStringLiteral("day:TDateField"),
                           QStringLiteral("Row id=1, column DAY: 0000-00-00 00:00:00 is not a valid date"),
                           QStringLiteral("day:TDateField"),
                           QStringLiteral("Row id=2, column DAY: 2024-02-00 00:00:00 is not a valid date"),
                           QStringLiteral("photo:TBlobField"),
                           QStringLiteral("Row id=2, column PHOTO: the bytes are not valid UTF-8 text")}))
        << log.lines().join(u'\n').toStdString();
}

TEST_F(RowVerification, MergeComparesOnlyTheRowsAdded)
{
    prepareMergeIntoEarlierRows();

    const dovrelle::RunResult result = run();

    EXPECT_EQ(result.outcome, dovrelle::RunOutcome::Completed) << log.lines().join(u'\n').toStdString();
    EXPECT_EQ(verifyLine(),
              QStringLiteral("Verify table ORDERS 1200 Rows (Merge: rows counted only) ...Done"));
}

TEST_F(RowVerification, MergeWithARowLostReportsTheCounts)
{
    prepareMergeIntoEarlierRows();
    changeOracleBeforeVerification({QStringLiteral("delete from \"ORDERS\" where \"ID\" = 9")});

    const dovrelle::RunResult result = run();

    EXPECT_EQ(result.outcome, dovrelle::RunOutcome::CompletedWithErrors);
    EXPECT_EQ(verifyLine(), QStringLiteral("Verify table ORDERS: MySQL 1200 rows, Oracle 1199 "
                                           "rows added to 5 earlier rows (Merge: rows counted "
                                           "only)"));
}

// A merge into a table the run itself creates has no earlier rows: the content is compared.
TEST_F(RowVerification, MergeIntoANewTableComparesTheContent)
{
    mysql.execute(kOrders);
    profile.processtable = dovrelle::ExistingTableAction::Merge;
    changeOracleBeforeVerification({QStringLiteral("update \"ORDERS\" set \"BODY\" = '00' where \"ID\" = 4")});

    run();

    EXPECT_EQ(verifyLine(), QStringLiteral("Verify table ORDERS: content differs in column BODY"))
        << log.lines().join(u'\n').toStdString();
}

// The verification reads FLOAT and DOUBLE by their binary value, on a path of its own: exact values
// agree, also those MySQL would print with six digits (a FLOAT) or Oracle with other digits.
TEST_F(RowVerification, FloatsAndDoublesAgreeByTheirBinaryValue)
{
    mysql.execute({QStringLiteral("create table orders (id int primary key, f float, d double)"),
                   QStringLiteral("insert into orders values (1, 0.5, 0.1 + 0.2), (2, -2.25, 1e125), "
                                  "(3, 100, -1e-100), (4, -0.0, 123456789.12345679), "
                                  "(5, null, 2.2250738585072014e-120), (6, 3, -0.0)")});

    run();

    EXPECT_EQ(verifyLine(), QStringLiteral("Verify table ORDERS 6 Rows ...Done")) << log.lines().join(u'\n').toStdString();
}

// A FLOAT in Oracle at the 6 significant digits of MySQL's text (16777216 as 16777200) is a
// difference of its column, whether the copy or a later change put it there: the verification does
// not share the copy's reading of the value.
TEST_F(RowVerification, FloatAtItsSixDigitTextIsADifference)
{
    mysql.execute({QStringLiteral("create table orders (id int primary key, f float, d double)"),
                   QStringLiteral("insert into orders values (1, 16777216, 1), (2, 1234567.875, 2), "
                                  "(3, 1.0000001, 3)")});
    changeOracleBeforeVerification({QStringLiteral("update \"ORDERS\" set \"F\" = 16777200 where \"ID\" = 1"),
                                    QStringLiteral("update \"ORDERS\" set \"F\" = 1234570 where \"ID\" = 2"),
                                    QStringLiteral("update \"ORDERS\" set \"F\" = 1 where \"ID\" = 3")});

    const dovrelle::RunResult result = run();

    EXPECT_EQ(verifyLine(), QStringLiteral("Verify table ORDERS: content differs in column F"))
        << log.lines().join(u'\n').toStdString();
    EXPECT_EQ(result.tablesWithErrors, QStringList{QStringLiteral("ORDERS")});
}

// The copy forced back to reading FLOAT as the server's 6-digit text: the verification reads MySQL
// on its own path, so it reports what the faulty copy changed instead of blessing it.
TEST_F(RowVerification, ACopyThatRoundsFloatsIsCaughtByTheVerification)
{
    mysql.execute({QStringLiteral("create table orders (id int primary key, f float)"),
                   QStringLiteral("insert into orders values (1, 16777216), (2, 1234567.875), (3, 1.0000001)")});
    dovrelle::setSixDigitFloatCopyForTests(true);
    const dovrelle::RunResult result = run();
    dovrelle::setSixDigitFloatCopyForTests(false);

    EXPECT_EQ(oracle.rows(QStringLiteral("select \"F\" from \"ORDERS\" where \"ID\" = 1")),
              QStringList{QStringLiteral("16777200")});
    EXPECT_EQ(verifyLine(), QStringLiteral("Verify table ORDERS: content differs in column F"))
        << log.lines().join(u'\n').toStdString();
    EXPECT_EQ(result.tablesWithErrors, QStringList{QStringLiteral("ORDERS")});
}

// Dates and times are compared on the verification's own path, from MySQL's text of each value
// and the documented mapping (a time as a DATE on 1900-01-01, or as an interval with Keep full
// schema), never through the copy's conversion: the extremes agree exactly in both mappings, a
// datetime(6) to the microsecond; a value damaged through OCI after the copy is a difference.
struct TemporalDamage {
    const char* name;
    const char* statement;  // run through OCI before the verification; none: nothing damaged
    const char* expectedLine;
};

class TemporalColumns : public RowVerification,
                        public ::testing::WithParamInterface<std::tuple<bool, TemporalDamage>> {};

TEST_P(TemporalColumns, AreComparedFromMySqlsText)
{
    const auto& [fullSchema, damage] = GetParam();
    profile.fullschema = fullSchema;
    mysql.execute({QStringLiteral("create table orders (id int primary key, d date, dt datetime, f datetime(6), "
                                  "ts timestamp(3) null, t time, tf time(2), y year)"),
                   QStringLiteral("insert into orders values "
                                  "(1, '2024-02-29', '2024-02-29 23:59:59', '2024-02-29 23:59:59.123456', "
                                  "'2024-02-29 23:59:59.125', '838:59:59', '-837:59:59.50', 2024), "
                                  "(2, '1000-01-01', '1000-01-01 00:00:00', '1000-01-01 00:00:00.000001', "
                                  "'1970-01-02 00:00:00.001', '-00:00:01', '00:00:00.01', 1901), "
                                  "(3, '9999-12-31', '9999-12-31 23:59:59', '9999-12-31 23:59:59.999999', "
                                  "'2038-01-19 03:14:07.999', '25:00:00', '-25:30:00.25', 2155), "
                                  "(4, null, null, null, null, null, null, null)")});
    if (damage.statement) {
        onEvents = [this, statement = QString::fromUtf8(damage.statement)] {
            if (changed || !log.lastLine().startsWith(QLatin1String("Verify table ")))
                return;
            changed = true;
            openConnections();
            oracleConnection.execute(statement, true);
        };
    }

    run();

    EXPECT_EQ(verifyLine(), QString::fromUtf8(damage.expectedLine)) << log.lines().join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    RowVerification, TemporalColumns,
    ::testing::Combine(
        ::testing::Bool(),
        ::testing::Values(
            TemporalDamage{"AsCopied", nullptr, "Verify table ORDERS 4 Rows ...Done"},
            TemporalDamage{"DateMovedADay",
                           "update \"ORDERS\" set \"D\" = to_date('2024-03-01', 'YYYY-MM-DD') where \"ID\" = 1",
                           "Verify table ORDERS: content differs in column D"},
            TemporalDamage{"DatetimeMovedASecond",
                           "update \"ORDERS\" set \"DT\" = to_date('1000-01-01 00:00:01', 'YYYY-MM-DD HH24:MI:SS') "
                           "where \"ID\" = 2",
                           "Verify table ORDERS: content differs in column DT"},
            TemporalDamage{"FractionMovedAMicrosecond",
                           "update \"ORDERS\" set \"F\" = to_timestamp('2024-02-29 23:59:59.123457', "
                           "'YYYY-MM-DD HH24:MI:SS.FF6') where \"ID\" = 1",
                           "Verify table ORDERS: content differs in column F"})),
    [](const ::testing::TestParamInfo<std::tuple<bool, TemporalDamage>>& info) {
        return std::string(std::get<0>(info.param) ? "FullSchema_" : "Classic_") + std::get<1>(info.param).name;
    });

// Oracle keeps no empty string and no zero date: MySQL's '' (a CHAR of blanks among them) and zero
// dates are expected NULL and counted in the line; a NULL for a value, or a value for a NULL, is a
// difference all the same.
struct DocumentedNullCase {
    const char* name;
    QStringList oracleChanges;
    QString expectedLine;
};

class DocumentedNulls : public RowVerification, public ::testing::WithParamInterface<DocumentedNullCase> {};

TEST_P(DocumentedNulls, AreCountedAndNothingElseIsExcused)
{
    mysql.execute({QStringLiteral("SET SESSION sql_mode = ''"),
                   QStringLiteral("create table orders (id int primary key, note varchar(10), code char(4), "
                                  "day date, stamp datetime)"),
                   QStringLiteral("insert into orders values (1, '', '    ', '0000-00-00', '2024-01-01 10:00:00'), "
                                  "(2, 'x', 'ab', '2024-01-02', '0000-00-00 00:00:00'), "
                                  "(3, null, null, null, null), (4, '', 'cd', '2024-05-00', null)")});
    changeOracleBeforeVerification(GetParam().oracleChanges);

    run();

    EXPECT_TRUE(verifyLine().startsWith(GetParam().expectedLine)) << verifyLine().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    RowVerification, DocumentedNulls,
    ::testing::Values(
        DocumentedNullCase{"AsCopied", {},
                           QStringLiteral("Verify table ORDERS 4 Rows, 3 empty strings and 3 zero dates stored as NULL ...Done")},
        DocumentedNullCase{"ValueBecameNull", {QStringLiteral("update \"ORDERS\" set \"NOTE\" = null where \"ID\" = 2")},
                           QStringLiteral("Verify table ORDERS: content differs in column NOTE")},
        DocumentedNullCase{"NullBecameValue", {QStringLiteral("update \"ORDERS\" set \"CODE\" = 'zz' where \"ID\" = 3")},
                           QStringLiteral("Verify table ORDERS: content differs in column CODE")},
        DocumentedNullCase{"EmptyStringBecameValue", {QStringLiteral("update \"ORDERS\" set \"NOTE\" = ' ' where \"ID\" = 1")},
                           QStringLiteral("Verify table ORDERS: content differs in column NOTE")}),
    [](const ::testing::TestParamInfo<DocumentedNullCase>& info) { return info.param.name; });

// MySQL's side reads text in UTF-8 whatever the connection's character set: a connection in
// utf8mb4 carries every character and the copy verifies; one in latin1 turned the characters latin1
// lacks into '?' on their way into Oracle, and the verification, reading the real text, says so.
struct ConnectionCharsetCase {
    const char* charset;
    QString expectedLine;
};

class TextOverConnectionCharset : public RowVerification,
                                  public ::testing::WithParamInterface<ConnectionCharsetCase> {};

TEST_P(TextOverConnectionCharset, IsComparedByItsRealCharacters)
{
    mysql.execute({QStringLiteral("create table wide (id int primary key, plain varchar(20) character set latin1, "
                                  "title varchar(20) character set utf8mb4)"),
                   QStringLiteral("insert into wide values (1, 'café', '中文 😀'), (2, 'naïve', 'Größe'), "
                                  "(3, 'plain', 'plain')")});
    profile.tables = {QStringLiteral("wide")};
    profile.character_set = QString::fromLatin1(GetParam().charset);

    run();

    EXPECT_EQ(verifyLine(), GetParam().expectedLine) << log.lines().join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    RowVerification, TextOverConnectionCharset,
    ::testing::Values(ConnectionCharsetCase{"utf8mb4", QStringLiteral("Verify table WIDE 3 Rows ...Done")},
                      ConnectionCharsetCase{"latin1", QStringLiteral("Verify table WIDE: content differs in column TITLE")}),
    [](const ::testing::TestParamInfo<ConnectionCharsetCase>& info) { return std::string(info.param.charset); });

// The Oracle table is read under its real name, not under the name as log lines show it: a tab
// stays a tab (and the table named with a backslash and a t is not read instead).
TEST_F(RowVerification, TableNameWithATabIsReadUnderItsRealName)
{
    mysql.execute({QStringLiteral("create table `tab\tname` (id int primary key)"),
                   QStringLiteral("insert into `tab\tname` values (1), (2)")});
    oracle.sql(QStringLiteral("create table \"TAB\\tNAME\" (\"ID\" number)"));
    oracle.sql(QStringLiteral("insert into \"TAB\\tNAME\" values (7)"));
    profile.tables = {QStringLiteral("tab\tname")};

    const dovrelle::RunResult result = run();

    EXPECT_EQ(verifyLine(), QStringLiteral("Verify table TAB\\tNAME 2 Rows ...Done")) << log.lines().join(u'\n').toStdString();
    EXPECT_EQ(result.outcome, dovrelle::RunOutcome::Completed);
}

// A stop during the verification ends it like a stop during the copy: "Operation aborted" under
// the table's line, the table counted as failed, and no further table.
TEST_F(RowVerification, StopDuringVerificationEndsTheRun)
{
    mysql.execute(kOrders);
    mysql.execute({QStringLiteral("create table later (id int primary key)"),
                   QStringLiteral("insert into later values (1)")});
    profile.tables = {QStringLiteral("orders"), QStringLiteral("later")};
    QString lineAtStop;
    onEvents = [this, &lineAtStop] {
        if (lineAtStop.isEmpty() && log.lastLine().startsWith(QLatin1String("Verify table ORDERS Oracle 300"))) {
            lineAtStop = log.lastLine();
            stop = true;
        }
    };

    const dovrelle::RunResult result = run();

    EXPECT_EQ(result.outcome, dovrelle::RunOutcome::Stopped);
    EXPECT_EQ(lineAtStop, QStringLiteral("Verify table ORDERS Oracle 300 Rows "));
    // The copy was whole: no table is partial, and the one after it was not reached.
    EXPECT_EQ(log.lines().mid(log.lineCount() - 4),
              (QStringList{QStringLiteral("Verify table ORDERS Oracle 300 Rows "),
                           QStringLiteral("Operation aborted"), QString(), QStringLiteral("Tables not reached: later")}));
    EXPECT_EQ(oracleTables(), QStringList{QStringLiteral("ORDERS")});
}

}  // namespace
