// Failures, stops and the empty table list: what the run logs, reports and saves.
#include "test_run_fixture.h"

#include "db/mysql_connection.h"
#include "db/oracle_insert_buffer.h"
#include "engine/data_folder.h"
#include "db/error.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

using namespace dovrelle;

namespace {

using RunFailures = runtest::RunFixture;

}  // namespace

TEST_F(RunFailures, FailedCreateIsLoggedAndTheNextTableStillConverts)
{
    // Two column names that agree in their first 30 characters: Oracle refuses the table.
    mysql.execute({"create table dupcols (a_column_name_of_thirty_chars_1 int, "
                   "a_column_name_of_thirty_chars_2 int)",
                   "insert into dupcols values (1, 2)",
                   "create table fine (id int)", "insert into fine values (1)"});
    profile.tables = {QStringLiteral("dupcols"), QStringLiteral("fine")};
    profile.skipindex = true;

    const RunResult result = run();

    EXPECT_EQ(result.outcome, RunOutcome::CompletedWithErrors);
    EXPECT_EQ(result.tablesWithErrors, QStringList({"DUPCOLS"}));
    const QStringList lines = tableLines();
    ASSERT_EQ(lines.size(), 10) << lines.join(u'\n').toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("Create table DUPCOLS... "));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("ORA-"))) << lines[1].toStdString();
    EXPECT_EQ(lines[2], QString());
    // The row copy is still tried, and fails on the missing table.
    EXPECT_EQ(lines[3], QStringLiteral("Insert table DUPCOLS... "));
    EXPECT_FALSE(lines[4].isEmpty());
    EXPECT_EQ(lines.mid(5), QStringList({"", "Create table FINE...Done", "",
                                         "Insert table FINE 1 Rows ...Done", ""}));
    EXPECT_EQ(oracleTables(), QStringList({"FINE"}));
    EXPECT_TRUE(job->lastTableDefinition().startsWith(QStringLiteral("Create table \"FINE\" (")));
    EXPECT_EQ(log.lines()[log.lineCount() - 3],
              QStringLiteral("Conversion finished with errors in 1 of 2 tables: DUPCOLS"));
    EXPECT_TRUE(QFile::exists(hooks.logFilePath));
}

TEST_F(RunFailures, ColumnNameWithADoubleQuoteFailsTheCreateStep)
{
    mysql.execute({"create table colq (`a\"b` int)"});
    profile.tables = {QStringLiteral("colq")};
    profile.skipindex = true;
    profile.tabledefonly = true;

    const RunResult result = run();

    EXPECT_EQ(result.outcome, RunOutcome::CompletedWithErrors);
    EXPECT_EQ(tableLines(),
              QStringList({"Create table COLQ... ",
                           "The column name A\"B holds a double quote, which an Oracle name cannot hold",
                           ""}));
    EXPECT_TRUE(oracleTables().isEmpty());
}

TEST_F(RunFailures, FailedDropIsFollowedByACreateAttempt)
{
    mysql.execute({"create table t1 (id int)"});
    // The existence test looks in the schema named by oracleu. Here that is another user's
    // schema holding T1, which the logged-on session cannot drop; it can create its own T1.
    for (const QStringList& arguments :
         {QStringList{"user", oracle.service(), "OTHER", "secret"},
          QStringList{"sql", oracle.service(), "OTHER", "secret", "create table \"T1\" (x number)"}}) {
        QProcess tool;
        tool.start(testsupport::oraemuTool(), arguments);
        ASSERT_TRUE(tool.waitForFinished(60000));
        ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    }
    profile.oracleu = QStringLiteral("other");
    profile.tables = {QStringLiteral("t1")};
    profile.tabledefonly = true;
    profile.skipindex = true;

    // A job logs on as oracleu, who may drop its own tables; a drop that Oracle refuses (a lock,
    // a foreign key) needs the run on connections of another user, so this test lends them itself.
    MySqlConnection catalog;
    MySqlConnection data;
    catalog.setParameters(catalogConnectionParameters(profile, profile.mysqldatabase));
    catalog.open();
    openConnections();
    OracleConnection oracleData;
    oracleData.setParameters(oracleConnection.parameters());
    oracleData.open();
    OracleInsertBuffer buffer(oracleConnection);
    RunHost host{hooks, catalog, data, oracleConnection, oracleData, buffer};
    const RunResult result = runConversion(profile, log, host);

    EXPECT_EQ(result.outcome, RunOutcome::CompletedWithErrors);
    EXPECT_EQ(result.tablesWithErrors, QStringList({"T1"}));
    const QStringList lines = tableLines();
    ASSERT_EQ(lines.size(), 5) << lines.join(u'\n').toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("Drop table T1... "));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("ORA-00942"))) << lines[1].toStdString();
    EXPECT_EQ(lines.mid(2), QStringList({"", "Create table T1...Done", ""}));
}

TEST_F(RunFailures, DataConnectionThatCannotOpenEndsTheRunAfterTheStartLine)
{
    profile.tables = {QStringLiteral("anything")};
    // The catalog connection is open by now; the database goes before the data connection opens.
    hooks.runStarted = [this] {
        testsupport::mysqlExecute({QStringLiteral("drop database `%1`").arg(mysql.name())});
    };
    EXPECT_THROW(run(), Error);
    ASSERT_EQ(log.lineCount(), 1);
    EXPECT_TRUE(log.lastLine().startsWith(QStringLiteral("Start time:")));
    EXPECT_FALSE(QFile::exists(hooks.logFilePath));
}

