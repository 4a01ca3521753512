// The settings file: what the writer puts on disk, and what the reader makes of a file.
#include "db/error.h"
#include "settings/file_text.h"
#include "settings/settings_file.h"
#include "settings/settings_paths.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace dovrelle;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

int fileMode(const QString& path)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return int(info.st_mode & 0777);
}

ConversionProfile sampleContent()
{
    ConversionProfile c;
    c.accessmode = 1;
    c.mysqldatabase = QStringLiteral("shop");
    c.port = QStringLiteral("3307");
    c.mysqlu = QStringLiteral("ann");
    c.mysqlp = QStringLiteral("p=w d");
    c.host = QStringLiteral("db.example");
    c.oracleh = QStringLiteral("ORCL");
    c.oracleu = QStringLiteral("SCOTT");
    c.oraclep = QStringLiteral("tiger");
    c.processtable = ExistingTableAction::Skip;
    c.character_set = QStringLiteral("utf8");
    c.tabledefonly = true;
    c.skipindex = false;
    c.nameuppercase = true;
    c.blobtotext = true;
    c.verifyrows = true;
    c.tables = {QStringLiteral("orders"), QStringLiteral("customers"), QStringLiteral("items")};
    return c;
}

// The lines the shortcut dialog writes for a profile: the listed tables ("alltables" "0"), or
// all tables ("1").
QStringList writtenLines(const ConversionProfile& profile, const char* allTables = "0")
{
    SettingsValues values = valuesFromProfile(profile);
    values.insert("alltables", allTables);
    return settingsFileLines(values, profile.tables);
}

TEST(SettingsFileWriter, WritesKeysInOrderWithNumberedTableLines)
{
    const QStringList expected{
        "accessmode=1",    "mysqldatabase=shop", "port=3307",       "mysqlu=ann",
        "mysqlp=p=w d",    "host=db.example",    "oracleh=ORCL",    "oracleu=SCOTT",
        "oraclep=tiger",   "processtable=2",     "character_set=utf8", "tabledefonly=1",
        "skipindex=0",     "nameuppercase=1",    "blobtotext=1",    "fullschema=0",   "verifyrows=1",
        "alltables=0",
        "tables1=orders",  "tables2=customers",  "tables3=items",
    };
    EXPECT_EQ(writtenLines(sampleContent()), expected);
}

TEST(SettingsFileWriter, AllTablesWritesNoTableLinesAndAnEmptyListWritesNone)
{
    QStringList lines = writtenLines(sampleContent(), "1");
    EXPECT_EQ(lines.size(), 18);
    EXPECT_EQ(lines.last(), QStringLiteral("alltables=1"));

    ConversionProfile none = sampleContent();
    none.tables.clear();
    lines = writtenLines(none);
    EXPECT_EQ(lines.size(), 18);
    EXPECT_EQ(lines.last(), QStringLiteral("alltables=0"));
}

TEST(SettingsFileWriter, SavesCrLfLinesWithoutMarkReadableByOwnerOnly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("nightly.qelt"));
    ConversionProfile c = sampleContent();
    c.oraclep = QStringLiteral("Zoë€");
    {  // an existing file, readable by all, is overwritten and narrowed
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("stale content that is longer than nothing\n");
        old.close();
        old.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    }
    saveSettingsFile(path, writtenLines(c));

    const QByteArray bytes = readAll(path);
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(bytes.startsWith("accessmode=1\r\nmysqldatabase=shop\r\n"));
    EXPECT_TRUE(bytes.endsWith("tables3=items\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), 21);
    EXPECT_EQ(bytes.count('\n'), 21);
    EXPECT_TRUE(bytes.contains("oraclep=Zo\xC3\xAB\xE2\x82\xAC\r\n"));
    EXPECT_EQ(fileMode(path), 0600);
    EXPECT_EQ(loadSettingsFile(path), writtenLines(c));
}

TEST(SettingsFileWriter, FailsWithTheCreateErrorWhenTheFolderIsMissing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/nightly.qelt"));
    try {
        saveSettingsFile(path, {QStringLiteral("accessmode=0")});
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Cannot create file \"%1\". No such file or directory").arg(path));
    }
}

TEST(SettingsFileReader, FailsWithTheOpenErrorWhenTheFileIsMissing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("absent.qelt"));
    try {
        loadSettingsFile(path);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(path));
    }
}

struct DecodeCase {
    const char* name;
    QByteArray bytes;
    QStringList lines;
};

void PrintTo(const DecodeCase& c, std::ostream* out)
{
    *out << c.name;
}

class SettingsFileDecoding : public testing::TestWithParam<DecodeCase> {};

TEST_P(SettingsFileDecoding, ReadsMarksEncodingsAndLineBreaks)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.qelt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(GetParam().bytes);
    file.close();
    EXPECT_EQ(loadSettingsFile(path), GetParam().lines);
}

