// The row copy: rows streamed from the real test server into oraemu through the insert buffer.
#include "engine/row_copy.h"
#include "engine/row_verification.h"
#include "engine/run_log.h"

#include "db/error.h"
#include "db/mysql_connection.h"
#include "db/mysql_query.h"
#include "db/oracle_connection.h"
#include "db/oracle_insert_buffer.h"

#include "mysql_test_server.h"
#include "oraemu_test_db.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

using namespace dovrelle;
using testsupport::ScratchMySqlDatabase;
using testsupport::ScratchOracleDatabase;

namespace {

const QString kTableLine = QStringLiteral("Insert table T... ");

// How a copy ended: what copyRows returned, or the error it threw.
struct CopyEnd {
    enum class Outcome { Copied, Failed, Stopped };
    Outcome outcome = Outcome::Copied;
    QString error;
    QStringList columnFailures;
};

CopyEnd endOf(const std::function<CopiedRows()>& copy)
{
    try {
        const CopiedRows copied = copy();
        return {copied.stopped ? CopyEnd::Outcome::Stopped : CopyEnd::Outcome::Copied, {}, copied.columnFailures};
    } catch (const Error& e) {
        return {CopyEnd::Outcome::Failed, e.message(), {}};
    }
}

QString progressLine(int rows)
{
    return QStringLiteral("Insert table T %1 Rows ").arg(rows);
}

// The rows committed in Oracle when the row count reached `rowCount`: the first apply at row
// 100, then one every 5000 rows.
qint64 committedAfterIntermediateApplies(int rowCount)
{
    if (rowCount < 100)
        return 0;
    return 100 + 5000 * ((rowCount - 100) / 5000);
}

class RowCopy : public ::testing::Test {
protected:
    void SetUp() override
    {
        data.setParameters(testsupport::mysqlParameters(mysql.name()));
        data.open();
        const ParameterList oracleParameters =
            OracleConnection::standardParameters(oracle.service(), oracle.user(), oracle.password());
        target.setParameters(oracleParameters);
        target.open();
        observer.setParameters(oracleParameters);
        observer.open();
        log.append(QStringLiteral("Create table T...Done"));
        log.append(QString());
        log.append(kTableLine);
    }

    // A source table t (id, v) with ids 1..rows and v = 'v' || id, and its target "T".
    void makeNumberedTable(int rows)
    {
        mysql.execute({QStringLiteral("create table t (id int primary key, v varchar(20))")});
        if (rows > 0)
            mysql.execute({QStringLiteral("insert into t select seq, concat('v', seq) from seq_1_to_%1")
                               .arg(rows)});
        oracle.sql(QStringLiteral("create table \"T\" (\"ID\"  number, \"V\" varchar2(20))"));
    }

    CopyEnd copy(const QString& mysqlName = QStringLiteral("t"))
    {
        CopyHooks hooks;
        hooks.letEventsThrough = [this] {
            ++eventDeliveries;
            progressSeen.push_back(log.lastLine());
            committedSeen.push_back(committed());
        };
        hooks.letEventsThroughWhileWaiting = [this] {
            stoppedByWait = stopWhileWaiting && eventDeliveries >= 1;
        };
        hooks.stopRequested = [this] {
            return stoppedByWait || (stopAfterDeliveries > 0 && eventDeliveries >= stopAfterDeliveries);
        };
        return endOf([&] { return copyRows(data, buffer, mysqlName, QStringLiteral("T"), log, hooks); });
    }

    qint64 committed(const QString& where = {})
    {
        return observer.queryInteger(QStringLiteral("select count(*) from \"T\"") + where);
    }

    ScratchMySqlDatabase mysql{QStringLiteral("rows")};
    ScratchOracleDatabase oracle;
    MySqlConnection data;
    OracleConnection target;    // oracleconn: the insert buffer's connection
    OracleConnection observer;  // a second session that sees only committed rows
    OracleInsertBuffer buffer{target};
    RunLog log;

