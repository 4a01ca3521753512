// Page 5's "Check tables..." and page 6's "Open report": the reports the wizard writes and opens.
#include "wizard_fixture.h"

#include "engine/data_folder.h"
#include "engine/run_log.h"
#include "mysql_test_server.h"
#include "oraemu_test_db.h"

#include <QDir>
#include <QFile>
#include <QPushButton>

namespace wizardtest {
namespace {

class ReportButtons : public WizardTest {
protected:
    void SetUp() override
    {
        WizardTest::SetUp();
        mysql.execute({
            "SET SESSION sql_mode = ''",
            "create table dated (id int primary key, d date)",
            "insert into dated values (1, '2020-01-01'), (4, '0000-00-00')",
            "create table more (id int primary key)",
            "insert into more with recursive s(n) as (select 1 union all select n + 1 from s where n < 500) select n from s",
        });
        walkToPage5(mysql.name(), oracle);
        moveToChosen({"dated"});
    }

    testsupport::ScratchMySqlDatabase mysql{"t_buttons"};
    testsupport::ScratchOracleDatabase oracle;
};

TEST_F(ReportButtons, CheckTablesWritesTheCheckReportAndOpensIt)
{
    control<QPushButton>("btcheck")->click();
    ASSERT_TRUE(seam->errors.isEmpty()) << seam->errors.join(" | ").toStdString();
    ASSERT_EQ(seam->notices.size(), 1);
    EXPECT_TRUE(seam->notices.first().startsWith("1 findings. The report: ")) << seam->notices.first().toStdString();
    const QString report = window->lastCheckReport();
    ASSERT_TRUE(report.startsWith(dovrelle::dataFolder() + "qelt_check_")) << report.toStdString();
    QFile file(report);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(file.readAll()).contains("<td>zero dates</td>"));
    ASSERT_EQ(openedUrls.size(), 1);
    EXPECT_EQ(openedUrls.first(), QUrl::fromLocalFile(report));
    // The check leaves the page as it was and writes nothing to Oracle.
    EXPECT_EQ(frame().page, 5);
    EXPECT_TRUE(oracle.rows("select table_name from user_tables").isEmpty());
}

TEST_F(ReportButtons, OpenReportOnTheLastPageOpensTheRunsReport)
{
    auto* openReport = control<QPushButton>("btopenreport");
    EXPECT_FALSE(openReport->isVisible());
    clickNext();
    ASSERT_EQ(frame().page, 6);
    ASSERT_TRUE(openReport->isVisible());
    const QStringList reports = QDir(dovrelle::dataFolder()).entryList({"qelt_*.html"});
    ASSERT_EQ(reports.size(), 1);
    openReport->click();
    ASSERT_EQ(openedUrls.size(), 1);
    EXPECT_EQ(openedUrls.first(), QUrl::fromLocalFile(QDir(dovrelle::dataFolder()).filePath(reports.first())));
}

// A run stopped with Stop keeps its log and its report, which says so and lists the table it had done.
TEST_F(ReportButtons, AStoppedRunLeavesItsReportBesideItsLog)
{
    moveToChosen({"more"});
    int checkPoints = 0;
    bool stopped = false;
    window->eventsLetThrough = [&] {
        // The second table's first check point: the first table is done.
        if (++checkPoints < 2 || stopped || window->runLog().lines().filter("Insert table DATED").isEmpty())
            return;
        stopped = true;
        seam->answers = {dovrelle::MessageSeam::Answer::Yes};
        clickClose();
    };
    clickNext();
    ASSERT_TRUE(stopped);
    const QDir folder(dovrelle::dataFolder());
    const QStringList logs = folder.entryList({"qelt_*.log"});
    const QStringList reports = folder.entryList({"qelt_*.html"});
    ASSERT_EQ(logs.size(), 1);
    ASSERT_EQ(reports, QStringList{logs.first().chopped(4) + ".html"});
    QFile file(folder.filePath(reports.first()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(html.contains("The run was stopped")) << html.toStdString();
    EXPECT_TRUE(html.contains("<td>dated</td><td>DATED</td><td>2</td>")) << html.toStdString();
}

}  // namespace
}  // namespace wizardtest
