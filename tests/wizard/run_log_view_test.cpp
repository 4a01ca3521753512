// The log memo follows the run log block by block.
#include "engine/run_log.h"
#include "wizard/run_log_view.h"

#include <QTest>
#include <QTextBlock>
#include <gtest/gtest.h>

namespace {

QStringList shown(const dovrelle::RunLogView& view)
{
    QStringList lines;
    for (int i = 0; i < view.lineCount(); ++i)
        lines.append(view.line(i));
    return lines;
}

TEST(RunLogView, MirrorsAppendsInsertsReplacesAndClear)
{
    dovrelle::RunLog log;
    log.append("Start time:1");
    dovrelle::RunLogView view;
    view.follow(log);  // lines already there are shown
    log.append("");
    log.append("Insert table T... ");
    log.replaceLast("Insert table T 100 Rows ");
    log.insert(2, "ORA-01722: invalid number");
    log.replaceLast(log.lastLine() + "...Done");
    log.append("two\nlines");
    EXPECT_EQ(shown(view), log.lines());
    EXPECT_EQ(view.document()->blockCount(), log.lineCount());

    log.clear();
    EXPECT_EQ(view.lineCount(), 0);
    log.append("");  // an empty first line is a line of its own
    log.append("after");
    EXPECT_EQ(shown(view), log.lines());
    EXPECT_EQ(view.toPlainText(), "\nafter");
}

TEST(RunLogView, ReplacingAProgressLineLeavesTheOtherBlocksAlone)
{
    dovrelle::RunLog log;
    dovrelle::RunLogView view;
    view.follow(log);
    log.append("Start time:1");
    log.append("Insert table T... ");
    const int firstRevision = view.document()->firstBlock().revision();
    for (int rows = 100; rows <= 1000; rows += 100)
        log.replaceLast(QStringLiteral("Insert table T %1 Rows ").arg(rows));
    EXPECT_EQ(view.document()->firstBlock().revision(), firstRevision);  // never rewritten
    EXPECT_EQ(shown(view), (QStringList{"Start time:1", "Insert table T 1000 Rows "}));
    EXPECT_FALSE(view.document()->isUndoAvailable());
}

// Failure lines go in above the progress line without touching it: splitting it instead made the
// layout measure every line again for each failure line, so a table with a failure per row hung.
TEST(RunLogView, InsertingLinesLeavesTheProgressLineAlone)
{
    dovrelle::RunLog log;
    dovrelle::RunLogView view;
    view.follow(log);
    log.append("Start time:1");
    log.append("Insert table T 100 Rows ");
    QTextBlock progress = view.document()->lastBlock();
    progress.setUserState(42);
    const int revision = progress.revision();
    for (int row = 0; row < 50; ++row)
        log.insert(log.lineCount() - 1, QStringLiteral("d:TSQLTimeStampField %1").arg(row));
    log.insert(0, "first");
    EXPECT_EQ(view.document()->lastBlock().userState(), 42);
    EXPECT_EQ(view.document()->lastBlock().revision(), revision);
    EXPECT_EQ(shown(view), log.lines());
    EXPECT_EQ(view.document()->blockCount(), log.lineCount());
    EXPECT_EQ(view.line(0), "first");
    EXPECT_EQ(view.line(51), "d:TSQLTimeStampField 49");
}

// A copy replaces its progress line every 100 rows; the view lays the line out again at most
// every refresh interval, shows the last replacement when the interval is over, and before any
// other change of the log, so nothing it shows is lost or out of order.
TEST(RunLogView, ShowsABurstOfReplacementsOnceAndTheLastOneLast)
{
    dovrelle::RunLog log;
    dovrelle::RunLogView view;
    view.follow(log);
    log.append("Start time:1");
    log.append("Insert table T... ");
    const int revision = view.document()->lastBlock().revision();
    for (int rows = 100; rows <= 100000; rows += 100)
        log.replaceLast(QStringLiteral("Insert table T %1 Rows ").arg(rows));
    EXPECT_LT(view.document()->lastBlock().revision() - revision, 100);  // not 1000 layouts
    EXPECT_EQ(view.line(1), "Insert table T 100000 Rows ");

    QTest::qWait(3 * dovrelle::RunLogView::kRefreshMilliseconds);
    EXPECT_EQ(view.document()->lastBlock().text(), "Insert table T 100000 Rows ");

    log.replaceLast("Insert table T 100100 Rows ");
    log.replaceLast("Insert table T 100100 Rows ...Done");
    log.append("");
    EXPECT_EQ(view.toPlainText(), "Start time:1\nInsert table T 100100 Rows ...Done\n");
    EXPECT_EQ(shown(view), log.lines());
}

}  // namespace
