// Unattended and headless runs: the program started with a settings file converts against the
// MariaDB fixture and oraemu, writes its log beside the file and leaves the file's values behind.
#include "mysql_test_server.h"
#include "program_child.h"
#include "oraemu_test_db.h"
#include "recording_seam.h"
#include "scratch_profile.h"
#include "scratch_settings_file.h"
#include "engine/run_log.h"
#include "settings/settings_file.h"
#include "settings/settings_store.h"
#include "wizard/shortcut_dialog.h"
#include "wizard/radio_group.h"
#include "wizard/settings_wiring.h"
#include "wizard/conversion_wizard.h"
#include "wizard/wizard_controls.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <functional>

using namespace dovrelle;
using testsupport::mysqlServer;

namespace {

QHash<QString, QString> storedSettings(const QString& home)
{
    QFile file(home + "/config/Korvane/Dovrelle.conf");
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << "no settings store under " << home.toStdString();
    return decodeSettingsStore(file.readAll());
}

// Two small tables and one that no file names, on both servers' scratch databases.
class UnattendedRun : public testing::Test {
protected:
    void SetUp() override
    {
        mysql.execute({
            "CREATE TABLE customers (id INT PRIMARY KEY, name VARCHAR(40))",
            "INSERT INTO customers VALUES (1, 'Ann'), (2, 'Bo'), (3, 'Cy')",
            "CREATE TABLE orders (id INT PRIMARY KEY, customer INT, total DECIMAL(10,2))",
            "INSERT INTO orders VALUES (10, 1, 9.50), (11, 3, 20.00)",
            "CREATE TABLE notes (id INT)",
        });
        settingsPath = home.filePath("nightly.qelt");
        logPath = home.filePath("nightly.log");
    }

    ConversionProfile content() const
    {
        ConversionProfile c = testsupport::scratchProfile(mysql, oracle);
        c.processtable = ExistingTableAction::Overwrite;
        c.character_set = "Default";
        c.nameuppercase = true;
        c.tables = {"customers", "orders"};
        return c;
    }

    // The profile as the shortcut dialog writes it: the listed tables, or all with allTables.
    void writeSettings(const ConversionProfile& c) const
    {
        testsupport::saveProfileSettings(settingsPath, c, allTables);
    }

    // Starts the window as `dovrelle FILE` does: the settings file applied and the walk's timer armed.
    void startFromSettingsFile(ConversionWizard& window, RecordingSeam::Log& boxes) const
    {
        window.setMessageSeam(std::make_unique<RecordingSeam>(&boxes));
        installSettings(window);
        window.start({dovrelleProgram(), settingsPath});
    }

    // The walk's first step: the timer fires once and presses Next.
    static void firstTimerTick(ConversionWizard& window)
    {
        ASSERT_TRUE(window.unattendedTimer()->isActive());
        window.unattendedTimer()->stop();  // what Timer1 does when it fires
        window.performNext();
    }

    QStringList oracleTables() const { return oracle.rows("SELECT table_name FROM user_tables ORDER BY table_name"); }