QByteArray utf16(const QString& text, bool littleEndian)
{
    QByteArray bytes = littleEndian ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
    for (QChar c : text) {
        const char hi = char(c.unicode() >> 8);
        const char lo = char(c.unicode() & 0xFF);
        bytes += littleEndian ? QByteArray{&lo, 1} + QByteArray{&hi, 1} : QByteArray{&hi, 1} + QByteArray{&lo, 1};
    }
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsFileDecoding,
    testing::Values(
        DecodeCase{"crlf", "a=1\r\nb=2\r\n", {"a=1", "b=2"}},
        DecodeCase{"mixed_breaks", "a=1\rb=2\nc=3", {"a=1", "b=2", "c=3"}},
        DecodeCase{"inner_empty_line", "a=1\r\n\r\nb=2\r\n", {"a=1", "", "b=2"}},
        DecodeCase{"utf8_mark", "\xEF\xBB\xBFmysqlp=Zo\xC3\xAB\r\n", {QStringLiteral("mysqlp=Zoë")}},
        DecodeCase{"utf8_no_mark", "mysqlp=Zo\xC3\xAB\r\n", {QStringLiteral("mysqlp=Zoë")}},
        DecodeCase{"windows1252_no_mark", "mysqlp=Zo\xEB\x80\r\n", {QStringLiteral("mysqlp=Zoë€")}},
        DecodeCase{"utf16le_mark", utf16(QStringLiteral("port=3307\r\nmysqlp=Zoë€\r\n"), true),
                   {QStringLiteral("port=3307"), QStringLiteral("mysqlp=Zoë€")}},
        DecodeCase{"utf16be_mark", utf16(QStringLiteral("port=3307\nx"), false),
                   {QStringLiteral("port=3307"), QStringLiteral("x")}}),
    [](const testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

TEST(SettingsValue, FirstMatchingLineWinsKeysIgnoreCaseValuesKeepBlanks)
{
    const QStringList lines{"no equals sign", "PORT= 3307", "port=3308", "mysqlp=a=b=c", "host="};
    EXPECT_EQ(settingValue(lines, QStringLiteral("port")), QStringLiteral(" 3307"));
    EXPECT_EQ(settingValue(lines, QStringLiteral("mysqlp")), QStringLiteral("a=b=c"));
    EXPECT_EQ(settingValue(lines, QStringLiteral("host")), QString());
    EXPECT_EQ(settingValue(lines, QStringLiteral("no equals sign")), QString());
    EXPECT_EQ(settingValue(lines, QStringLiteral("oracleu")), QString());
}

TEST(SettingsTables, PrefixCountsTrimmedNamesInFileOrder)
{
    const QStringList lines{"tables2=b", "Tables1=upper", "tables7= orders\t", "tables=plain",
                            "tablesx=other", "tables9=", "tables3", "alltables=1", "tables1=b"};
    EXPECT_EQ(settingsTableNames(lines),
              (QStringList{"b", "orders", "plain", "other", "b"}));
}

TEST(SettingsTables, OnlyTheExactValueOneChoosesAllTables)
{
    EXPECT_TRUE(settingsChooseAllTables({"alltables=1"}));
    EXPECT_TRUE(settingsChooseAllTables({"ALLTABLES=1", "alltables=0"}));
    EXPECT_FALSE(settingsChooseAllTables({"alltables= 1"}));
    EXPECT_FALSE(settingsChooseAllTables({"alltables=yes"}));
    EXPECT_FALSE(settingsChooseAllTables({"alltables=0", "alltables=1"}));
    EXPECT_FALSE(settingsChooseAllTables({}));
}

struct PathCase {
    const char* path;
    const char* log;
};

void PrintTo(const PathCase& c, std::ostream* out)
{
    *out << c.path;
}

class LogPath : public testing::TestWithParam<PathCase> {};

TEST_P(LogPath, ReplacesOrAppendsTheExtension)
{
    EXPECT_EQ(logPathForSettings(QString::fromUtf8(GetParam().path)), QString::fromUtf8(GetParam().log));
}

INSTANTIATE_TEST_SUITE_P(Cases, LogPath,
                         testing::Values(PathCase{"/jobs/nightly.qelt", "/jobs/nightly.log"},
                                         PathCase{"/jobs/nightly", "/jobs/nightly.log"},
                                         PathCase{"/jobs/night.ly.qelt", "/jobs/night.ly.log"},
                                         PathCase{"/jo.bs/nightly", "/jo.bs/nightly.log"},
                                         PathCase{"/jobs/.nightly", "/jobs/.nightly.log"},
                                         PathCase{"nightly.qelt", "nightly.log"}));

TEST(ShortcutPaths, SettingsAndLogSitBesideTheShortcut)
{
    EXPECT_EQ(settingsPathForShortcut(QStringLiteral("/jobs/nightly.desktop")), QStringLiteral("/jobs/nightly.qelt"));
    EXPECT_EQ(logPathForShortcut(QStringLiteral("/jobs/nightly.desktop")), QStringLiteral("/jobs/nightly.log"));
}

}  // namespace
