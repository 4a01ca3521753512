// Merge into an existing table whose columns are TIMESTAMP WITH TIME ZONE and WITH LOCAL TIME ZONE:
// MySQL datetime and timestamp values are bound as text, which the session's time-zone format
// reads, and they read back as the same text.
#include "test_run_fixture.h"

using namespace dovrelle;

namespace {

using RunTimeZoneColumns = runtest::RunFixture;

TEST_F(RunTimeZoneColumns, MergeIntoTimeZoneColumnsKeepsTheValues)
{
    mysql.execute({"create table ev (id int, d datetime(6), t timestamp(6) null, d0 datetime)",
                   "insert into ev values (1, '2024-03-01 12:34:56.123456', '2024-03-01 12:34:56.654321', "
                   "'2024-03-01 12:00:00')",
                   "insert into ev values (2, '1999-12-31 23:59:59.000001', '2038-01-19 03:14:07.999999', "
                   "'1000-01-01 00:00:00')",
                   "insert into ev values (3, null, null, null)"});
    oracle.sql(QStringLiteral("create table EV (ID number, D timestamp(6) with time zone, "
                              "T timestamp(6) with local time zone, D0 timestamp with time zone)"));
    profile.tables = {QStringLiteral("ev")};
    profile.processtable = ExistingTableAction::Merge;

    const RunResult result = run();

    ASSERT_EQ(result.outcome, RunOutcome::Completed) << log.lines().join(u'\n').toStdString();
    EXPECT_EQ(log.lines().filter(QStringLiteral("ORA-")), QStringList());
    openConnections();
    const QList<QStringList> rows =
        oracleConnection.queryTexts(QStringLiteral("select D, T, D0 from EV order by ID"), 3);
    const QList<QStringList> expected = {
        {"2024-03-01 12:34:56.123456", "2024-03-01 12:34:56.654321", "2024-03-01 12:00:00.000000"},
        {"1999-12-31 23:59:59.000001", "2038-01-19 03:14:07.999999", "1000-01-01 00:00:00.000000"},
        {"", "", ""},
    };
    EXPECT_EQ(rows, expected);
}

}  // namespace