    testsupport::ScratchMySqlDatabase mysql{"t_settings"};
    testsupport::ScratchOracleDatabase oracle;
    QTemporaryDir home;
    QString settingsPath;
    QString logPath;
    bool allTables = false;
};

TEST_F(UnattendedRun, ConvertsTheFilesTablesWritesTheLogBesideItAndRemembersItsValues)
{
    writeSettings(content());
    Child child(home.path(), {settingsPath, "a second argument is ignored"});
    const Finished done = child.finish();
    EXPECT_EQ(done.exitCode, 0) << done.errors.toStdString();

    EXPECT_EQ(oracleTables(), (QStringList{"CUSTOMERS", "ORDERS"}));
    EXPECT_EQ(oracle.rows("SELECT COUNT(*) FROM CUSTOMERS"), QStringList{"3"});
    EXPECT_EQ(oracle.rows("SELECT COUNT(*) FROM ORDERS"), QStringList{"2"});

    const QString log = readText(logPath);
    EXPECT_TRUE(log.startsWith("Start time:")) << log.toStdString();
    EXPECT_TRUE(log.contains("Create table CUSTOMERS...Done\r\n")) << log.toStdString();
    EXPECT_TRUE(log.contains("Create table ORDERS...Done\r\n")) << log.toStdString();
    EXPECT_TRUE(log.contains("Wizard has migrated your MySQL database to Oracle server successfully.\r\n"));
    EXPECT_TRUE(log.contains("\r\nThe end time:")) << log.toStdString();

    const auto stored = storedSettings(home.path());
    EXPECT_EQ(stored.value("accessmode"), "1");
    EXPECT_EQ(stored.value("host"), mysqlServer().host);
    EXPECT_EQ(stored.value("port"), mysqlServer().port);
    EXPECT_EQ(stored.value("mysqldatabase"), mysql.name());
    EXPECT_EQ(stored.value("mysqlu"), mysqlServer().user);
    EXPECT_EQ(stored.value("oracleh"), oracle.service());
    EXPECT_EQ(stored.value("oraclep"), oracle.password());
    EXPECT_EQ(stored.value("Character Set"), "0");
    EXPECT_EQ(stored.value("nameuppercase"), "1");
}

TEST_F(UnattendedRun, AMissingFileLeavesTheOneLineLogAndTheRememberedValues)
{
    {
        QDir().mkpath(home.filePath("config/Korvane"));
        QFile store(home.filePath("config/Korvane/Dovrelle.conf"));
        ASSERT_TRUE(store.open(QIODevice::WriteOnly));
        store.write(encodeSettingsStore({{"accessmode", "1"}, {"host", "remembered.example"}, {"port", "3399"}}));
    }
    const QString missing = home.filePath("absent");  // no extension: the log gets ".log" appended
    Child child(home.path(), {missing});
    EXPECT_EQ(child.finish().exitCode, 0);
    EXPECT_EQ(readText(missing + ".log"),
              QStringLiteral("Cannot open file \"%1\". No such file or directory\r\n").arg(missing));
    const auto stored = storedSettings(home.path());
    EXPECT_EQ(stored.value("host"), "remembered.example");
    EXPECT_EQ(stored.value("port"), "3399");
    EXPECT_EQ(stored.value("accessmode"), "1");
    EXPECT_TRUE(oracleTables().isEmpty());
}

TEST_F(UnattendedRun, HeadlessSuccessExitsZero)
{
    ConversionProfile c = content();
    allTables = true;  // all tables of the database
    writeSettings(c);
    Child child(home.path(), {"--headless", settingsPath});
    const Finished done = child.finish();
    EXPECT_EQ(done.exitCode, 0) << done.errors.toStdString();
    EXPECT_EQ(oracleTables(), (QStringList{"CUSTOMERS", "NOTES", "ORDERS"}));
    EXPECT_TRUE(done.errors.contains("Create table NOTES...Done")) << done.errors.toStdString();
    EXPECT_TRUE(readText(logPath).contains("\r\nThe end time:"));
}

// verifyrows=1 in the file verifies each table after its copy; without the key nothing is verified.
TEST_F(UnattendedRun, HeadlessRunWithVerifyRowsVerifiesEachTable)
{
    ConversionProfile c = content();
    c.verifyrows = true;
    writeSettings(c);
    Child child(home.path(), {"--headless", settingsPath});
    const Finished done = child.finish();
    EXPECT_EQ(done.exitCode, 0) << done.errors.toStdString();
    const QString log = readText(logPath);
    EXPECT_TRUE(log.contains("\r\nInsert table CUSTOMERS 3 Rows ...Done\r\n\r\n"
                             "Verify table CUSTOMERS 3 Rows ...Done\r\n"))
        << log.toStdString();
    EXPECT_TRUE(log.contains("\r\nVerify table ORDERS 2 Rows ...Done\r\n")) << log.toStdString();
    EXPECT_TRUE(done.errors.contains("Verify table ORDERS 2 Rows ...Done")) << done.errors.toStdString();

    QStringList lines = loadSettingsFile(settingsPath);
    lines.removeAll(QStringLiteral("verifyrows=1"));
    ASSERT_EQ(lines.size(), settingsFileLines(valuesFromProfile(c), c.tables).size() - 1);
    saveSettingsFile(settingsPath, lines);
    Child without(home.path(), {"--headless", settingsPath});
    EXPECT_EQ(without.finish().exitCode, 0);
    EXPECT_FALSE(readText(logPath).contains("Verify table")) << readText(logPath).toStdString();
}

// --language, before or after --headless SETTINGS, chooses the caption table of the closing lines.
TEST_F(UnattendedRun, HeadlessLanguageChoosesTheClosingLines)
{
    writeSettings(content());
    const struct {
        QStringList arguments;
        QStringList closingLines;
    } cases[] = {
        {{"--headless", settingsPath, "--language", "cn"}, {"已经完成转换", "向导已经完成Mysql 数据库到Orccle的转换."}},
        {{"--language=cn", "--headless", settingsPath}, {"已经完成转换", "向导已经完成Mysql 数据库到Orccle的转换."}},
        {{"--headless", settingsPath, "--language", "en"},
         {"Conversion is Completed", "Wizard has migrated your MySQL database to Oracle server successfully."}},
    };
    for (const auto& c : cases) {
        QFile::remove(logPath);
        Child child(home.path(), c.arguments);
        const Finished done = child.finish();
        EXPECT_EQ(done.exitCode, 0) << done.errors.toStdString();
        const QStringList lines = readText(logPath).split("\r\n");
        const qsizetype end = lines.indexOf(QRegularExpression("^The end time:.*"));
        ASSERT_GE(end, 2) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(lines.mid(end - 2, 2), c.closingLines) << c.arguments.join(' ').toStdString();
        // The last line follows the saved file, on standard error only.
        const QString finishLine = c.closingLines.first() == "已经完成转换" ? "点击 'Finish' 离开本向导."
                                                                       : "Click 'Finish' to exit the wizard.";
        EXPECT_TRUE(done.errors.contains(finishLine)) << done.errors.toStdString();
    }

    QFile::remove(logPath);
    Child unknown(home.path(), {"--headless", settingsPath, "--language", "fr"});
    const Finished refused = unknown.finish();
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.errors.contains("--language needs cn or en, not \"fr\"")) << refused.errors.toStdString();
    EXPECT_FALSE(QFile::exists(logPath));
}

