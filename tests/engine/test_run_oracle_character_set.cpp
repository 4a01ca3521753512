// A run against an Oracle database whose character set is not AL32UTF8: one warning line after the
// start line naming the set, and national columns of existing tables get their text whole.
#include "test_run_fixture.h"

#include <QProcess>

using namespace dovrelle;

namespace {

class RunOracleCharacterSet : public runtest::RunFixture {
protected:
    void setDatabaseCharacterSet(const QString& set)
    {
        QProcess tool;
        tool.start(testsupport::oraemuTool(), {"charset", oracle.service(), set});
        ASSERT_TRUE(tool.waitForFinished(30000));
        ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    }
};

TEST_F(RunOracleCharacterSet, AWarningLineNamesASetOtherThanAl32Utf8)
{
    mysql.execute({"create table w (id int)"});
    profile.tables = {QStringLiteral("w")};
    struct Case {
        const char* set;
        const char* warning;  // nullptr: no warning line
    };
    const Case cases[] = {
        {"AL32UTF8", nullptr},
        {"WE8MSWIN1252",
         "Warning: the Oracle database character set is WE8MSWIN1252, not AL32UTF8: characters that "
         "WE8MSWIN1252 lacks are replaced by a substitute character in CHAR, VARCHAR2 and CLOB columns "
         "(NCHAR, NVARCHAR2 and NCLOB columns keep them), and characters that WE8MSWIN1252 stores in "
         "more bytes than UTF-8 may make values too long for their columns"},
        {"UTF8",
         "Warning: the Oracle database character set is UTF8, not AL32UTF8: characters beyond U+FFFF "
         "(emoji and rare CJK characters) take 6 bytes instead of 4 and may make values too long for "
         "their columns"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.set);
        setDatabaseCharacterSet(QString::fromLatin1(c.set));
        log.clear();
        const RunResult result = run();
        EXPECT_EQ(result.outcome, RunOutcome::Completed) << log.lines().join(u'\n').toStdString();
        ASSERT_GE(log.lineCount(), 2);
        EXPECT_TRUE(log.lines()[0].startsWith("Start time:"));
        if (c.warning) {
            EXPECT_EQ(log.lines()[1], QString::fromUtf8(c.warning));
            EXPECT_EQ(log.lines().filter(QStringLiteral("character set")).size(), 1);
        } else {
            EXPECT_TRUE(log.lines().filter(QStringLiteral("character set")).isEmpty())
                << log.lines().join(u'\n').toStdString();
        }
    }
}

// Ω is not in Windows-1252 (€ and é are): the database replaces it in its own columns, while the
// national columns, bound in the national form, keep it.
TEST_F(RunOracleCharacterSet, MergeBindsNationalColumnsInTheNationalForm)
{
    const QString text = QString::fromUtf8("\u03A9\u20AC\u00E9");
    mysql.execute({"create table n (id int, v varchar(20), nv varchar(20), nc char(3), nl text) "
                   "character set utf8mb4",
                   QStringLiteral("insert into n values (1, '%1', '%1', '%1', '%1')").arg(text)});
    setDatabaseCharacterSet(QStringLiteral("WE8MSWIN1252"));
    oracle.sql(QStringLiteral("create table N (ID number, V varchar2(20 char), NV nvarchar2(20), "
                              "NC nchar(3), NL nclob)"));
    profile.tables = {QStringLiteral("n")};
    profile.processtable = ExistingTableAction::Merge;

    const RunResult result = run();

    ASSERT_EQ(result.outcome, RunOutcome::Completed) << log.lines().join(u'\n').toStdString();
    openConnections();
    const QList<QStringList> rows =
        oracleConnection.queryTexts(QStringLiteral("select V, NV, NC, NL from N"), 4);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0][0], QString::fromUtf8("\u00BF\u20AC\u00E9"));
    EXPECT_EQ(rows[0][1], text);
    EXPECT_EQ(rows[0][2], text);
    EXPECT_EQ(rows[0][3], text);
}

}  // namespace
