// The run log: line operations, the signals views follow, and the log file's bytes.
#include "test_run_printing.h"
#include "engine/run_log.h"

#include "engine/data_folder.h"
#include "db/error.h"
#include "engine/log_time.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dovrelle;

TEST(RunLog, AppendSplitsLineBreaksAndKeepsEmptyLines)
{
    RunLog log;
    QStringList appended;
    QObject::connect(&log, &RunLog::lineAppended, [&](const QString& line) { appended.append(line); });
    log.append(QStringLiteral("one"));
    log.append(QString());
    log.append(QStringLiteral("two\r\nthree\nfour\rfive"));
    EXPECT_EQ(log.lines(), QStringList({"one", "", "two", "three", "four", "five"}));
    EXPECT_EQ(appended, log.lines());
    EXPECT_EQ(log.lastLine(), QStringLiteral("five"));
}

TEST(RunLog, ReplaceLastInsertAndClear)
{
    RunLog log;
    EXPECT_EQ(log.lastLine(), QString());
    log.replaceLast(QStringLiteral("first"));  // an empty log gets the line
    log.append(QStringLiteral("Insert table T... "));
    QList<int> replaced;
    QList<int> inserted;
    QObject::connect(&log, &RunLog::lineReplaced, [&](int index, const QString&) { replaced.append(index); });
    QObject::connect(&log, &RunLog::lineInserted, [&](int index, const QString&) { inserted.append(index); });
    log.replaceLast(QStringLiteral("Insert table T 100 Rows "));
    log.insert(1, QStringLiteral("NAME:TStringField"));
    log.replaceLast(log.lastLine() + QStringLiteral("...Done"));
    EXPECT_EQ(log.lines(), QStringList({"first", "NAME:TStringField", "Insert table T 100 Rows ...Done"}));
    EXPECT_EQ(replaced, QList<int>({1, 2}));
    EXPECT_EQ(inserted, QList<int>({1}));

    int cleared = 0;
    QObject::connect(&log, &RunLog::cleared, [&] { ++cleared; });
    log.clear();
    EXPECT_EQ(log.lineCount(), 0);
    EXPECT_EQ(cleared, 1);
}

TEST(RunLog, SavesLinesWithCrLfAsUtf8WithoutByteOrderMark)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.log"));
    {
        QFile old(path);  // an existing file is replaced, not appended to
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old content that is longer than the new one\r\n\r\n\r\n\r\n\r\n\r\n");
    }
    RunLog log;
    log.append(QStringLiteral("Start time:1/2/26 10:11:12"));
    log.append(QString());
    log.append(QStringLiteral("Create table TËST€..."));
    log.saveToFile(path);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              QByteArray("Start time:1/2/26 10:11:12\r\n\r\nCreate table T\xC3\x8BST\xE2\x82\xAC...\r\n"));
}

TEST(RunLog, SaveFailureNamesTheFileAndTheReason)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/folder/run.log"));
    RunLog log;
    log.append(QStringLiteral("line"));
    try {
        log.saveToFile(path);
        FAIL() << "saving into a missing folder succeeded";
    } catch (const Error& e) {
        const QString prefix = QStringLiteral("Cannot create file \"%1\". ").arg(path);
        EXPECT_TRUE(e.message().startsWith(prefix)) << e.what();
        EXPECT_GT(e.message().size(), prefix.size()) << "no reason given";
    }
    EXPECT_FALSE(QFile::exists(path));
}

TEST(LogTime, DateAloneAtMidnightElseDateBlankAndLongTime)
{
    const QLocale locale = QLocale::system();
    const QDate date(2026, 3, 7);
    EXPECT_EQ(logTimeText(QDateTime(date, QTime(0, 0))), locale.toString(date, QLocale::ShortFormat));
    const QTime time(0, 0, 1);
    EXPECT_EQ(logTimeText(QDateTime(date, time)),
              locale.toString(date, QLocale::ShortFormat) + u' '
                  + locale.toString(time, QLocale::LongFormat));
    EXPECT_EQ(logFileStamp(QDateTime(date, QTime(9, 5, 3))), QStringLiteral("20260307_090503"));
    EXPECT_EQ(logFileStamp(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59))),
              QStringLiteral("20261231_235959"));
}

TEST(DataFolder, FollowsXdgDataHomeWithTrailingSeparator)
{
    QTemporaryDir dir;
    const QByteArray previous = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir.path().toUtf8());
    EXPECT_EQ(dataFolder(), dir.path() + QStringLiteral("/Korvane Database Software/"));
    EXPECT_TRUE(ensureDataFolder());
    EXPECT_TRUE(QDir(dataFolder()).exists());
    qputenv("XDG_DATA_HOME", "relative/path");  // not absolute: the default is used
    EXPECT_EQ(dataFolder(), QDir::homePath() + QStringLiteral("/.local/share/Korvane Database Software/"));
    qputenv("XDG_DATA_HOME", previous);
}
