// What the run does with one table by mode, whether Oracle already has it, and tabledefonly:
// the lines it writes and whether the table was dropped, created and filled.
#include "test_run_fixture.h"

#include "db/error.h"

#include <QFile>

using namespace dovrelle;

namespace {

struct ModeCase {
    const char* name;
    int processtable;  // the entry of the radio group
    bool exists;
    bool tabledefonly;
    QStringList lines;      // the lines written for the table
    bool keepsOldTable;     // the existing table (with its extra column OLD) is still there
    qint64 rows;            // rows in T1 afterwards
};

const QString kDrop = QStringLiteral("Drop table T1...Done");
const QString kCreate = QStringLiteral("Create table T1...Done");
const QString kInsert = QStringLiteral("Insert table T1 2 Rows ...Done");
const QString kSkipStart = QStringLiteral("Skip table T1... ");
const QString kSkip = QStringLiteral("Skip table T1");

const ModeCase kModeCases[] = {
    {"OverwriteExisting", 0, true, false, {kDrop, "", kCreate, "", kInsert, ""}, false, 2},
    {"OverwriteExistingDefinitionOnly", 0, true, true, {kDrop, "", kCreate, ""}, false, 0},
    {"OverwriteNew", 0, false, false, {kCreate, "", kInsert, ""}, false, 2},
    {"OverwriteNewDefinitionOnly", 0, false, true, {kCreate, ""}, false, 0},
    {"MergeExisting", 1, true, false, {kInsert, ""}, true, 3},
    {"MergeExistingDefinitionOnly", 1, true, true, {}, true, 1},
    {"MergeNew", 1, false, false, {kCreate, "", kInsert, ""}, false, 2},
    {"MergeNewDefinitionOnly", 1, false, true, {kCreate, ""}, false, 0},
    {"SkipExisting", 2, true, false, {kSkipStart, "", kSkip, ""}, true, 1},
    {"SkipExistingDefinitionOnly", 2, true, true, {kSkipStart, ""}, true, 1},
    {"SkipNew", 2, false, false, {kCreate, "", kInsert, ""}, false, 2},
    {"SkipNewDefinitionOnly", 2, false, true, {kCreate, ""}, false, 0},
    {"UnknownModeActsAsMerge", 7, true, false, {kInsert, ""}, true, 3},
};

void PrintTo(const ModeCase& c, std::ostream* os)
{
    *os << c.name;
}

class RunModes : public runtest::RunFixture, public ::testing::WithParamInterface<ModeCase> {};

}  // namespace

TEST_P(RunModes, WritesTheLinesAndTouchesOracleAsTheModeSays)
{
    const ModeCase& c = GetParam();
    mysql.execute({"create table t1 (id int primary key, name varchar(20))",
                   "insert into t1 values (1, 'a'), (2, 'b')"});
    openConnections();
    if (c.exists) {
        oracleConnection.execute(
            QStringLiteral("create table \"T1\" (\"ID\" number, \"NAME\" varchar2(20), \"OLD\" number)"));
        oracleConnection.execute(QStringLiteral("insert into \"T1\" values (99, 'old', 1)"));
        oracleConnection.commit();
    }
    profile.processtable = existingTableActionAt(c.processtable);
    profile.tabledefonly = c.tabledefonly;
    profile.skipindex = true;
    profile.tables = {QStringLiteral("t1")};

    const RunResult result = run();

    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_EQ(tableLines(), c.lines);
    const QStringList columns = oracle.sql(QStringLiteral("select * from \"T1\" where 1=0")).value(0).split(u'\t');
    EXPECT_EQ(columns.contains(QStringLiteral("OLD")), c.keepsOldTable) << columns.join(u',').toStdString();
    EXPECT_EQ(oracleRowCount(QStringLiteral("T1")), c.rows);
    EXPECT_EQ(runStartedCount, 1);

    // The closing lines, and the log file holding everything but the last caption.
    const QStringList& lines = log.lines();
    ASSERT_GE(lines.size(), 5);
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("Start time:")));
    EXPECT_EQ(lines.mid(lines.size() - 4, 2),
              QStringList({hooks.completedCaption, hooks.successCaption}));
    EXPECT_TRUE(lines[lines.size() - 2].startsWith(QStringLiteral("The end time:")));
    EXPECT_EQ(lines.last(), hooks.finishCaption);
    QFile file(hooks.logFilePath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), (lines.mid(0, lines.size() - 1).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    EXPECT_EQ(result.logFile, hooks.logFilePath);
}

INSTANTIATE_TEST_SUITE_P(AllModes, RunModes, ::testing::ValuesIn(kModeCases),
                         [](const ::testing::TestParamInfo<ModeCase>& info) {
                             return std::string(info.param.name);
                         });
