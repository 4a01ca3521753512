// The run's progress: the figures and their texts, and what a real run reports.
#include "test_run_fixture.h"

#include "engine/run_progress.h"

namespace {

using dovrelle::RunProgress;

RunProgress progressOf(qint64 copied, qint64 estimate, qint64 toCome, qint64 tableMs, qint64 runMs,
                       qint64 copiedInRun = -1)
{
    RunProgress p;
    p.tableNumber = 2;
    p.tableCount = 3;
    p.tableName = QStringLiteral("orders");
    p.rowsCopied = copied;
    p.estimatedRows = estimate;
    p.estimatedRowsToCome = toCome;
    p.rowsCopiedInRun = copiedInRun < 0 ? copied : copiedInRun;
    p.tableMilliseconds = tableMs;
    p.runMilliseconds = runMs;
    return p;
}

TEST(RunProgressFigures, TimesLeftFollowTheRatesAndTheEstimates)
{
    // 1000 of 4000 rows in 2 s: 500 rows/s, 6 s left for the table. The run copied 3000 rows in
    // 10 s (300 rows/s), so 6000 rows to come take 20 s more.
    const RunProgress p = progressOf(1000, 4000, 6000, 2000, 10000, 3000);
    EXPECT_DOUBLE_EQ(dovrelle::tableRowsPerSecond(p), 500.0);
    EXPECT_EQ(dovrelle::tableMillisecondsLeft(p), 6000);
    EXPECT_EQ(dovrelle::runMillisecondsLeft(p), 26000);
    // Rows 3000 of (2000 before + 4000 + 6000) done.
    EXPECT_EQ(dovrelle::runPercentDone(p), 25);
}

TEST(RunProgressFigures, AnUnknownOrPassedEstimateLeavesTheTimeLeftOpen)
{
    EXPECT_FALSE(dovrelle::tableMillisecondsLeft(progressOf(1000, 0, 0, 2000, 2000)));
    EXPECT_FALSE(dovrelle::tableMillisecondsLeft(progressOf(5000, 4000, 0, 2000, 2000)));
    EXPECT_FALSE(dovrelle::tableMillisecondsLeft(progressOf(0, 4000, 0, 0, 0)));
    // The first hundred rows in a few milliseconds say nothing yet of the rate: no time left
    // until two seconds or a few batches (10,100 rows) have gone by.
    EXPECT_FALSE(dovrelle::tableMillisecondsLeft(progressOf(100, 4000000, 0, 40, 40)));
    EXPECT_FALSE(dovrelle::runMillisecondsLeft(progressOf(100, 4000000, 0, 40, 40)));
    EXPECT_FALSE(dovrelle::runMillisecondsLeft(progressOf(4000, 4000, 600, 1900, 1900)));
    EXPECT_TRUE(dovrelle::tableMillisecondsLeft(progressOf(10100, 4000000, 0, 900, 900)));
    EXPECT_TRUE(dovrelle::tableMillisecondsLeft(progressOf(100, 4000000, 0, 2000, 2000)));
    // A passed estimate: the table is taken as nearly done, the tables to come still count.
    EXPECT_EQ(dovrelle::runMillisecondsLeft(progressOf(5000, 4000, 1000, 2000, 5000)), 1000);
}

TEST(RunProgressFigures, TheTextsSayAboutOnlyWhileTheEstimateHolds)
{
    const struct {
        RunProgress progress;
        QStringList lines;
        QString line;
    } cases[] = {
        {progressOf(1000, 4000, 6000, 2000, 10000, 3000),
         {"Table 2 of 3: orders", "1,000 of about 4,000 rows", "500 rows/s", "Table 0:02, 0:06 left",
          "Run 0:10, 0:26 left"},
         "Table 2 of 3 orders: 1,000 of about 4,000 rows, 500 rows/s, table 0:02 (0:06 left), run 0:10 (0:26 left)"},
        {progressOf(5000, 4000, 0, 4000, 4000),
         {"Table 2 of 3: orders", "5,000 rows", "1,250 rows/s", "Table 0:04, ? left", "Run 0:04, 0:00 left"},
         "Table 2 of 3 orders: 5,000 rows, 1,250 rows/s, table 0:04 (? left), run 0:04 (0:00 left)"},
        {progressOf(0, 0, 0, 0, 3725000),
         {"Table 2 of 3: orders", "0 rows", "0 rows/s", "Table 0:00, ? left", "Run 1:02:05, 0:00 left"},
         "Table 2 of 3 orders: 0 rows, 0 rows/s, table 0:00 (? left), run 1:02:05 (0:00 left)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(dovrelle::progressLines(c.progress), c.lines);
        EXPECT_EQ(dovrelle::progressLine(c.progress), c.line);
    }
}

class RunProgressReports : public runtest::RunFixture {};

TEST_F(RunProgressReports, ARunReportsEveryTableWithItsEstimateAndTheRowsAsTheyAreCopied)
{
    // MyISAM keeps an exact row count, so the estimate is known here.
    mysql.execute({"create table many (id int primary key) engine=MyISAM",
                   "insert into many with recursive s(n) as (select 1 union all select n + 1 from s "
                   "where n < 250) select n from s",
                   "create table few (id int) engine=MyISAM", "insert into few values (1), (2)"});
    profile.tables = {QStringLiteral("few"), QStringLiteral("many")};
    QList<RunProgress> reports;
    hooks.progressChanged = [&reports](const RunProgress& p) { reports.append(p); };

    run();

    ASSERT_FALSE(reports.isEmpty());
    const RunProgress& first = reports.first();
    EXPECT_EQ(first.tableNumber, 1);
    EXPECT_EQ(first.tableCount, 2);
    EXPECT_EQ(first.tableName, "few");
    EXPECT_EQ(first.estimatedRows, 2);
    EXPECT_EQ(first.estimatedRowsToCome, 250);
    EXPECT_EQ(first.rowsCopied, 0);
    QList<qint64> manyRows;
    for (const RunProgress& p : reports) {
        if (p.tableName == u"many") {
            EXPECT_EQ(p.tableNumber, 2);
            EXPECT_EQ(p.estimatedRows, 250);
            EXPECT_EQ(p.estimatedRowsToCome, 0);
            EXPECT_EQ(p.rowsCopiedInRun, 2 + p.rowsCopied);
            manyRows.append(p.rowsCopied);
        }
    }
    EXPECT_EQ(manyRows, (QList<qint64>{0, 100, 200, 250}));
    EXPECT_EQ(dovrelle::runPercentDone(reports.last()), 100);
}

TEST_F(RunProgressReports, WithoutAProgressHookTheLogIsTheSame)
{
    mysql.execute({"create table t (id int primary key)", "insert into t values (1), (2), (3)"});
    profile.tables = {QStringLiteral("t")};
    run();
    const QStringList without = tableLines();

    log.clear();
    hooks.progressChanged = [](const RunProgress&) {};
    run();  // the table exists now: Overwrite drops it first
    EXPECT_EQ(tableLines(), QStringList({"Drop table T...Done", ""}) + without);
}

}  // namespace
