// Page 5's Next: the run through the engine into oraemu, Stop, and Finish.
#include "wizard_fixture.h"

#include "engine/data_folder.h"
#include "mysql_test_server.h"
#include "oraemu_test_db.h"
#include "engine/run_log.h"
#include "wizard/run_log_view.h"
#include "wizard/run_progress_panel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

#include <algorithm>

namespace wizardtest {
namespace {

using Answer = dovrelle::MessageSeam::Answer;

const Frame kRunUnderWay{6, 5, 5, false, "Next >", false, "Stop", true, true};
const Frame kStopConfirmed{6, 5, 5, true, "Next >", false, "Close", true, true};
const Frame kFinished{6, 6, 6, false, "Finish", true, "Close", false, false};
const Frame kPage4{4, 4, 4, true, "Next >", true, "Close", true, true};
const Frame kPage5WithTables{5, 5, 5, true, "Next >", true, "Close", true, true};

class Run : public WizardTest {
protected:
    void SetUp() override
    {
        WizardTest::SetUp();
        mysql.execute({
            "create table big (id int primary key, name varchar(20))",
            "insert into big with recursive s(n) as (select 1 union all select n + 1 from s "
            "where n < 1000) select n, concat('row ', n) from s",
            "create table small (id int primary key, name varchar(20))",
            "insert into small values (1, 'one'), (2, 'two')",
        });
        // At every check point of the run: note the frame, then let the test act.
        window->eventsLetThrough = [this] {
            ++checkPoints;
            framesDuringRun.append(frame());
            if (window->runProgressPanel().isVisible())
                progressDuringRun.append(window->runProgressPanel().lines());
            if (atCheckPoint)
                atCheckPoint(checkPoints);
        };
    }

    void choose(const QStringList& tables)
    {
        walkToPage5(mysql.name(), oracle);
        for (const QString& table : tables)
            moveToChosen({table});
        ASSERT_EQ(entries("selecttables"), tables);
    }

    // Stop is clicked at the given check point and answered as given.
    void stopAt(int checkPoint, Answer answer)
    {
        atCheckPoint = [this, checkPoint, answer](int reached) {
            if (reached != checkPoint)
                return;
            seam->answers = {answer};
            clickClose();
            frameAfterAnswer = frame();
        };
    }

    QString oracleCount(const QString& table) const
    {
        return oracle.rows("select count(*) from \"" + table + "\"").value(0);
    }

    const QStringList& logLines() { return window->runLog().lines(); }

    // The run left one log file in the data folder, holding `line`, and the page's last line
    // names that file.
    void expectLogSavedWith(const QString& line)
    {
        const QDir folder(dovrelle::dataFolder());
        const QStringList files = folder.entryList({"qelt_*.log"});
        ASSERT_EQ(files.size(), 1);
        const QString path = folder.filePath(files.first());
        EXPECT_EQ(logLines().last(), "Log saved to " + QDir::toNativeSeparators(path));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QStringList saved = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
        EXPECT_TRUE(saved.contains(line)) << saved.join(" | ").toStdString();
        EXPECT_FALSE(saved.contains(logLines().last())) << "the file does not name itself";
    }

