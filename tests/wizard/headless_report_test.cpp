// `dovrelle --check` and the HTML report: exit statuses, the report beside the settings file or
// the log, opened in a real browser (headless chromium), and no password in any report.
#include "mysql_test_server.h"
#include "oraemu_test_db.h"
#include "program_child.h"
#include "scratch_profile.h"
#include "scratch_settings_file.h"
#include "settings/settings_file.h"
#include "settings/settings_schema.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dovrelle;
using testsupport::mysqlServer;

namespace {

// Mode 0600, as Qt spells it (the owner's bits twice: as owner and as the user running the test).
const QFileDevice::Permissions kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;

// The page as chromium's parser and layout engine leave it (--dump-dom), or a failure that says
// why chromium could not show it.
QString domInChromium(const QString& htmlPath)
{
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty()) {
        ADD_FAILURE() << "chromium is not installed (scripts/install-deps installs it)";
        return {};
    }
    QTemporaryDir profile;
    QProcess browser;
    browser.start(chromium, {"--headless", "--no-sandbox", "--disable-gpu", "--user-data-dir=" + profile.path(),
                             "--dump-dom", "file://" + htmlPath});
    EXPECT_TRUE(browser.waitForFinished(120000)) << "chromium did not end";
    EXPECT_EQ(browser.exitCode(), 0) << browser.readAllStandardError().toStdString();
    return QString::fromUtf8(browser.readAllStandardOutput());
}

class HeadlessReport : public testing::Test {
protected:
    void SetUp() override
    {
        settingsPath = home.filePath("nightly.qelt");
        logPath = home.filePath("nightly.log");
    }

    ConversionProfile profile(const QStringList& tables) const
    {
        ConversionProfile c = testsupport::scratchProfile(mysql, oracle);
        c.tables = tables;
        return c;
    }

    void writeSettings(const ConversionProfile& c) const
    {
        testsupport::saveProfileSettings(settingsPath, c, false);
    }

    struct Output {
        int exitCode = -1;
        QStringList stdoutLines;
        QString errors;
    };

    Output start(const QStringList& arguments)
    {
        Child child(home.path(), arguments);
        const Finished done = child.finish();
        const QString out = QString::fromLocal8Bit(child.process().readAllStandardOutput());
        return {done.exitCode, out.split(u'\n', Qt::SkipEmptyParts), done.errors};
    }

    void expectNoPassword(const QString& path) const
    {
        const QString html = readText(path);
        ASSERT_TRUE(html.contains("<html")) << path.toStdString();
        for (const QString& secret : {mysqlServer().password, oracle.password()})
            EXPECT_FALSE(html.contains(secret)) << path.toStdString() << " shows a password";
    }

    testsupport::ScratchMySqlDatabase mysql{"t_report"};
    // A password that no other text of a report could contain by chance.
    testsupport::ScratchOracleDatabase oracle{"SCOTT", "Pw-9f3K-not-in-reports"};
    QTemporaryDir home;
    QString settingsPath;
    QString logPath;
};

