#pragma once

// A conversion run against the real MariaDB test server and an oraemu schema: the four
// connections, the insert buffer, the log and the host hooks, as the wizard lends them.
#include "test_run_printing.h"
#include "conversion_profile.h"
#include "conversion_run.h"
#include "run_log.h"

#include "mysql_connection.h"
#include "oracle_connection.h"
#include "oracle_insert_buffer.h"

#include "mysql_test_server.h"
#include "oraemu_test_db.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace runtest {

class RunFixture : public ::testing::Test {
protected:
    RunFixture()
        : host{.catalog = catalog,
               .data = data,
               .oracle = oracleConnection,
               .oracleData = oracleData,
               .insertBuffer = insertBuffer,
               .letEventsThrough = [this] { onEvents(); },
               .stopRequested = [this] { return stop; },
               .clearStopRequest = [this] { stop = false; },
               .runStarted = [this] { ++runStartedCount; }}
    {
        const testsupport::MySqlTestServer& server = testsupport::mysqlServer();
        profile.accessmode = 1;
        profile.host = server.host;
        profile.port = server.port;
        profile.mysqldatabase = mysql.name();
        profile.mysqlu = server.user;
        profile.mysqlp = server.password;
        profile.oracleh = oracle.service();
        profile.oracleu = oracle.user();
        profile.oraclep = oracle.password();
        host.logFilePath = logDir.filePath(QStringLiteral("run.log"));
    }

    // Opens the catalog connection on the database and both Oracle connections, as the wizard
    // pages do before the run.
    void openConnections()
    {
        catalog.setParameters(dovrelle::catalogConnectionParameters(profile, profile.mysqldatabase));
        catalog.open();
        const auto params = dovrelle::OracleConnection::standardParameters(
            oracle.service(), oracle.user(), oracle.password());
        oracleConnection.setParameters(params);
        oracleConnection.open();
        oracleData.setParameters(params);
        oracleData.open();
    }

    dovrelle::RunResult run()
    {
        if (!catalog.isOpen())
            openConnections();
        return dovrelle::runConversion(profile, log, host);
    }

    // The lines between the start line and the closing captions.
    QStringList tableLines() const
    {
        const QStringList& lines = log.lines();
        qsizetype end = lines.indexOf(host.completedCaption);
        if (end < 0)
            end = lines.size();
        return lines.mid(1, end - 1);
    }

    // Oracle tables of the schema, sorted.
    QStringList oracleTables() const
    {
        return oracle.rows(QStringLiteral("select table_name from user_tables order by table_name"));
    }

    qint64 oracleRowCount(const QString& table)
    {
        return oracleConnection.queryInteger(QStringLiteral("select count(*) from \"%1\"").arg(table));
    }

    testsupport::ScratchMySqlDatabase mysql{QStringLiteral("t_run")};
    testsupport::ScratchOracleDatabase oracle;
    dovrelle::MySqlConnection catalog;
    dovrelle::MySqlConnection data;
    dovrelle::OracleConnection oracleConnection;
    dovrelle::OracleConnection oracleData;
    dovrelle::OracleInsertBuffer insertBuffer{oracleConnection};
    dovrelle::RunLog log;
    dovrelle::ConversionProfile profile;
    bool stop = false;
    int runStartedCount = 0;
    std::function<void()> onEvents = [] {};
    QTemporaryDir logDir;
    dovrelle::RunHost host;
};

}  // namespace runtest