// Two Overwrite runs of one table into one oraemu file at once: however their statements interleave,
// the table ends with MySQL's rows exactly. A run that loses the race fails with Oracle's error in its
// log: ORA-00054 when its DDL meets the other's uncommitted rows, or what Oracle answers for the other
// orders (the table already there or gone, the key already there, its rows already copied).
TEST_F(UnattendedRun, TwoOverwriteRunsAtOnceLeaveMySqlsRowsExactly)
{
    constexpr int rowCount = 20000;
    mysql.execute({
        "CREATE TABLE big (id INT PRIMARY KEY, name VARCHAR(40))",
        // 200 x 100 rows (a recursive query of MariaDB stops after 1000 rows).
        "INSERT INTO big WITH RECURSIVE s(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM s WHERE n < 199) "
        "SELECT a.n * 100 + b.n + 1, CONCAT('row ', a.n * 100 + b.n + 1) FROM s a JOIN s b ON b.n < 100",
    });
    ConversionProfile c = content();
    c.tables = {"big"};
    const QStringList settings = {home.filePath("first.qelt"), home.filePath("second.qelt")};
    for (const QString& path : settings)
        saveSettingsFile(path, settingsFileLines(valuesFromProfile(c), c.tables));

    Child first(home.path(), {"--headless", settings[0]});
    Child second(home.path(), {"--headless", settings[1]});
    const Finished firstDone = first.finish();
    const Finished secondDone = second.finish();

    EXPECT_EQ(oracle.rows("SELECT COUNT(*) FROM BIG"), QStringList{QString::number(rowCount)});
    const Finished* runs[] = {&firstDone, &secondDone};
    const QString logs[] = {readText(home.filePath("first.log")), readText(home.filePath("second.log"))};
    for (int run = 0; run < 2; ++run) {
        if (runs[run]->exitCode != 0)
            EXPECT_TRUE(logs[run].contains(QRegularExpression("ORA-\\d{5}: "))) << logs[run].toStdString();
    }
}