    int eventDeliveries = 0;
    int stopAfterDeliveries = 0;
    bool stopWhileWaiting = false;  // stop at the first wait for rows after row 100
    bool stoppedByWait = false;
    std::vector<QString> progressSeen;    // last log line at each event delivery
    std::vector<qint64> committedSeen;    // committed rows at each event delivery
};

// Applies at rows 100, 5100, 10100 ... and at the end, seen from a second session at every
// progress update.
class RowCopyBatches : public RowCopy, public ::testing::WithParamInterface<int> {};

TEST_P(RowCopyBatches, AreCommittedAtTheRightRows)
{
    const int rows = GetParam();
    makeNumberedTable(rows);

    const CopyEnd result = copy();

    ASSERT_EQ(result.outcome, CopyEnd::Outcome::Copied) << result.error.toStdString();
    ASSERT_EQ(eventDeliveries, rows / 100);
    for (int i = 0; i < eventDeliveries; ++i) {
        const int rowCount = 100 * (i + 1);
        EXPECT_EQ(committedSeen[i], committedAfterIntermediateApplies(rowCount)) << "at row " << rowCount;
        EXPECT_EQ(progressSeen[i], progressLine(rowCount));
    }
    EXPECT_EQ(committed(), rows);
    EXPECT_EQ(committed(QStringLiteral(" where \"V\" = 'v' || \"ID\"")), rows);
    EXPECT_EQ(log.lines(), (QStringList{QStringLiteral("Create table T...Done"), QString(),
                                        progressLine(rows)}));
}

INSTANTIATE_TEST_SUITE_P(RowCounts, RowCopyBatches, ::testing::Values(0, 99, 100, 5100, 12000));

// Text and decimals reach Oracle as the source holds them whatever character set the connection
// reads in; characters the connection's set lacks come as the server replaces them ('?').
struct TextCase {
    const char* connectionCharset;  // "" for the default
    const char* unicodeColumn;      // what Oracle holds of the utf8mb4 column
};

void PrintTo(const TextCase& c, std::ostream* out)
{
    *out << "connection charset '" << c.connectionCharset << "'";
}

class RowCopyText : public RowCopy, public ::testing::WithParamInterface<TextCase> {};

TEST_P(RowCopyText, ArrivesAsTheSourceHoldsIt)
{
    data.close();
    data.setParameters(testsupport::mysqlParameters(mysql.name(), QString::fromUtf8(GetParam().connectionCharset)));
    data.open();
    mysql.execute({QStringLiteral("create table t (id int, u varchar(20) charset utf8mb4, "
                                  "l varchar(20) charset latin1, n decimal(8,3), d decimal(8,3), "
                                  "c text charset utf8mb4)"),
                   QStringLiteral("insert into t values (1, 'Gr\u00f6\u00dfe \u2603 \U0001F600', "
                                  "'\u00c6r\u00f8 caf\u00e9', -12.5, 0.25, 'note \u00e9'), "
                                  "(2, '', '', 0, 0, ''), (3, null, null, null, null, null)")});
    oracle.sql(QStringLiteral("create table \"T\" (\"ID\" number, \"U\" varchar2(40), \"L\" varchar2(40), "
                              "\"N\" number, \"D\" varchar2(20), \"C\" clob)"));

    const CopyEnd result = copy();

    ASSERT_EQ(result.outcome, CopyEnd::Outcome::Copied) << result.error.toStdString();
    EXPECT_TRUE(result.columnFailures.isEmpty()) << result.columnFailures.join(u' ').toStdString();
    const QString nulls = QStringLiteral("select \"ID\" from \"T\" where \"U\" is null and \"L\" is null "
                                         "and \"N\" is null and \"D\" is null and \"C\" is null order by \"ID\"");
    EXPECT_EQ(oracle.rows(nulls), (QStringList{QStringLiteral("3")}));
    EXPECT_EQ(oracle.rows(QStringLiteral("select \"U\", \"L\", \"N\", \"D\", to_char(\"C\") from \"T\" "
                                         "where \"ID\" < 3 order by \"ID\"")),
              (QStringList{QString::fromUtf8(GetParam().unicodeColumn)
                               + QStringLiteral("\t\u00c6r\u00f8 caf\u00e9\t-12.5\t0.250\tnote \u00e9"),
                           QStringLiteral("\t\t0\t0.000\t")}));
}

INSTANTIATE_TEST_SUITE_P(
    ConnectionCharsets, RowCopyText,
    ::testing::Values(TextCase{"", "Gr\u00f6\u00dfe \u2603 \U0001F600"},
                      TextCase{"utf8mb3", "Gr\u00f6\u00dfe \u2603 ?"},
                      TextCase{"latin1", "Gr\u00f6\u00dfe ? ?"},
                      TextCase{"binary", "Gr\u00f6\u00dfe \u2603 \U0001F600"}),
    [](const ::testing::TestParamInfo<TextCase>& info) {
        return std::string(*info.param.connectionCharset ? info.param.connectionCharset : "default");
    });

// U+FEFF (UTF-8 EF BB BF) at the start of a value is a character of the data, not a byte order
// mark to drop: it reaches Oracle, and the verification compares it, as the source holds it. A
// connection whose character set lacks it gets the server's '?' instead in the copy; the
// verification reads the column in its own character set and reports the difference.
struct FeffCase {
    const char* connectionCharset;  // "" for the default
    bool carriesFeff;               // false: the server sends '?' for U+FEFF
};

void PrintTo(const FeffCase& c, std::ostream* out)
{
    *out << "connection charset '" << c.connectionCharset << "'";
}

class RowCopyFeff : public RowCopy, public ::testing::WithParamInterface<FeffCase> {};

TEST_P(RowCopyFeff, ArrivesAndVerifiesAsTheSourceHoldsIt)
{
    data.close();
    data.setParameters(testsupport::mysqlParameters(mysql.name(), QString::fromUtf8(GetParam().connectionCharset)));
    data.open();
    const QByteArray feff("\xEF\xBB\xBF");
    const QList<QByteArray> texts = {feff + "first", "in the " + feff + "middle", feff};
    mysql.execute({QStringLiteral("create table t (id int, u varchar(20) charset utf8mb4, "
                                  "w varchar(20) charset utf16, c text charset utf8mb4)")});
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const QString text = QStringLiteral("convert(X'%1' using utf8mb4)").arg(QString::fromLatin1(texts[i].toHex()));
        mysql.execute({QStringLiteral("insert into t values (%1, %2, %2, %2)").arg(i + 1).arg(text)});
    }
    oracle.sql(QStringLiteral("create table \"T\" (\"ID\" number, \"U\" varchar2(40), \"W\" varchar2(40), "
                              "\"C\" clob)"));