TEST_F(RunFailures, ConnectionThatCannotOpenEndsTheJobBeforeTheStartLine)
{
    profile.tables = {QStringLiteral("anything")};
    const auto badLogons = std::initializer_list<std::function<void(ConversionProfile&)>>{
        [](ConversionProfile& p) { p.mysqlp = QStringLiteral("wrong password"); },
        [](ConversionProfile& p) { p.oraclep = QStringLiteral("wrong password"); },
    };
    for (const auto& spoil : badLogons) {
        ConversionProfile good = profile;
        spoil(profile);
        EXPECT_THROW(run(), Error);
        EXPECT_EQ(log.lineCount(), 0);
        EXPECT_EQ(runStartedCount, 0);
        profile = good;
    }
}

TEST_F(RunFailures, LogFileThatCannotBeWrittenEndsTheRunBeforeTheLastCaption)
{
    hooks.logFilePath = logDir.filePath(QStringLiteral("no/such/folder/run.log"));
    try {
        run();
        FAIL() << "the log file was written into a missing folder";
    } catch (const Error& e) {
        EXPECT_TRUE(e.message().startsWith(
            QStringLiteral("Cannot create file \"%1\". ").arg(hooks.logFilePath)))
            << e.what();
    }
    EXPECT_TRUE(log.lastLine().startsWith(QStringLiteral("The end time:")));
}

TEST_F(RunFailures, EmptyTableListWritesOnlyStartClosingAndEndLinesToTheDataFolder)
{
    ASSERT_TRUE(ensureDataFolder());
    hooks.logFilePath.clear();
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);

    const RunResult result = run();

    const QDateTime after = QDateTime::currentDateTime().addSecs(1);
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    const QStringList& lines = log.lines();
    ASSERT_EQ(lines.size(), 5) << lines.join(u'\n').toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Start time:")));
    EXPECT_EQ(lines.mid(1, 2), QStringList({hooks.completedCaption, hooks.successCaption}));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("The end time:")));
    EXPECT_EQ(lines[4], hooks.finishCaption);

    const QFileInfo file(result.logFile);
    EXPECT_EQ(file.absolutePath() + u'/', dataFolder());
    const QRegularExpressionMatch name =
        QRegularExpression(QStringLiteral("^qelt_(\\d{8}_\\d{6})\\.log$")).match(file.fileName());
    ASSERT_TRUE(name.hasMatch()) << file.fileName().toStdString();
    const QDateTime stamp = QDateTime::fromString(name.captured(1), QStringLiteral("yyyyMMdd_HHmmss"));
    EXPECT_TRUE(stamp >= before.addMSecs(-before.time().msec()) && stamp <= after);
    QFile saved(result.logFile);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), (lines.mid(0, 4).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
}

TEST_F(RunFailures, StopSeenBeforeATableEndsTheRunSilently)
{
    mysql.execute({"create table one (id int)", "create table two (id int)"});
    profile.tables = {QStringLiteral("one"), QStringLiteral("two")};
    profile.skipindex = true;
    profile.tabledefonly = true;
    stop = true;  // a stop left from before the run is cleared when the run starts
    int eventCalls = 0;
    onEvents = [&] {
        if (++eventCalls == 2)
            stop = true;
    };

    const RunResult result = run();

    EXPECT_EQ(result.outcome, RunOutcome::Stopped);
    EXPECT_FALSE(stop) << "the run clears the stop it acted on";
    // The log names the tables the stop left untouched.
    EXPECT_EQ(log.lines().mid(1), QStringList({"Create table ONE...Done", "", "Tables not reached: two"}));
    EXPECT_EQ(oracleTables(), QStringList({"ONE"}));
    EXPECT_FALSE(QFile::exists(hooks.logFilePath));
    EXPECT_TRUE(result.logFile.isEmpty());
}

TEST_F(RunFailures, StopDuringTheLastTablesRowCopyCompletesTheRun)
{
    QStringList statements = {"create table big (id int)"};
    QStringList values;
    for (int i = 1; i <= 150; ++i)
        values.append(QString::number(i).prepend(u'(').append(u')'));
    statements.append("insert into big values " + values.join(u','));
    mysql.execute(statements);
    profile.tables = {QStringLiteral("big")};
    profile.skipindex = true;
    int eventCalls = 0;
    onEvents = [&] {
        if (++eventCalls == 2)  // the first call is the run's, before the table
            stop = true;
    };

    const RunResult result = run();

    EXPECT_EQ(result.outcome, RunOutcome::CompletedWithErrors);
    EXPECT_TRUE(stop) << "the stop stays set for the host";
    // Under the stop: the rows the table keeps in Oracle, those committed at its check point.
    EXPECT_EQ(tableLines(), QStringList({"Create table BIG...Done", "", "Insert table BIG 100 Rows ",
                                         "Operation aborted", "Table BIG is partial: it holds 100 rows in Oracle", ""}));
    EXPECT_EQ(oracle.rows("select count(*) from BIG"), QStringList{"100"});
    EXPECT_TRUE(QFile::exists(hooks.logFilePath));
}