TEST_F(UnattendedRun, TableLinesThatNameNoTableOfTheDatabaseSaySoAndExitTwo)
{
    ConversionProfile c = content();
    c.tables = {"ghosts", "Customers"};
    writeSettings(c);
    Child child(home.path(), {"--headless", settingsPath});
    const Finished done = child.finish();
    EXPECT_EQ(done.exitCode, 2) << done.errors.toStdString();
    EXPECT_EQ(readText(logPath),
              QStringLiteral("Table ghosts was not found in the MySQL database %1\r\n"
                             "Table Customers was not found in the MySQL database %1\r\n"
                             "No table to convert: none of the tables the settings file lists is in the "
                             "MySQL database %1.\r\n")
                  .arg(mysql.name()));
    EXPECT_EQ(done.errors.count("No table to convert"), 1) << done.errors.toStdString();
    EXPECT_EQ(done.errors.count("Table ghosts was not found"), 1) << done.errors.toStdString();
    EXPECT_TRUE(oracleTables().isEmpty());

    // Table lines lost altogether (a truncated file, a key in capitals) say so too.
    saveSettingsFile(settingsPath, settingsFileLines(valuesFromProfile(content()), {}) << "TABLES1=customers");
    Child lost(home.path(), {"--headless", settingsPath});
    EXPECT_EQ(lost.finish().exitCode, 2);
    EXPECT_TRUE(readText(logPath).startsWith("No table to convert: the settings file lists no table"))
        << readText(logPath).toStdString();
}

TEST_F(UnattendedRun, AListedTableTheDatabaseLacksIsAnErrorOfTheRun)
{
    ConversionProfile c = content();
    c.tables = {"zzz", "customers"};
    writeSettings(c);
    Child child(home.path(), {"--headless", settingsPath});
    const Finished done = child.finish();
    EXPECT_EQ(done.exitCode, 1) << done.errors.toStdString();
    const QString log = readText(logPath);
    EXPECT_TRUE(log.contains("Table zzz was not found in the MySQL database " + mysql.name())) << log.toStdString();
    EXPECT_TRUE(log.contains("Create table CUSTOMERS...Done")) << log.toStdString();
    EXPECT_FALSE(log.contains("successfully")) << log.toStdString();
    EXPECT_EQ(oracleTables(), QStringList{"CUSTOMERS"});
}

TEST_F(UnattendedRun, TheWalkHaltsOnPageFiveWithoutNextWhenNoListedTableExists)
{
    ConversionProfile c = content();
    c.tables = {"zzz"};
    writeSettings(c);

    RecordingSeam::Log boxes;
    ConversionWizard window;
    startFromSettingsFile(window, boxes);
    ASSERT_NO_FATAL_FAILURE(firstTimerTick(window));

    EXPECT_EQ(window.currentStep(), 5);
    EXPECT_EQ(boxes.errors,
              QStringList{QStringLiteral("Table zzz was not found in the MySQL database %1\n"
                                         "No table to convert: none of the tables the settings file "
                                         "lists is in the MySQL database %1.")
                              .arg(mysql.name())});
    EXPECT_FALSE(window.lastRunResult().has_value());
    EXPECT_FALSE(QFile::exists(logPath));
    EXPECT_TRUE(oracleTables().isEmpty());
}

