#include "db/error.h"
#include "db/oracle_connection.h"
#include "test_oracle_support.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace dovrelle;
using oracletest::OracleTest;
using oracletest::startsWith;

namespace {

QString logonError(const ParameterList& params)
{
    OracleConnection connection;
    connection.setParameters(params);
    try {
        connection.open();
    } catch (const Error& e) {
        EXPECT_FALSE(connection.isOpen());
        return e.message();
    }
    return QStringLiteral("(no error)");
}

}  // namespace

TEST(OracleConnection, StandardParametersAreTheTwelveDriverLines)
{
    const QStringList expected{
        "Database=/tmp/db.ora",
        "User_Name=scott",
        "Password=ti=ger",
        "DriverName=Oracle",
        "RowsetSize=20",
        "BlobSize=-1",
        "LocaleCode=0000",
        "ErrorResourceFile=",
        "Oracle TransIsolation=ReadCommited",
        "OS Authentication=False",
        "Multiple Transaction=False",
        "Trim Char=False",
    };
    EXPECT_EQ(OracleConnection::standardParameters("/tmp/db.ora", "scott", "ti=ger").lines(), expected);
}

TEST(OracleConnection, WrongPasswordGivesOraclesLogonMessage)
{
    testsupport::ScratchOracleDatabase db;
    EXPECT_EQ(logonError(OracleConnection::standardParameters(db.service(), db.user(), "wrong"))
                  .toStdString(),
              "ORA-01017: invalid username/password; logon denied");
}

TEST(OracleConnection, UnknownServiceGivesOraclesMessage)
{
    testsupport::ScratchOracleDatabase db;
    EXPECT_TRUE(startsWith(logonError(OracleConnection::standardParameters(
                               db.service() + ".missing", db.user(), db.password())),
                           "ORA-12154"));
}

TEST_F(OracleTest, OpenCloseAndReopen)
{
    EXPECT_TRUE(connection.isOpen());
    connection.close();
    connection.close();  // closing a closed connection does nothing
    EXPECT_FALSE(connection.isOpen());
    EXPECT_THROW(connection.execute("create table t (n number)"), Error);
    connection.open();
    EXPECT_TRUE(connection.isOpen());
}

TEST_F(OracleTest, OpeningAgainWithOtherValuesSwitchesTheDatabase)
{
    testsupport::ScratchOracleDatabase other(QStringLiteral("ADAMS"), QStringLiteral("wood"));
    other.sql("create table only_here (n number)");
    connection.setParameters(
        OracleConnection::standardParameters(other.service(), "adams", other.password()));
    connection.open();
    EXPECT_EQ(connection.queryInteger("select count(*) from only_here"), 0);
}

TEST_F(OracleTest, ExecuteFailsWithOraclesMessage)
{
    try {
        connection.execute("drop table \"NO_SUCH_TABLE\"");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_TRUE(startsWith(e.message(), "ORA-00942: table or view does not exist"));
    }
}

TEST_F(OracleTest, SessionUsesCharacterLengthsAndFixedDateAndNumberFormats)
{
    connection.execute("create table t (s varchar2(3), d date, ts timestamp(3), n number)");
    // Three characters of two bytes each fit a varchar2(3) only with character semantics; the
    // texts of the date, timestamp and number are read by the session's fixed formats.
    connection.execute(QStringLiteral("insert into t values ('\u00e4\u00f6\u00fc', "
                                      "'2024-02-29 13:14:15', '2024-02-29 13:14:15.250', '1234.5')"),
                       true);
    EXPECT_EQ(db.rows("select s, n from t"), QStringList{QStringLiteral("\u00e4\u00f6\u00fc\t1234.5")});
    EXPECT_EQ(connection.queryInteger(
                  "select count(*) from t where d = '2024-02-29 13:14:15' and ts = '2024-02-29 13:14:15.25'"),
              1);
}

TEST_F(OracleTest, QueryIntegerBindsItsTexts)
{
    connection.execute("create table t (s varchar2(20))");
    connection.execute("insert into t values ('it''s')", true);
    EXPECT_EQ(connection.queryInteger("select count(*) from t where s = :1", {"it's"}), 1);
    EXPECT_EQ(connection.queryInteger("select count(*) from t where s = :1", {"its"}), 0);
}

TEST_F(OracleTest, AutoCommitCommitAndRollback)
{
    connection.execute("create table t (n number)");
    connection.execute("insert into t values (1)", true);
    EXPECT_EQ(db.rows("select n from t"), QStringList{"1"});  // seen by another session

    connection.execute("insert into t values (2)");
    EXPECT_EQ(db.rows("select n from t"), QStringList{"1"});  // not committed yet
    connection.rollback();
    connection.execute("insert into t values (3)");
    connection.commit();
    EXPECT_EQ(db.rows("select n from t order by n"), (QStringList{"1", "3"}));
}

// A logon Oracle answers with a warning (ORA-28002) succeeds, and the warning is kept for the log.
TEST_F(OracleTest, APasswordAboutToExpireLogsOnAndKeepsOraclesWarning)
{
    EXPECT_TRUE(connection.logonWarning().isEmpty());
    QProcess tool;
    tool.start(testsupport::oraemuTool(), {"expire", db.service(), db.user(), "5"});
    ASSERT_TRUE(tool.waitForFinished(30000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();

    connection.open();
    EXPECT_TRUE(connection.isOpen());
    EXPECT_EQ(connection.logonWarning(), "ORA-28002: the password will expire within 5 days");
    EXPECT_EQ(connection.queryInteger("select count(*) from dual"), 1);
}

// The database character set is read at logon: AL32UTF8 for a new oraemu database, and whatever
// another database reports.
TEST_F(OracleTest, TheDatabaseCharacterSetIsReadAtLogon)
{
    EXPECT_EQ(connection.databaseCharacterSet(), "AL32UTF8");
    QProcess tool;
    tool.start(testsupport::oraemuTool(), {"charset", db.service(), "WE8ISO8859P1"});
    ASSERT_TRUE(tool.waitForFinished(30000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();

    EXPECT_EQ(connection.databaseCharacterSet(), "AL32UTF8") << "read once, at logon";
    connection.open();
    EXPECT_EQ(connection.databaseCharacterSet(), "WE8ISO8859P1");
}