    const CopyEnd result = copy();

    ASSERT_EQ(result.outcome, CopyEnd::Outcome::Copied) << result.error.toStdString();
    EXPECT_TRUE(result.columnFailures.isEmpty()) << result.columnFailures.join(u' ').toStdString();
    for (qsizetype i = 0; i < texts.size(); ++i) {
        QByteArray expected = texts[i];
        if (!GetParam().carriesFeff)
            expected.replace(feff, "?");
        const QStringList rows = oracle.rows(
            QStringLiteral("select \"U\", \"W\", to_char(\"C\") from \"T\" where \"ID\" = %1").arg(i + 1));
        ASSERT_EQ(rows.size(), 1) << "row " << i + 1;
        EXPECT_EQ(rows[0].toUtf8().toHex(' ').toStdString(),
                  (expected + '\t' + expected + '\t' + expected).toHex(' ').toStdString())
            << "row " << i + 1;
    }

    RowVerificationRequest request;
    request.mysqlName = QStringLiteral("t");
    request.oracleName = QStringLiteral("T");
    RunLog verified;
    EXPECT_EQ(verifyCopiedRows(data, observer, request, verified, {}), GetParam().carriesFeff)
        << verified.lines().join(u'\n').toStdString();
    EXPECT_EQ(verified.lines().value(0).toStdString(), GetParam().carriesFeff
                                                           ? "Verify table T 3 Rows ...Done"
                                                           : "Verify table T: content differs in columns U, W, C");

