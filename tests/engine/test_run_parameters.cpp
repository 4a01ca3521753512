// The parameter list of the MySQL data connection, and the run opening it anew.
#include "test_run_fixture.h"

#include "db/mysql_connection.h"

#include <QProcess>

using namespace dovrelle;

TEST(DataConnectionParameters, CharacterSetLineOnlyForANamedSet)
{
    ConversionProfile profile;
    profile.mysqldatabase = QStringLiteral("shop");
    profile.mysqlu = QStringLiteral("anna");
    profile.mysqlp = QStringLiteral("p=w");
    profile.port = QStringLiteral("3307");
    profile.host = QStringLiteral("db.example");

    EXPECT_EQ(dataConnectionParameters(profile).lines(),
              QStringList({"Database=shop", "User_Name=anna", "Password=p=w", "Port=3307",
                           "HostName=localhost"}));
    profile.accessmode = 1;
    profile.character_set = QStringLiteral("utf8");
    EXPECT_EQ(dataConnectionParameters(profile).lines(),
              QStringList({"Database=shop", "User_Name=anna", "Password=p=w", "ServerCharSet=utf8",
                           "Port=3307", "HostName=db.example"}));
    for (const char* notNamed : {"", "utf8mb4", "default", "UTF8"}) {
        profile.character_set = QString::fromLatin1(notNamed);
        EXPECT_FALSE(dataConnectionParameters(profile).contains(QStringLiteral("ServerCharSet")))
            << notNamed;
    }
    // The catalog connection never gets a character set.
    profile.character_set = QStringLiteral("latin1");
    EXPECT_EQ(catalogConnectionParameters(profile, QStringLiteral("other")).lines(),
              QStringList({"Database=other", "User_Name=anna", "Password=p=w", "Port=3307",
                           "HostName=db.example"}));
}

namespace {

using RunDataConnection = runtest::RunFixture;

}  // namespace

TEST_F(RunDataConnection, EveryRunReopensItWithTheProfilesCharacterSet)
{
    mysql.execute({"create table t (id int)"});
    profile.tables = {QStringLiteral("t")};
    profile.skipindex = true;
    QString characterSet;
    QString database;
    onEvents = [&] {
        characterSet = job->dataConnection().characterSetName();
        database = job->dataConnection().parameters().value(QStringLiteral("Database"));
    };

    profile.character_set = QStringLiteral("latin1");
    ASSERT_EQ(run().outcome, RunOutcome::Completed);
    EXPECT_EQ(characterSet, QStringLiteral("latin1"));

    profile.character_set = QStringLiteral("utf8");
    ASSERT_EQ(run().outcome, RunOutcome::Completed);
    EXPECT_TRUE(characterSet.startsWith(QStringLiteral("utf8"))) << characterSet.toStdString();
    EXPECT_EQ(database, mysql.name());
    EXPECT_FALSE(job->dataConnection().isOpen()) << "the job closes its connections";
}

using RunLogon = runtest::RunFixture;

// Oracle logs on with a warning when the password is about to expire; the run writes it once,
// right after its start line, and goes on.
TEST_F(RunLogon, OraclesLogonWarningIsWrittenToTheLog)
{
    mysql.execute({"create table w (id int)", "insert into w values (1)"});
    profile.tables = {QStringLiteral("w")};
    QProcess tool;
    tool.start(testsupport::oraemuTool(), {"expire", oracle.service(), oracle.user(), "3"});
    ASSERT_TRUE(tool.waitForFinished(30000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();

    const RunResult result = run();

    EXPECT_EQ(result.outcome, RunOutcome::Completed) << log.lines().join(u'\n').toStdString();
    ASSERT_GE(log.lineCount(), 2);
    EXPECT_TRUE(log.lines()[0].startsWith("Start time:"));
    EXPECT_EQ(log.lines()[1], "ORA-28002: the password will expire within 3 days");
    EXPECT_EQ(log.lines().count("ORA-28002: the password will expire within 3 days"), 1);
}