TEST_F(UnattendedRun, HeadlessRunWithAFailedStepExitsOne)
{
    // Merging into an Oracle table that lacks the MySQL columns makes the row copy fail.
    oracle.sql("CREATE TABLE ORDERS (X NUMBER)");
    ConversionProfile c = content();
    c.processtable = ExistingTableAction::Merge;
    writeSettings(c);
    Child child(home.path(), {"--headless", settingsPath});
    const Finished done = child.finish();
    EXPECT_EQ(done.exitCode, 1) << done.errors.toStdString();
    const QString log = readText(logPath);
    EXPECT_TRUE(log.contains("Create table CUSTOMERS...Done")) << log.toStdString();
    EXPECT_FALSE(log.contains("successfully")) << log.toStdString();
    EXPECT_EQ(oracle.rows("SELECT COUNT(*) FROM CUSTOMERS"), QStringList{"3"});
}

TEST_F(UnattendedRun, HeadlessRunThatCannotStartOrHaltsExitsTwo)
{
    // A settings file that does not exist: its error once on stderr, and no log beside it.
    Child missing(home.path(), {"--headless", home.filePath("absent.qelt")});
    const Finished absent = missing.finish();
    EXPECT_EQ(absent.exitCode, 2);
    EXPECT_EQ(absent.errors.count("Cannot open file"), 1) << absent.errors.toStdString();
    EXPECT_FALSE(QFileInfo::exists(home.filePath("absent.log")));

    ConversionProfile c = content();
    c.oraclep = "wrong";
    writeSettings(c);
    Child halted(home.path(), {"--headless", settingsPath});
    const Finished done = halted.finish();
    EXPECT_EQ(done.exitCode, 2) << done.errors.toStdString();
    EXPECT_TRUE(readText(logPath).contains("ORA-01017")) << readText(logPath).toStdString();
    EXPECT_EQ(done.errors.count("ORA-01017"), 1) << "each error once: " << done.errors.toStdString();
    EXPECT_TRUE(oracleTables().isEmpty());

    c = content();
    c.mysqldatabase = "  ";
    writeSettings(c);
    Child noDatabase(home.path(), {"--headless", settingsPath});
    const Finished page2 = noDatabase.finish();
    EXPECT_EQ(page2.exitCode, 2);
    EXPECT_EQ(page2.errors.count("Please enter database name"), 1) << page2.errors.toStdString();
    EXPECT_EQ(readText(logPath), "Please enter database name\r\n");

    saveSettingsFile(settingsPath, {"accessmode=remote"});
    Child badValue(home.path(), {"--headless", settingsPath});
    EXPECT_EQ(badValue.finish().exitCode, 2);
    EXPECT_TRUE(readText(logPath).contains("''remote'' is not a valid integer value"));
}