    // The same text without its first character is another value.
    oracle.sql(QStringLiteral("update \"T\" set \"U\" = 'first', \"W\" = 'first', \"C\" = 'first' "
                              "where \"ID\" = 1"));
    RunLog differing;
    EXPECT_FALSE(verifyCopiedRows(data, observer, request, differing, {}));
    EXPECT_EQ(differing.lines().value(0).toStdString(), "Verify table T: content differs in columns U, W, C");
}

INSTANTIATE_TEST_SUITE_P(
    ConnectionCharsets, RowCopyFeff,
    ::testing::Values(FeffCase{"", true}, FeffCase{"utf8mb3", true}, FeffCase{"latin1", false},
                      FeffCase{"binary", true}),
    [](const ::testing::TestParamInfo<FeffCase>& info) {
        return std::string(*info.param.connectionCharset ? info.param.connectionCharset : "default");
    });

TEST_F(RowCopy, StopEndsTheCopyAtTheProgressUpdate)
{
    makeNumberedTable(4000);
    stopAfterDeliveries = 30;  // the update at row 3000

    const CopyEnd result = copy();

    EXPECT_EQ(result.outcome, CopyEnd::Outcome::Stopped);
    EXPECT_TRUE(result.error.isEmpty());
    EXPECT_EQ(eventDeliveries, 30);
    EXPECT_EQ(committed(), 100);
    EXPECT_EQ(committed(QStringLiteral(" where \"ID\" >= 1 and \"ID\" <= 100")), 100);
    EXPECT_EQ(log.lastLine(), progressLine(3000));
}

// Oracle rejects row 150 (its key repeats row 1's): the final apply, rows 101 to 1000, leaves
// none of its rows; the first batch stays.
TEST_F(RowCopy, RejectedRowRollsBackItsBatchOnly)
{
    mysql.execute({QStringLiteral("create table t (n int primary key, id int)"),
                   QStringLiteral("insert into t select seq, if(seq = 150, 1, seq) from seq_1_to_1000")});
    oracle.sql(QStringLiteral("create table \"T\" (\"N\"  number, \"ID\"  number)"));
    oracle.sql(QStringLiteral("alter table \"T\" add constraint \"PK\" primary key (\"ID\")"));

    const CopyEnd result = copy();

    EXPECT_EQ(result.outcome, CopyEnd::Outcome::Failed);
    EXPECT_TRUE(result.error.startsWith(QStringLiteral("ORA-00001"))) << result.error.toStdString();
    EXPECT_TRUE(result.error.endsWith(QStringLiteral(" at Row n=150"))) << result.error.toStdString();
    EXPECT_EQ(committed(), 100);
    EXPECT_EQ(committed(QStringLiteral(" where \"N\" >= 1 and \"N\" <= 100")), 100);
    EXPECT_EQ(log.lastLine(), progressLine(1000));
    EXPECT_EQ(log.lineCount(), 3);  // the run, not the copy, writes the error text
}

// A row Oracle refuses when its batch is applied is named in the copy's error after Oracle's
// message: by its key values, or by its place when the table has none; also in a later batch and
// when the batch was sent early in parts.
struct RefusedRowCase {
    const char* name;
    const char* source;       // MySQL: create table t ... and its rows
    const char* target;       // Oracle: create table "T" ...
    qint64 batchByteLimit;    // 0: the default
    const char* errorStart;
    const char* rowName;
};

class RowCopyRefusedRow : public RowCopy, public ::testing::WithParamInterface<RefusedRowCase> {};