    testsupport::ScratchMySqlDatabase mysql{"t_wizard_run"};
    testsupport::ScratchOracleDatabase oracle;
    int checkPoints = 0;
    QList<Frame> framesDuringRun;
    QList<QStringList> progressDuringRun;  // the progress panel's lines at each check point
    std::function<void(int)> atCheckPoint;
    Frame frameAfterAnswer;
};

TEST_F(Run, ConvertsTheChosenTablesIntoOraemuAndShowsTheLogUntilFinish)
{
    choose({"small", "big"});
    clickNext();
    ASSERT_TRUE(seam->errors.isEmpty()) << seam->errors.join(" | ").toStdString();

    EXPECT_EQ(frame(), kFinished);
    ASSERT_FALSE(framesDuringRun.isEmpty());
    EXPECT_EQ(framesDuringRun.first(), kRunUnderWay);
    EXPECT_EQ(oracleCount("SMALL"), "2");
    EXPECT_EQ(oracleCount("BIG"), "1000");

    const QStringList& lines = logLines();
    EXPECT_TRUE(lines.first().startsWith("Start time:"));
    EXPECT_TRUE(lines.contains("Create table SMALL...Done"));
    EXPECT_TRUE(lines.contains("Create table BIG...Done"));
    EXPECT_TRUE(lines.contains("Conversion is Completed"));
    const QStringList logFiles = QDir(dovrelle::dataFolder()).entryList({"qelt_*.log"});
    ASSERT_EQ(logFiles.size(), 1);
    const QString logFile = QDir(dovrelle::dataFolder()).filePath(logFiles.first());
    EXPECT_EQ(lines.at(lines.size() - 2), "Click 'Finish' to exit the wizard.");
    EXPECT_EQ(lines.last(), "Log saved to " + QDir::toNativeSeparators(logFile));
    auto* sc = control<dovrelle::RunLogView>("sc");
    QStringList shown;
    for (int i = 0; i < sc->lineCount(); ++i)
        shown.append(sc->line(i));
    EXPECT_EQ(shown, lines);

    // The progress panel showed the run's tables while it went and is hidden now.
    ASSERT_FALSE(progressDuringRun.isEmpty());
    EXPECT_EQ(progressDuringRun.first().value(0), "Table 1 of 2: small");
    const auto showsBig = [](const QStringList& shown) {
        return shown.value(0) == "Table 2 of 2: big" && shown.value(1).endsWith(" rows");
    };
    EXPECT_TRUE(std::any_of(progressDuringRun.begin(), progressDuringRun.end(), showsBig));
    EXPECT_FALSE(window->runProgressPanel().isVisible());

    // The logo still opens Help on the log page, where the Help button is disabled.
    QTest::mouseClick(control<QWidget>("Image1"), Qt::LeftButton);
    EXPECT_EQ(openedUrls.size(), 1);

    int saves = 0;
    window->saveRememberedSettings = [&saves] { ++saves; };
    clickNext();  // Finish
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(seam->questions.isEmpty());
    EXPECT_EQ(window->runLog().lineCount(), 0);
    EXPECT_TRUE(entries("selecttables").isEmpty());
    window.reset();
    EXPECT_EQ(saves, 1);
}

TEST_F(Run, AnUnattendedRunSavesItsLogAtTheGivenPathAndClosesTheWindow)
{
    QTemporaryDir folder;
    window = std::make_unique<dovrelle::ConversionWizard>();
    auto scripted = std::make_unique<ScriptedSeam>();
    seam = scripted.get();
    window->setMessageSeam(std::move(scripted));
    window->start({"dovrelle", folder.filePath("job.qelt")});
    window->unattendedLogPath = folder.filePath("job.log");
    window->show();
    ASSERT_TRUE(window->unattended());

    choose({"small"});
    clickNext();
    ASSERT_TRUE(seam->errors.isEmpty()) << seam->errors.join(" | ").toStdString();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(QFileInfo(folder.filePath("job.log")).isFile());
    EXPECT_TRUE(QDir(dovrelle::dataFolder()).entryList({"qelt_*.log"}).isEmpty());
}

TEST_F(Run, TheCloseBoxDuringARunClosesTheWindowWithoutEndingTheRun)
{
    choose({"big", "small"});
    atCheckPoint = [this](int reached) {
        if (reached == 2)
            window->close();
    };
    clickNext();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(seam->questions.isEmpty());
    EXPECT_EQ(oracleCount("BIG"), "1000");
    EXPECT_EQ(oracleCount("SMALL"), "2");
    EXPECT_TRUE(logLines().contains("Conversion is Completed"));
}

TEST_F(Run, StopAnsweredNoLetsTheRunGoOn)
{
    choose({"big", "small"});
    stopAt(2, Answer::No);  // check point 2 lies inside the row copy of big
    clickNext();
    EXPECT_EQ(seam->questions, QStringList{"Info: Stop"});
    EXPECT_EQ(frameAfterAnswer, kRunUnderWay);
    EXPECT_EQ(frame(), kFinished);
    EXPECT_EQ(oracleCount("BIG"), "1000");
    EXPECT_EQ(oracleCount("SMALL"), "2");
}

// The run waits while the Stop question is open: the time it stays open is left out of the
// figures, so after "No" the rate and the time left go on from where they were.
TEST_F(Run, TheStopQuestionPausesTheProgressClocks)
{
    choose({"big", "small"});
    stopAt(2, Answer::No);
    constexpr qint64 kQuestionOpen = 3000;
    seam->whileAsking = [] { QThread::msleep(kQuestionOpen); };
    QElapsedTimer wall;
    wall.start();
    clickNext();
    const qint64 wallMilliseconds = wall.elapsed();
    ASSERT_EQ(seam->questions, QStringList{"Info: Stop"});
    ASSERT_FALSE(progressDuringRun.isEmpty());
    const QString runLine = progressDuringRun.last().last();  // "Run m:ss, ... left"
    const QRegularExpressionMatch shown = QRegularExpression("^Run (\\d+):(\\d\\d),").match(runLine);
    ASSERT_TRUE(shown.hasMatch()) << runLine.toStdString();
    const qint64 shownSeconds = shown.captured(1).toLongLong() * 60 + shown.captured(2).toLongLong();
    EXPECT_LE(shownSeconds * 1000, wallMilliseconds - kQuestionOpen + 1000) << runLine.toStdString();
}

TEST_F(Run, StopAnsweredYesEndsTheRunAtItsNextCheck)
{
    choose({"big", "small"});
    stopAt(2, Answer::Yes);
    clickNext();
    EXPECT_EQ(seam->questions, QStringList{"Info: Stop"});
    EXPECT_EQ(frameAfterAnswer, kStopConfirmed);
    EXPECT_EQ(frame(), kStopConfirmed);
    EXPECT_FALSE(window->stopRequested);
    EXPECT_TRUE(logLines().contains("Operation aborted"));
    // The window's last lines say what the stop left: big partly copied, small never begun.
    const QString kept = "Table BIG is partial: it holds " + oracleCount("BIG") + " rows in Oracle";
    EXPECT_TRUE(logLines().contains(kept)) << logLines().join('\n').toStdString();
    EXPECT_TRUE(logLines().contains("Tables not reached: small")) << logLines().join('\n').toStdString();
    expectLogSavedWith(kept);
    EXPECT_FALSE(logLines().contains("Conversion is Completed"));
    EXPECT_EQ(oracle.rows("select count(*) from all_tables where table_name = 'SMALL'").value(0), "0");
    expectLogSavedWith("Operation aborted");
    EXPECT_FALSE(window->runProgressPanel().isVisible());

    // Close asks the close question again.
    clickClose();
    EXPECT_EQ(seam->questions.last(), "Information: Close this Wizard ?");
    // Back leads to page 4 with both lists emptied; the tables are listed again.
    clickBack();
    EXPECT_EQ(frame(), kPage4);
    EXPECT_TRUE(entries("selecttables").isEmpty());
    clickNext();
    EXPECT_EQ(window->currentStep(), 5);
    EXPECT_EQ(entries("availabletables").size(), 2);
}

TEST_F(Run, AStopConfirmedDuringTheLastTableLetsTheRunEndButStaysOnTheLog)
{
    choose({"big"});
    stopAt(2, Answer::Yes);
    clickNext();
    EXPECT_TRUE(logLines().contains("Operation aborted"));
    EXPECT_TRUE(logLines().contains("Table BIG is partial: it holds " + oracleCount("BIG") + " rows in Oracle"))
        << logLines().join('\n').toStdString();
    EXPECT_TRUE(logLines().contains("Conversion is Completed"));
    EXPECT_EQ(frame(), kStopConfirmed);
    EXPECT_FALSE(window->stopRequested);

    clickBack();
    EXPECT_EQ(frame(), kPage4);
    clickNext();
    EXPECT_EQ(window->currentStep(), 5);
    moveToChosen({"small"});
    EXPECT_EQ(frame(), kPage5WithTables);
}

TEST_F(Run, ARunEndedByAnErrorKeepsItsFrameUntilStopBackAndNext)
{
    choose({"small"});
    // A file where the data folder should be: writing the log file ends the run with an error.
    QString folder = dovrelle::dataFolder();
    folder.chop(1);
    ASSERT_TRUE(QDir(folder).removeRecursively());
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    clickNext();
    ASSERT_TRUE(blocker.remove());
    ASSERT_EQ(seam->errors.size(), 1);
    EXPECT_TRUE(seam->errors.first().startsWith("Cannot create file")) << seam->errors.first().toStdString();
    EXPECT_EQ(frame(), kRunUnderWay);

    seam->answers = {Answer::Yes};
    clickClose();
    EXPECT_EQ(frame(), kStopConfirmed);
    EXPECT_TRUE(window->stopRequested);

    clickBack();
    EXPECT_EQ(frame(), kPage4);
    clickNext();  // lists the tables again, clears the stop request, stays on page 4
    EXPECT_EQ(frame(), kPage4);
    EXPECT_FALSE(window->stopRequested);
    EXPECT_EQ(entries("availabletables"), QStringList({"big", "small"}));
    clickNext();
    EXPECT_EQ(window->currentStep(), 5);
    // Listing again on page 4 must not list a table twice.
    EXPECT_EQ(entries("availabletables"), QStringList({"big", "small"}));
}

}  // namespace
}  // namespace wizardtest