// A password never shows: not where a lost line break glued it onto another setting (the file is
// refused, naming the line and both keys), nor inside a server's message.
TEST_F(UnattendedRun, HeadlessRunShowsNoPasswordAnywhere)
{
    const QString secret = "TopSecretPw1";
    struct Case {
        const char* name;
        std::function<QStringList(QStringList)> lines;  // from the lines of a good file
        QStringList expected;                             // in standard error
    };
    const auto glue = [](QStringList lines, const QString& key, const QString& passwordKey) {
        // indexOf matches a regular expression against whole lines.
        const qsizetype passwordLine = lines.indexOf(QRegularExpression(passwordKey + "=.*"));
        const qsizetype keyLine = lines.indexOf(QRegularExpression(key + "=.*"));
        lines[keyLine] += lines[passwordLine];
        lines.removeAt(passwordLine);
        return lines;
    };
    const Case cases[] = {
        {"mysqlp glued onto mysqlu",
         [&](QStringList l) { return glue(l, "mysqlu", "mysqlp"); },
         {"line 4", "mysqlu", "mysqlp", "line break"}},
        {"OracleP glued onto oracleu, in other letter case",
         [&](QStringList l) {
             l = glue(l, "oracleu", "oraclep");
             l.replaceInStrings("oraclep=", "OracleP=");
             return l;
         },
         {"oracleu", "oraclep", "line break"}},
        {"the password inside the server's refusal",
         [&](QStringList l) {
             l.replaceInStrings(QRegularExpression("^mysqlu=.*"), "mysqlu=acc" + secret);
             return l;
         },
         {"Access denied for user 'acc***'"}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ConversionProfile c = content();
        c.mysqlp = secret;
        c.oraclep = secret + "Ora";
        SettingsValues values = valuesFromProfile(c);
        values.insert("alltables", "0");
        saveSettingsFile(settingsPath, test.lines(settingsFileLines(values, c.tables)));
        QFile::remove(logPath);

        Child child(home.path(), {"--headless", settingsPath});
        const Finished done = child.finish();
        const QString everything =
            done.errors + QString::fromLocal8Bit(child.process().readAllStandardOutput()) + readText(logPath);
        EXPECT_EQ(done.exitCode, 2) << done.errors.toStdString();
        EXPECT_FALSE(everything.contains(secret)) << everything.toStdString();
        for (const QString& text : test.expected)
            EXPECT_TRUE(done.errors.contains(text, Qt::CaseInsensitive)) << text.toStdString() << "\n"
                                                                         << done.errors.toStdString();
        EXPECT_TRUE(readText(logPath).contains(test.expected.first(), Qt::CaseInsensitive))
            << readText(logPath).toStdString();
        EXPECT_TRUE(oracleTables().isEmpty());
    }
}

TEST_F(UnattendedRun, HeadlessRunStopsOnSigtermAndSavesTheLog)
{
    mysql.execute({"CREATE TABLE big1 (id INT PRIMARY KEY, txt VARCHAR(40))",
                   "INSERT INTO big1 SELECT seq, CONCAT('row ', seq) FROM seq_1_to_40000",
                   "CREATE TABLE big2 LIKE big1", "INSERT INTO big2 SELECT * FROM big1",
                   "CREATE TABLE big3 LIKE big1", "INSERT INTO big3 SELECT * FROM big1"});
    ConversionProfile c = content();
    c.tables = {"big1", "big2", "big3"};
    writeSettings(c);
    Child child(home.path(), {"--headless", settingsPath});
    ASSERT_TRUE(child.waitForError("Create table BIG1...Done")) << child.errorsSoFar().toStdString();
    child.process().terminate();  // SIGTERM
    const Finished done = child.finish();
    EXPECT_EQ(done.exitCode, 1) << done.errors.toStdString();
    EXPECT_TRUE(done.errors.contains("Signal 15")) << done.errors.toStdString();
    const QString log = readText(logPath);
    EXPECT_TRUE(log.contains("Create table BIG1...Done")) << log.toStdString();
    EXPECT_TRUE(log.contains("The run was stopped.") || log.contains("Operation aborted")) << log.toStdString();
    EXPECT_FALSE(log.contains("Create table BIG3")) << log.toStdString();
    EXPECT_FALSE(QFileInfo::exists(home.filePath("config"))) << "a headless run remembers nothing";
}

// The log with the times of its start and end line taken out.
QString withoutTimes(QString log)
{
    static const QRegularExpression times(QStringLiteral("^(Start time:|The end time:).*$"),
                                          QRegularExpression::MultilineOption);
    return log.replace(times, QStringLiteral("\\1"));
}

TEST_F(UnattendedRun, HeadlessLogEqualsTheWizardsUnattendedLogAndNeedsNoDisplayOrStore)
{
    ConversionProfile c = content();
    c.tables = {"orders", "ghosts", "customers", "orders"};
    writeSettings(c);
    Child wizard(home.path(), {settingsPath});
    ASSERT_EQ(wizard.finish().exitCode, 0);
    const QString wizardLog = readText(logPath);
    ASSERT_TRUE(wizardLog.contains("Create table ORDERS...Done")) << wizardLog.toStdString();
    for (const QString& table : oracleTables())
        oracle.sql("DROP TABLE " + table);
    QDir(home.filePath("config")).removeRecursively();
    QFile::remove(logPath);

    Child headless(home.path(), {"--headless", settingsPath}, {}, dovrelleProgram(), {{"LD_DEBUG", "libs"}});
    const Finished done = headless.finish();
    EXPECT_EQ(done.exitCode, 1) << done.errors.toStdString();  // ghosts: a table the database lacks
    EXPECT_TRUE(wizardLog.contains("Table ghosts was not found in the MySQL database")) << wizardLog.toStdString();
    EXPECT_EQ(withoutTimes(readText(logPath)), withoutTimes(wizardLog));
    EXPECT_TRUE(done.errors.contains("libQt6Core")) << "LD_DEBUG shows the libraries loaded";
    EXPECT_FALSE(done.errors.contains("platforms/")) << "a Qt platform plugin was loaded";
    EXPECT_FALSE(QFileInfo::exists(home.filePath("config"))) << "a headless run remembers nothing";
}

TEST_F(UnattendedRun, AWrongOraclePasswordWaitsOnPageThreeAndTheUsersNextResumesTheWalk)
{
    ConversionProfile c = content();
    c.oraclep = "wrong";
    writeSettings(c);

    RecordingSeam::Log boxes;
    ConversionWizard window;
    startFromSettingsFile(window, boxes);
    ASSERT_NO_FATAL_FAILURE(firstTimerTick(window));

    EXPECT_EQ(window.currentStep(), 3);
    ASSERT_EQ(boxes.errors.size(), 1);
    EXPECT_TRUE(boxes.errors.first().contains("ORA-01017")) << boxes.errors.first().toStdString();
    EXPECT_FALSE(QFile::exists(logPath));

    const WizardControls controls(window);
    EXPECT_EQ(controls.databaseEdit->text(), mysql.name());
    controls.oraclePasswordEdit->setText(oracle.password());
    window.findChild<QPushButton*>("btnext")->click();

    EXPECT_EQ(boxes.errors.size(), 1);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(oracleTables(), (QStringList{"CUSTOMERS", "ORDERS"}));
    EXPECT_TRUE(readText(logPath).contains("\r\nThe end time:"));
}

TEST_F(UnattendedRun, AValueThatIsNoNumberStopsTheStartWithItsErrorAndArmsNoTimer)
{
    QStringList lines = settingsFileLines(valuesFromProfile(content()), {});
    lines[0] = "accessmode=remote";
    saveSettingsFile(settingsPath, lines);

    RecordingSeam::Log boxes;
    ConversionWizard window;
    startFromSettingsFile(window, boxes);

    EXPECT_EQ(boxes.errors, QStringList{"''remote'' is not a valid integer value"});
    EXPECT_FALSE(window.unattendedTimer()->isActive());
    EXPECT_NE(WizardControls(window).databaseEdit->text(), mysql.name());
    EXPECT_EQ(window.currentStep(), 1);
    EXPECT_FALSE(QFile::exists(logPath));
}

TEST_F(UnattendedRun, ABlankDatabaseNameHaltsTheWalkOnPageTwoWithItsNotice)
{
    ConversionProfile c = content();
    c.mysqldatabase = "  ";
    writeSettings(c);

    RecordingSeam::Log boxes;
    ConversionWizard window;
    startFromSettingsFile(window, boxes);
    ASSERT_NO_FATAL_FAILURE(firstTimerTick(window));

    EXPECT_EQ(window.currentStep(), 2);
    EXPECT_EQ(boxes.notices, QStringList{"Please enter database name"});
    EXPECT_TRUE(boxes.errors.isEmpty());
    EXPECT_FALSE(QFile::exists(logPath));
}

// The launcher's Exec line split into arguments the way a desktop does it.
QStringList execArguments(QString exec)
{
    QString unescaped;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        if (exec[i] == '\\' && i + 1 < exec.size()) {
            const QChar n = exec[++i];
            unescaped += n == 's' ? QChar(' ') : n == 'n' ? QChar('\n') : n == 't' ? QChar('\t') : n;
        } else {
            unescaped += exec[i];
        }
    }
    QStringList args;
    QString current;
    bool quoted = false;
    bool any = false;
    for (qsizetype i = 0; i < unescaped.size(); ++i) {
        const QChar ch = unescaped[i];
        if (quoted && ch == '\\' && i + 1 < unescaped.size()) {
            current += unescaped[++i];
        } else if (ch == '"') {
            quoted = !quoted;
            any = true;
        } else if (ch == ' ' && !quoted) {
            if (any || !current.isEmpty())
                args << current.replace("%%", "%");
            current.clear();
            any = false;
        } else {
            current += ch;
        }
    }
    if (any || !current.isEmpty())
        args << current.replace("%%", "%");
    return args;
}