TEST_P(RowCopyRefusedRow, IsNamedInTheError)
{
    const RefusedRowCase& c = GetParam();
    mysql.execute(QString::fromUtf8(c.source).split(u';'));
    oracle.sql(QString::fromUtf8(c.target));
    if (c.batchByteLimit > 0)
        buffer.setBatchByteLimit(c.batchByteLimit);

    const CopyEnd result = copy();

    EXPECT_EQ(result.outcome, CopyEnd::Outcome::Failed);
    EXPECT_TRUE(result.error.startsWith(QString::fromUtf8(c.errorStart))) << result.error.toStdString();
    EXPECT_TRUE(result.error.endsWith(QStringLiteral(" at ") + QString::fromUtf8(c.rowName)))
        << result.error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RowCopyRefusedRow,
    ::testing::Values(
        RefusedRowCase{"NullInALaterBatch",
                       "create table t (id int primary key, v varchar(20));"
                       "insert into t select seq, if(seq = 5300, null, 'x') from seq_1_to_6000",
                       "create table \"T\" (\"ID\" number, \"V\" varchar2(20) not null)", 0,
                       "ORA-01400: cannot insert NULL into", "Row id=5300"},
        RefusedRowCase{"PrecisionWithoutAKey",
                       "create table t (id int, n int);"
                       "insert into t select seq, if(seq = 42, 100, 1) from seq_1_to_60",
                       "create table \"T\" (\"ID\" number, \"N\" number(2))", 0, "ORA-01438",
                       "Row 42 (no primary key; counted in reading order)"},
        RefusedRowCase{"CompositeKeyInABatchSentEarly",
                       "create table t (a int, b varchar(10), v varchar(20), primary key (a, b));"
                       "insert into t select seq, 'k', if(seq = 3000, null, 'x') from seq_1_to_4000",
                       "create table \"T\" (\"A\" number, \"B\" varchar2(10), \"V\" varchar2(20) not null)",
                       2000, "ORA-01400", "Row a=3000, b='k'"}),
    [](const ::testing::TestParamInfo<RefusedRowCase>& info) { return std::string(info.param.name); });

// Stopped while the next batch is being read ahead: the same end as without reading ahead (the
// rows of the unfinished batch not applied, the last progress line kept), and the connection
// serves the run again at once.
TEST_F(RowCopy, StopWhileTheNextBatchIsReadLeavesTheConnectionUsable)
{
    makeNumberedTable(30000);
    stopAfterDeliveries = 120;  // row 12000, in the batch after the apply at row 10100

    const CopyEnd result = copy();

    EXPECT_EQ(result.outcome, CopyEnd::Outcome::Stopped);
    EXPECT_EQ(eventDeliveries, 120);
    EXPECT_EQ(committed(), 10100);
    EXPECT_EQ(committed(QStringLiteral(" where \"V\" = 'v' || \"ID\" and \"ID\" <= 10100")), 10100);
    EXPECT_EQ(log.lines(), (QStringList{QStringLiteral("Create table T...Done"), QString(),
                                        progressLine(12000)}));
    MySqlQuery after(data);
    after.open(QStringLiteral("select count(*) from t"));
    EXPECT_EQ(after.intAt(0), 30000);
}

// Stopped at a check point or while waiting for rows, with the source stalled (rows past the
// 300th wait for a lock the test holds): the copy ends at once rather than after the rows the
// server has yet to make, and the connection serves the run again. If the copy were to wait for
// them, a watchdog would have to open the lock.
class RowCopyStalledSource : public RowCopy, public ::testing::WithParamInterface<bool> {};