TEST_F(HeadlessReport, CheckExitsZeroOneOrTwoAndPrintsTheReportPathLast)
{
    mysql.execute({
        "SET SESSION sql_mode = ''",
        "CREATE TABLE clean (id INT PRIMARY KEY, name VARCHAR(20) NOT NULL, born DATE)",
        "INSERT INTO clean VALUES (1, 'Ann', '1990-01-01'), (2, 'Bo', NULL)",
        "CREATE TABLE dated (id INT PRIMARY KEY, d DATE)",
        "INSERT INTO dated VALUES (1, '2020-01-01'), (7, '0000-00-00'), (9, '0000-00-00')",
    });
    const QString reportPath = home.filePath("nightly-check.html");

    writeSettings(profile({"clean"}));
    const Output clean = start({"--check", settingsPath});
    EXPECT_EQ(clean.exitCode, 0) << clean.errors.toStdString() << clean.stdoutLines.join('\n').toStdString();
    ASSERT_FALSE(clean.stdoutLines.isEmpty());
    EXPECT_EQ(clean.stdoutLines.last(), "Report: " + reportPath);
    EXPECT_TRUE(readText(reportPath).contains("Nothing found")) << readText(reportPath).toStdString();
    EXPECT_EQ(QFileInfo(reportPath).permissions(), kOwnerOnly);
    expectNoPassword(reportPath);

    writeSettings(profile({"clean", "dated"}));
    const Output found = start({"--check", settingsPath});
    EXPECT_EQ(found.exitCode, 1) << found.errors.toStdString();
    EXPECT_TRUE(found.stdoutLines.contains("  zero dates: column d: a date with a zero year, month or day has no "
                                           "Oracle counterpart (2 rows, keys 7; 9)"))
        << found.stdoutLines.join('\n').toStdString();
    EXPECT_EQ(found.stdoutLines.last(), "Report: " + reportPath);
    const QString dom = domInChromium(reportPath);
    EXPECT_TRUE(dom.contains("<td>zero dates</td><td>column d</td>")) << dom.toStdString();
    EXPECT_TRUE(dom.contains("<svg id=\"time-chart\"")) << dom.toStdString();
    expectNoPassword(reportPath);
    // Nothing was written to Oracle.
    EXPECT_TRUE(oracle.rows("SELECT table_name FROM user_tables").isEmpty());

    ConversionProfile wrong = profile({"clean"});
    wrong.mysqlp = "not-the-password";
    writeSettings(wrong);
    const Output refused = start({"--check", settingsPath});
    EXPECT_EQ(refused.exitCode, 2) << refused.errors.toStdString();
    EXPECT_TRUE(refused.errors.contains("Access denied")) << refused.errors.toStdString();
    EXPECT_EQ(start({"--check", home.filePath("absent.qelt")}).exitCode, 2);
}

// A run with a table Oracle refuses an index of and a verified table: chromium shows both rows,
// the refused table's error line and the chart.
TEST_F(HeadlessReport, RunReportShowsEachTableItsErrorLineAndTheChartInABrowser)
{
    mysql.execute({
        "CREATE TABLE good (id INT PRIMARY KEY, name VARCHAR(20))",
        "INSERT INTO good VALUES (1, 'Ann'), (2, 'Bo'), (3, 'Cy')",
        "CREATE TABLE bad (id INT PRIMARY KEY, a INT, KEY again (id))",
        "INSERT INTO bad VALUES (1, 1)",
    });
    ConversionProfile c = profile({"good", "bad"});
    c.verifyrows = true;
    writeSettings(c);
    const Output run = start({"--headless", settingsPath});
    EXPECT_EQ(run.exitCode, 1) << run.errors.toStdString();
    const QString reportPath = home.filePath("nightly.html");
    ASSERT_FALSE(run.stdoutLines.isEmpty()) << run.errors.toStdString();
    EXPECT_EQ(run.stdoutLines.last(), "Report: " + reportPath);
    EXPECT_EQ(QFileInfo(reportPath).permissions(), kOwnerOnly);

    const QString dom = domInChromium(reportPath);
    EXPECT_TRUE(dom.contains("<tr class=\"ok\"><td>good</td><td>GOOD</td><td>3</td>")) << dom.toStdString();
    EXPECT_TRUE(dom.contains("<td>verified</td>")) << dom.toStdString();
    EXPECT_TRUE(dom.contains("<tr class=\"failed\"><td>bad</td><td>BAD</td><td>1</td>")) << dom.toStdString();
    EXPECT_TRUE(dom.contains("failed: ORA-01408")) << dom.toStdString();
    EXPECT_TRUE(dom.contains("<svg id=\"time-chart\"")) << dom.toStdString();
    EXPECT_EQ(dom.count("<rect class=\"bar\""), 2) << dom.toStdString();
    EXPECT_FALSE(dom.contains("<script")) << dom.toStdString();
    expectNoPassword(reportPath);

    // A run that cannot log on still leaves a report, without the password it was given.
    ConversionProfile wrong = c;
    wrong.oraclep = "Wrong-Pw-71xQ";
    writeSettings(wrong);
    const Output refused = start({"--headless", settingsPath});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.stdoutLines.value(refused.stdoutLines.size() - 1), "Report: " + reportPath);
    EXPECT_FALSE(readText(reportPath).contains("Wrong-Pw-71xQ"));
    expectNoPassword(reportPath);
}

}  // namespace