TEST_F(UnattendedRun, TheLauncherFromTheShortcutDialogRunsTheConversion)
{
    ConversionWizard window;
    RecordingSeam::Log boxes;
    window.setMessageSeam(std::make_unique<RecordingSeam>(&boxes));
    SettingsWiring& settings = installSettings(window);
    const WizardControls c(window);
    c.accessMode->setItemIndex(1);
    c.hostEdit->setText(mysqlServer().host);
    c.portEdit->setText(mysqlServer().port);
    c.databaseList->addItem(mysql.name());
    c.databaseList->item(0)->setSelected(true);
    c.mysqlUserEdit->setText(mysqlServer().user);
    c.mysqlPasswordEdit->setText(mysqlServer().password);
    c.oracleServiceEdit->setText(oracle.service());
    c.oracleUserEdit->setText(oracle.user());
    c.oraclePasswordEdit->setText(oracle.password());
    c.chosenTablesList->addItem("orders");

    ShortcutDialog& dialog = settings.shortcutDialog();
    dialog.programPath = dovrelleProgram();
    const QString shortcut = home.filePath("my jobs/orders $1.desktop");
    QDir().mkpath(home.filePath("my jobs"));
    dialog.chooseShortcutPath = [&](QWidget*) { return shortcut; };
    dialog.fillFromWizard(window);
    dialog.findChild<RadioGroup*>("rgselecttable")->setItemIndex(0);
    dialog.createShortcut();
    ASSERT_TRUE(boxes.errors.isEmpty()) << boxes.errors.join('\n').toStdString();

    QString exec, folder;
    for (const QString& line : readText(shortcut).split('\n')) {
        if (line.startsWith("Exec="))
            exec = line.mid(5);
        if (line.startsWith("Path="))
            folder = line.mid(5);
    }
    // The Oracle library the dialog's process had (oraemu) goes with the launcher, which a menu
    // starts without that variable.
    const QStringList args = execArguments(exec);
    ASSERT_EQ(args.size(), 4) << exec.toStdString();
    EXPECT_EQ(args[0], "env");
    EXPECT_EQ(args[1], "DOVRELLE_OCI_LIBRARY=" + testsupport::oraemuLibraryPath());
    EXPECT_EQ(args[2], dovrelleProgram());
    EXPECT_EQ(args[3], home.filePath("my jobs/orders $1.qelt"));
    EXPECT_EQ(folder, QStringLiteral(DOVRELLE_BUILD_DIR "/bin/"));

    Child child(home.path(), args.mid(1), folder, args[0], {{"DOVRELLE_OCI_LIBRARY", ""}});
    const Finished done = child.finish();
    EXPECT_EQ(done.exitCode, 0) << done.errors.toStdString();
    EXPECT_EQ(oracleTables(), QStringList{"ORDERS"});
    EXPECT_TRUE(readText(home.filePath("my jobs/orders $1.log")).contains("Create table ORDERS...Done"));
}

}  // namespace