TEST_P(RowCopyStalledSource, StopDoesNotWaitForTheRowsBehindTheStall)
{
    // The lock is the server's, so its name is this test's own: both cases may run at once.
    const QString gateName = mysql.name() + QStringLiteral("_gate");
    mysql.execute({QStringLiteral("create view t as select seq as id, repeat('x', 20000) as pad, "
                                  "if(seq > 300, get_lock('%1', 60), 0) as g from seq_1_to_400").arg(gateName)});
    oracle.sql(QStringLiteral("create table \"T\" (\"ID\" number, \"PAD\" clob, \"G\" number)"));
    MySqlConnection gate;
    gate.setParameters(testsupport::mysqlParameters(mysql.name()));
    gate.open();
    MySqlQuery takeGate(gate);
    takeGate.open(QStringLiteral("select get_lock('%1', 0)").arg(gateName));
    ASSERT_EQ(takeGate.intAt(0), 1);
    takeGate.close();
    std::mutex mutex;
    std::condition_variable copyEnded;
    bool ended = false;
    bool openedByWatchdog = false;
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        if (!copyEnded.wait_for(lock, std::chrono::seconds(60), [&] { return ended; })) {
            openedByWatchdog = true;
            MySqlQuery(gate).open(QStringLiteral("select release_lock('%1')").arg(gateName));
        }
    });
    stopWhileWaiting = GetParam();
    stopAfterDeliveries = stopWhileWaiting ? 0 : 1;  // row 100

    const CopyEnd result = copy();
    {
        std::lock_guard lock(mutex);
        ended = true;
    }
    copyEnded.notify_all();
    watchdog.join();

    EXPECT_EQ(result.outcome, CopyEnd::Outcome::Stopped);
    EXPECT_FALSE(openedByWatchdog) << "the stop waited for the rows behind the lock";
    EXPECT_EQ(stoppedByWait, stopWhileWaiting);
    EXPECT_EQ(committed(), 100);
    MySqlQuery after(data);
    after.open(QStringLiteral("select count(*) from seq_1_to_400"));
    EXPECT_EQ(after.intAt(0), 400);
}

INSTANTIATE_TEST_SUITE_P(Stop, RowCopyStalledSource, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "WhileWaitingForRows" : "AtACheckPoint");
                         });

// The MySQL connection dies in the middle of the table: the copy fails with the client's message
// after the rows that arrived; what was applied stays, the table's line stays last.
TEST_F(RowCopy, LostSourceConnectionMidTableFailsTheCopy)
{
    mysql.execute({QStringLiteral("create table t (id int primary key, v varchar(2000))"),
                   QStringLiteral("insert into t select seq, repeat('v', 2000) from seq_1_to_60000")});
    oracle.sql(QStringLiteral("create table \"T\" (\"ID\"  number, \"V\" varchar2(2000))"));
    qint64 connectionId = 0;
    {
        MySqlQuery query(data);
        query.open(QStringLiteral("select connection_id()"));
        connectionId = query.intAt(0);
    }
    CopyHooks hooks;
    int deliveries = 0;
    hooks.letEventsThrough = [&] {
        if (++deliveries == 2)  // row 200, after the first apply
            testsupport::mysqlExecute({QStringLiteral("kill connection %1").arg(connectionId)});
    };

    const CopyEnd result =
        endOf([&] { return copyRows(data, buffer, QStringLiteral("t"), QStringLiteral("T"), log, hooks); });

    ASSERT_EQ(result.outcome, CopyEnd::Outcome::Failed);
    EXPECT_FALSE(result.error.isEmpty());
    const qint64 kept = committed();
    EXPECT_GE(kept, 100);
    EXPECT_LT(kept, 60000);
    EXPECT_EQ(kept, committedAfterIntermediateApplies(int(kept)));
    EXPECT_EQ(log.lineCount(), 3);
    EXPECT_TRUE(log.lastLine().startsWith(QStringLiteral("Insert table T "))) << log.lastLine().toStdString();
}

TEST_F(RowCopy, MissingTargetTableFailsWithOraclesMessage)
{
    mysql.execute({QStringLiteral("create table t (id int)"), QStringLiteral("insert into t values (1)")});

    const CopyEnd result =
        endOf([&] { return copyRows(data, buffer, QStringLiteral("t"), QStringLiteral("T"), log, {}); });

    EXPECT_EQ(result.outcome, CopyEnd::Outcome::Failed);
    EXPECT_TRUE(result.error.contains(QStringLiteral("ORA-00942"))) << result.error.toStdString();
    EXPECT_EQ(log.lastLine(), kTableLine);
}

