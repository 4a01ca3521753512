#pragma once

// A conversion job against the real MariaDB test server and an oraemu schema, with the log and
// the hooks as the wizard lends them.
#include "test_run_printing.h"
#include "engine/conversion_profile.h"
#include "engine/conversion_job.h"
#include "engine/run_log.h"

#include "db/oracle_connection.h"

#include "mysql_test_server.h"
#include "oraemu_test_db.h"
#include "scratch_profile.h"

#include <QTemporaryDir>

#include <memory>

#include <gtest/gtest.h>

namespace runtest {

class RunFixture : public ::testing::Test {
protected:
    RunFixture()
        : hooks{.letEventsThrough = [this] { onEvents(); },
                .stopRequested = [this] { return stop; },
                .clearStopRequest = [this] { stop = false; },
                .runStarted = [this] { ++runStartedCount; }}
    {
        profile = testsupport::scratchProfile(mysql, oracle);
        hooks.logFilePath = logDir.filePath(QStringLiteral("run.log"));
    }

    // Opens the test's own Oracle connection, to prepare or inspect the schema.
    void openConnections()
    {
        if (oracleConnection.isOpen())
            return;
        oracleConnection.setParameters(dovrelle::OracleConnection::standardParameters(
            oracle.service(), oracle.user(), oracle.password()));
        oracleConnection.open();
    }

    // A conversion job with the profile and hooks as they stand now.
    dovrelle::RunResult run()
    {
        job = std::make_unique<dovrelle::ConversionJob>(profile, hooks);
        return job->run(log);
    }

    // The lines between the start line and the closing captions.
    QStringList tableLines() const
    {
        const QStringList& lines = log.lines();
        qsizetype end = lines.indexOf(hooks.completedCaption);
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
        openConnections();
        return oracleConnection.queryInteger(QStringLiteral("select count(*) from \"%1\"").arg(table));
    }

    testsupport::ScratchMySqlDatabase mysql{QStringLiteral("t_run")};
    testsupport::ScratchOracleDatabase oracle;
    dovrelle::OracleConnection oracleConnection;
    dovrelle::RunLog log;
    dovrelle::ConversionProfile profile;
    bool stop = false;
    int runStartedCount = 0;
    std::function<void()> onEvents = [] {};
    QTemporaryDir logDir;
    dovrelle::RunHooks hooks;
    std::unique_ptr<dovrelle::ConversionJob> job;  // the job of the last run
};

}  // namespace runtest
