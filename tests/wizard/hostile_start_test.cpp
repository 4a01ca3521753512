// The program started on settings a hostile or careless user could hand it: it refuses them at
// once, with the file and the cause named, writes nothing over the settings file and never waits.
// And a started program allows no core dump, which would hold the passwords.
#include "program_child.h"
#include "recording_seam.h"
#include "wizard/conversion_wizard.h"
#include "wizard/settings_wiring.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace dovrelle;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A settings file that would run, but for the one value a case puts in.
QByteArray settingsWith(const QByteArray& line)
{
    return "accessmode=1\r\nmysqldatabase=shop\r\nport=3306\r\nmysqlu=ann\r\nmysqlp=secret-one\r\n"
           "host=127.0.0.1\r\noracleh=ORCL\r\noracleu=SCOTT\r\noraclep=secret-two\r\nprocesstable=0\r\n" +
           line + "\r\nalltables=1\r\n";
}

struct RefusalCase {
    const char* name;
    // Makes what the program is started on in `folder`; returns its path.
    std::function<QString(const QString& folder)> make;
    const char* expected;  // a part of the message, on standard error and in the log when there is one
};

void PrintTo(const RefusalCase& c, std::ostream* out)
{
    *out << c.name;
}

class HeadlessRefusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(HeadlessRefusal, ExitsTwoAtOnceNamingTheCauseAndShowsNoPassword)
{
    QTemporaryDir home;
    const QString settingsPath = GetParam().make(home.path());
    const QString logPath = QFileInfo(settingsPath).path() + "/" + QFileInfo(settingsPath).completeBaseName() + ".log";
    QElapsedTimer clock;
    clock.start();
    Child child(home.path(), {"--headless", settingsPath});
    const Finished done = child.finish();
    EXPECT_EQ(done.exitCode, 2) << done.errors.toStdString();
    EXPECT_LT(clock.elapsed(), 60000) << "the program waited";
    const QString log = logPath == settingsPath ? done.errors : readText(logPath);
    EXPECT_TRUE(log.contains(QString::fromUtf8(GetParam().expected))) << log.toStdString();
    EXPECT_FALSE(log.contains("secret") || done.errors.contains("secret")) << log.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeadlessRefusal,
    testing::Values(
        RefusalCase{"log_would_replace_settings",
                    [](const QString& folder) {
                        const QString path = folder + "/nightly.log";
                        writeFile(path, settingsWith("character_set=Default"));
                        return path;
                    },
                    "The log of this run would be written over its settings file"},
        RefusalCase{"pipe",
                    [](const QString& folder) {
                        const QString path = folder + "/fifo.qelt";
                        EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
                        return path;
                    },
                    "It is not a regular file"},
        RefusalCase{"link_to_dev_zero",
                    [](const QString& folder) {
                        const QString path = folder + "/zero.qelt";
                        EXPECT_TRUE(QFile::link("/dev/zero", path));
                        return path;
                    },
                    "It is not a regular file"},
        RefusalCase{"over_16_mb",
                    [](const QString& folder) {
                        const QString path = folder + "/huge.qelt";
                        QFile file(path);
                        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
                        EXPECT_TRUE(file.resize(16 * 1024 * 1024 + 1));
                        return path;
                    },
                    "It is larger than a settings file may be"},
        RefusalCase{"way_out_of_range",
                    [](const QString& folder) {
                        const QString path = folder + "/nightly.qelt";
                        writeFile(path, settingsWith("character_set=Default").replace("processtable=0", "processtable=3"));
                        return path;
                    },
                    "Invalid value of processtable in the settings file: ''3''"},
        RefusalCase{"port_with_nul_and_junk",
                    [](const QString& folder) {
                        const QString path = folder + "/nightly.qelt";
                        writeFile(path, settingsWith("character_set=Default")
                                            .replace("port=3306", QByteArray("port=48167\0junk", 15)));
                        return path;
                    },
                    "Invalid value of port in the settings file: ''48167\\x00junk''"},
        RefusalCase{"lines_run_together",
                    [](const QString& folder) {
                        const QString path = folder + "/nightly.qelt";
                        // U+2028 instead of CR LF: every line becomes part of accessmode's value.
                        writeFile(path, settingsWith("character_set=Default").replace("\r\n", "\xE2\x80\xA8"));
                        return path;
                    },
                    "The settings file is not valid: line 1, the value of accessmode, holds the key mysqlp"}),
    [](const testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

// An argument that looks like an option but is none of the program's: the usage text and exit
// 2 at once, with a display or without one, and no file written (no "--frobnicate.log").
TEST(CommandLineRefusal, AnUnknownOptionShowsTheUsageAndExitsTwoWritingNothing)
{
    const struct {
        QStringList arguments;
        const char* message;
    } cases[] = {
        {{"--frobnicate"}, "unknown option --frobnicate"},
        {{"-x"}, "unknown option -x"},
        {{"--headless", "nope.qelt", "--frobnicate"}, "unknown option --frobnicate"},
        {{"nope.qelt", "--frobnicate"}, "unknown option --frobnicate"},
        {{"--headless"}, "--headless needs SETTINGS"},
        {{"--headless", "a.qelt", "b.qelt"}, "unexpected argument b.qelt"},
        {{"--language", "fr", "nope.qelt"}, "--language needs cn or en"},
    };
    const QHash<QString, QString> displays[] = {{}, {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", ""}}};
    for (const auto& c : cases) {
        for (const QHash<QString, QString>& display : displays) {
            SCOPED_TRACE(c.arguments.join(' ').toStdString() + (display.isEmpty() ? " (offscreen)" : " (no display)"));
            QTemporaryDir home;
            Child child(home.path(), c.arguments, home.path(), dovrelleProgram(), display);
            const Finished done = child.finish();
            EXPECT_EQ(done.exitCode, 2) << done.errors.toStdString();
            EXPECT_EQ(done.errors.count(QString::fromUtf8(c.message)), 1) << done.errors.toStdString();
            EXPECT_TRUE(done.errors.contains("Usage: dovrelle")) << done.errors.toStdString();
            EXPECT_EQ(QDir(home.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList{});
        }
    }
}

TEST(HeadlessRefusal, TheSettingsFileNamedLikeItsLogKeepsItsContent)
{
    QTemporaryDir home;
    const QString path = home.filePath("nightly.log");
    const QByteArray content = settingsWith("character_set=Default");
    writeFile(path, content);
    Child child(home.path(), {"--headless", path});
    EXPECT_EQ(child.finish().exitCode, 2);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), content);
}

TEST(UnattendedRefusal, TheWizardShowsTheRefusalArmsNoTimerAndKeepsTheSettingsFile)
{
    QTemporaryDir home;
    const QString path = home.filePath("nightly.log");
    const QByteArray content = settingsWith("character_set=Default");
    writeFile(path, content);

    RecordingSeam::Log boxes;
    ConversionWizard window;
    window.setMessageSeam(std::make_unique<RecordingSeam>(&boxes));
    installSettings(window);
    window.start({dovrelleProgram(), path});

    ASSERT_EQ(boxes.errors.size(), 1);
    EXPECT_TRUE(boxes.errors.first().startsWith("The log of this run would be written over its settings file"))
        << boxes.errors.first().toStdString();
    EXPECT_FALSE(window.unattendedTimer()->isActive());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), content);
}

// The "Max core file size" line of /proc/<pid>/limits: its soft and hard limit.
QString coreLimitOf(qint64 pid)
{
    QFile limits(QStringLiteral("/proc/%1/limits").arg(pid));
    if (!limits.open(QIODevice::ReadOnly))
        return {};
    for (const QString& line : QString::fromLatin1(limits.readAll()).split('\n')) {
        if (line.startsWith("Max core file size"))
            return line.mid(26).simplified();
    }
    return {};
}

TEST(CoreDumps, TheStartedProgramAllowsNone)
{
    // The program must set the limit itself: start it with core dumps allowed.
    rlimit before = {};
    ASSERT_EQ(::getrlimit(RLIMIT_CORE, &before), 0);
    if (before.rlim_max == 0)
        GTEST_SKIP() << "core dumps are off for this test already (hard limit 0)";
    const rlimit allowed = {before.rlim_max, before.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_CORE, &allowed), 0);

    QTemporaryDir home;
    Child child(home.path(), {});  // the wizard, waiting on its first page
    ::setrlimit(RLIMIT_CORE, &before);
    ASSERT_TRUE(child.process().waitForStarted());
    const qint64 pid = child.process().processId();

    QString limit = coreLimitOf(pid);
    QElapsedTimer clock;
    clock.start();
    // The limit is set first thing in main(); until then the child has the limit it inherited.
    while (!limit.startsWith("0 0") && clock.elapsed() < 30000 && child.process().state() == QProcess::Running) {
        QThread::msleep(50);
        limit = coreLimitOf(pid);
    }
    EXPECT_TRUE(limit.startsWith("0 0 bytes")) << limit.toStdString();
    EXPECT_EQ(child.process().state(), QProcess::Running) << "the wizard should wait for its user";
    child.process().kill();
    child.process().waitForFinished();
}

}  // namespace