// A source column the target lacks: one line per row above the table's line, rows inserted
// without the value.
TEST_F(RowCopy, SourceColumnTheTargetLacks)
{
    mysql.execute({QStringLiteral("create table t (id int, extra varchar(10))"),
                   QStringLiteral("insert into t values (1, 'a'), (2, 'b'), (3, null)")});
    oracle.sql(QStringLiteral("create table \"T\" (\"ID\"  number)"));

    const CopyEnd result = copy();

    ASSERT_EQ(result.outcome, CopyEnd::Outcome::Copied) << result.error.toStdString();
    const QString failure = QStringLiteral("extra:TStringField");
    const QString row = QStringLiteral("Row %1 (no primary key; counted in reading order), column extra: "
                                       "the Oracle table has no column extra");
    EXPECT_EQ(log.lines(), (QStringList{QStringLiteral("Create table T...Done"), QString(), failure,
                                        row.arg(1), failure, row.arg(2), failure, row.arg(3),
                                        progressLine(3)}));
    EXPECT_EQ(result.columnFailures, (QStringList{failure, failure, failure}));
    EXPECT_EQ(committed(), 3);
}

TEST_F(RowCopy, LongColumnNameFindsTheColumnNamedByItsFirst30Characters)
{
    const QString longName = QStringLiteral("quantity_ordered_by_the_customer_in_total");  // 41
    mysql.execute({QStringLiteral("create table t (id int, %1 int)").arg(longName),
                   QStringLiteral("insert into t values (1, 7), (2, 9)")});
    oracle.sql(QStringLiteral("create table \"T\" (\"ID\"  number, \"%1\"  number)")
                   .arg(longName.left(30).toUpper()));

    const CopyEnd result = copy();

    ASSERT_EQ(result.outcome, CopyEnd::Outcome::Copied) << result.error.toStdString();
    EXPECT_EQ(log.lineCount(), 3);
    EXPECT_TRUE(result.columnFailures.isEmpty());
    EXPECT_EQ(oracle.rows(QStringLiteral("select \"ID\", \"%1\" from \"T\" order by \"ID\"")
                              .arg(longName.left(30).toUpper())),
              (QStringList{QStringLiteral("1\t7"), QStringLiteral("2\t9")}));
}

TEST_F(RowCopy, BooleansBecomeOneAndZeroAndNullStaysNullWithoutAFailureLine)
{
    mysql.execute({QStringLiteral("create table t (id int, flag bit(1))"),
                   QStringLiteral("insert into t values (1, b'1'), (2, b'0'), (3, null)")});
    oracle.sql(QStringLiteral("create table \"T\" (\"ID\"  number, \"FLAG\"  number)"));

    const CopyEnd result = copy();

    ASSERT_EQ(result.outcome, CopyEnd::Outcome::Copied) << result.error.toStdString();
    EXPECT_EQ(log.lines(),
              (QStringList{QStringLiteral("Create table T...Done"), QString(), progressLine(3)}));
    EXPECT_TRUE(result.columnFailures.isEmpty());
    EXPECT_EQ(committed(QStringLiteral(" where \"ID\" = 1 and \"FLAG\" = 1")), 1);
    EXPECT_EQ(committed(QStringLiteral(" where \"ID\" = 2 and \"FLAG\" = 0")), 1);
    EXPECT_EQ(committed(QStringLiteral(" where \"ID\" = 3 and \"FLAG\" is null")), 1);
}

