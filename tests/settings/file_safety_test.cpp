// Files the program writes and reads, against what a hostile or careless folder holds: a symbolic
// link where a file is written, a pipe, a device, a folder or a huge file where settings are read.
#include "db/error.h"
#include "engine/run_log.h"
#include "settings/file_text.h"
#include "settings/settings_file.h"
#include "settings/settings_paths.h"
#include "settings/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/types.h>

using namespace dovrelle;

namespace {

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

int fileMode(const QString& path)
{
    struct stat info = {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return int(info.st_mode & 0777);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// One way the program writes a file that holds secrets or run details: its path in `folder`,
// and how it writes "new content" there.
struct WriterCase {
    const char* name;
    std::function<QString(const QString& folder)> write;
};

void PrintTo(const WriterCase& c, std::ostream* out)
{
    *out << c.name;
}

class FileWriter : public testing::TestWithParam<WriterCase> {};

// A symbolic link at the path (planted to make the program overwrite another file with its
// passwords) is replaced by the new file; the link's target keeps its content.
TEST_P(FileWriter, ReplacesASymbolicLinkInsteadOfWritingItsTarget)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("precious.txt"));
    writeFile(target, "precious");
    const QString path = GetParam().write(dir.path());  // a first write shows where it goes
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::link(target, path));

    GetParam().write(dir.path());

    EXPECT_EQ(contentOf(target), QByteArray("precious"));
    EXPECT_FALSE(QFileInfo(path).isSymLink());
    EXPECT_TRUE(contentOf(path).contains("new content")) << contentOf(path).toStdString();
    EXPECT_EQ(fileMode(path), 0600);

    // A link to a folder is replaced all the same; the folder stays as it was.
    const QString folder = dir.filePath(QStringLiteral("a-folder"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::link(folder, path));
    GetParam().write(dir.path());
    EXPECT_FALSE(QFileInfo(path).isSymLink());
    EXPECT_TRUE(QDir(folder).isEmpty());
}

// A new file is readable by its owner only; an existing file readable by all is narrowed.
TEST_P(FileWriter, CreatesOwnerOnlyFilesAndNarrowsAnExistingOne)
{
    QTemporaryDir dir;
    const QString path = GetParam().write(dir.path());
    EXPECT_EQ(fileMode(path), 0600);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0644), 0);
    GetParam().write(dir.path());
    EXPECT_EQ(fileMode(path), 0600);
    // Nothing is left behind in the folder but the file itself.
    EXPECT_EQ(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{QFileInfo(path).fileName()});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileWriter,
    testing::Values(
        WriterCase{"settings_file",
                   [](const QString& folder) {
                       const QString path = folder + QStringLiteral("/nightly.qelt");
                       saveSettingsFile(path, {QStringLiteral("mysqlp=new content")});
                       return path;
                   }},
        WriterCase{"run_log",
                   [](const QString& folder) {
                       const QString path = folder + QStringLiteral("/nightly.log");
                       RunLog log;
                       log.append(QStringLiteral("new content"));
                       log.saveToFile(path);
                       return path;
                   }},
        WriterCase{"remembered_settings_store",
                   [](const QString& folder) {
                       qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder));
                       writeSettingsStore({{QStringLiteral("mysqlp"), QStringLiteral("new content")}});
                       qunsetenv("XDG_CONFIG_HOME");
                       return folder + QStringLiteral("/Korvane/Dovrelle.conf");
                   }}),
    [](const testing::TestParamInfo<WriterCase>& info) { return std::string(info.param.name); });

TEST(LogPath, ALogThatWouldReplaceTheSettingsFileIsRefused)
{
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("nightly.log"));
    EXPECT_EQ(logOverSettingsProblem(settings, logPathForSettings(settings)),
              QStringLiteral("The log of this run would be written over its settings file \"%1\": the run is "
                             "refused. Give the settings file another extension than \".log\", such as \".qelt\".")
                  .arg(settings));
    // The same file named two ways is the same file.
    EXPECT_FALSE(logOverSettingsProblem(settings, dir.path() + QStringLiteral("/./nightly.log")).isEmpty());
    for (const char* name : {"nightly.qelt", "nightly", "nightly.LOG.qelt"}) {
        const QString other = dir.filePath(QString::fromUtf8(name));
        EXPECT_EQ(logOverSettingsProblem(other, logPathForSettings(other)), QString()) << name;
    }
}

// What stands where a settings file is expected, and the reason the reader gives for it.
struct UnreadableCase {
    const char* name;
    std::function<QString(const QString& folder)> make;  // returns the path to read
    const char* reason;
};

void PrintTo(const UnreadableCase& c, std::ostream* out)
{
    *out << c.name;
}

class SettingsFileRefused : public testing::TestWithParam<UnreadableCase> {};

// Refused at once with the file and the cause named: reading must neither wait (a pipe with no
// writer) nor run out of memory (/dev/zero, a huge file).
TEST_P(SettingsFileRefused, NamesTheFileAndTheCauseWithoutWaiting)
{
    QTemporaryDir dir;
    const QString path = GetParam().make(dir.path());
    try {
        loadSettingsFile(path);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Cannot open file \"%1\". %2")
                                   .arg(QFileInfo(path).absoluteFilePath(), QString::fromUtf8(GetParam().reason)));
    }
}

const char notRegular[] = "It is not a regular file (a device, a pipe or a socket), so it is not read as settings";
const char tooLarge[] = "It is larger than a settings file may be (16777216 bytes)";

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsFileRefused,
    testing::Values(
        UnreadableCase{"pipe",
                       [](const QString& folder) {
                           const QString path = folder + QStringLiteral("/fifo.qelt");
                           EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
                           return path;
                       },
                       notRegular},
        UnreadableCase{"device", [](const QString&) { return QStringLiteral("/dev/zero"); }, notRegular},
        UnreadableCase{"link_to_device",
                       [](const QString& folder) {
                           const QString path = folder + QStringLiteral("/zero.qelt");
                           EXPECT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path));
                           return path;
                       },
                       notRegular},
        UnreadableCase{"folder",
                       [](const QString& folder) {
                           const QString path = folder + QStringLiteral("/job.qelt");
                           EXPECT_TRUE(QDir().mkpath(path));
                           return path;
                       },
                       "It is a folder, not a settings file"},
        UnreadableCase{"over_16_mb",
                       [](const QString& folder) {
                           const QString path = folder + QStringLiteral("/huge.qelt");
                           QFile file(path);
                           EXPECT_TRUE(file.open(QIODevice::WriteOnly));
                           EXPECT_TRUE(file.resize(largestSettingsFile + 1));  // sparse, quick
                           return path;
                       },
                       tooLarge}),
    [](const testing::TestParamInfo<UnreadableCase>& info) { return std::string(info.param.name); });

TEST(SettingsFileRefused, AFileOfExactly16MbIsStillRead)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.qelt"));
    QByteArray bytes("accessmode=1\r\nmysqlp=");
    bytes += QByteArray(largestSettingsFile - bytes.size() - 2, 'x');
    bytes += "\r\n";
    writeFile(path, bytes);
    const QStringList lines = loadSettingsFile(path);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(settingValue(lines, QStringLiteral("accessmode")), QStringLiteral("1"));
}

}  // namespace