// A value the target column cannot take on row 150: its line stays in the log through the
// progress updates at rows 200 and 300, the row is inserted with that column NULL.
TEST_F(RowCopy, FailureLineSurvivesLaterProgressUpdates)
{
    mysql.execute({QStringLiteral("create table t (id int primary key, v varchar(10))"),
                   QStringLiteral("insert into t select seq, if(seq = 150, 'abc', seq) from seq_1_to_300")});
    oracle.sql(QStringLiteral("create table \"T\" (\"ID\"  number, \"V\"  number)"));

    const CopyEnd result = copy();

    ASSERT_EQ(result.outcome, CopyEnd::Outcome::Copied) << result.error.toStdString();
    EXPECT_EQ(progressSeen, (std::vector<QString>{progressLine(100), progressLine(200),
                                                  progressLine(300)}));
    EXPECT_EQ(log.lines(), (QStringList{QStringLiteral("Create table T...Done"), QString(),
                                        QStringLiteral("v:TStringField"),
                                        QStringLiteral("Row id=150, column V: 'abc' is not a number"),
                                        progressLine(300)}));
    EXPECT_EQ(committed(), 300);
    EXPECT_EQ(committed(QStringLiteral(" where \"V\" is null and \"ID\" = 150")), 1);
    EXPECT_EQ(committed(QStringLiteral(" where \"V\" = \"ID\"")), 299);
}

// Each value that cannot be copied keeps its "column:tag" line; the first 20 of a column are
// followed by a line naming the row and the reason, the rest are counted once at the end.
TEST_F(RowCopy, RowsBeyondTheTwentiethOfAColumnAreCounted)
{
    mysql.execute({QStringLiteral("create table t (id int primary key, v varchar(10))"),
                   QStringLiteral("insert into t select seq, if(seq <= 25, concat('x', seq), seq) from seq_1_to_30")});
    oracle.sql(QStringLiteral("create table \"T\" (\"ID\"  number, \"V\"  number)"));

    const CopyEnd result = copy();

    ASSERT_EQ(result.outcome, CopyEnd::Outcome::Copied) << result.error.toStdString();
    QStringList expected = {QStringLiteral("Create table T...Done"), QString()};
    for (int id = 1; id <= 25; ++id) {
        expected << QStringLiteral("v:TStringField");
        if (id <= 20)
            expected << QStringLiteral("Row id=%1, column V: 'x%1' is not a number").arg(id);
    }
    expected << QStringLiteral("Column V: 25 values could not be copied; the first 20 are named above")
             << progressLine(30);
    EXPECT_EQ(log.lines(), expected);
    EXPECT_EQ(result.columnFailures.size(), 25);
}

// A row is named by every column of its primary key, in key order: text quoted, bytes in hex.
TEST_F(RowCopy, ARowIsNamedByItsPrimaryKeyValues)
{
    mysql.execute({QStringLiteral("create table t (b varbinary(4), a varchar(10), v varchar(10), "
                                  "primary key (a, b))"),
                   QStringLiteral("insert into t values (x'0aff', 'x y', 'abc'), (x'01', 'z', '7')")});
    oracle.sql(QStringLiteral("create table \"T\" (\"B\" raw(4), \"A\" varchar2(10), \"V\"  number)"));

    const CopyEnd result = copy();

    ASSERT_EQ(result.outcome, CopyEnd::Outcome::Copied) << result.error.toStdString();
    EXPECT_EQ(log.lines().mid(2), (QStringList{QStringLiteral("v:TStringField"),
                                               QStringLiteral("Row a='x y', b=0x0AFF, column V: 'abc' is not a number"),
                                               progressLine(2)}));
}

TEST_F(RowCopy, SourceTableIsNamedAsMySqlListsIt)
{
    mysql.execute({QStringLiteral("create table `Mixed Case` (id int)"),
                   QStringLiteral("insert into `Mixed Case` values (1), (2)")});
    oracle.sql(QStringLiteral("create table \"T\" (\"ID\"  number)"));

    const CopyEnd result = copy(QStringLiteral("Mixed Case"));

    ASSERT_EQ(result.outcome, CopyEnd::Outcome::Copied) << result.error.toStdString();
    EXPECT_EQ(committed(), 2);
}

}  // namespace
