#pragma once

#include "engine/conversion_profile.h"
#include "engine/conversion_run.h"

#include <memory>

namespace dovrelle {

class MySqlConnection;
class OracleConnection;
class OracleInsertBuffer;
class RunLog;

// One conversion as every front end starts it (the wizard, the headless run, the tests, the
// benchmark). Built from the settings values, it opens the MySQL catalog connection and both
// Oracle connections itself, runs the conversion (which opens the MySQL data connection) and
// closes all four when the run is over, whichever way it ends.
class ConversionJob {
public:
    explicit ConversionJob(ConversionProfile profile, RunHooks hooks = {});
    ~ConversionJob();
    ConversionJob(const ConversionJob&) = delete;
    ConversionJob& operator=(const ConversionJob&) = delete;

    // Opens the connections, runs, closes them. Throws Error for a connection that cannot be
    // opened (before the run's first log line) and for every failure the run itself throws.
    RunResult run(RunLog& log);

    const ConversionProfile& profile() const { return profile_; }
    // The last CREATE TABLE text of the last run.
    const QString& lastTableDefinition() const { return lastTableDefinition_; }
    // The MySQL data connection; open only while a run goes on (the hooks may look at it).
    const MySqlConnection& dataConnection() const { return *data_; }

private:
    void openConnections();
    void closeConnections();

    ConversionProfile profile_;
    RunHooks hooks_;
    std::unique_ptr<MySqlConnection> catalog_;
    std::unique_ptr<MySqlConnection> data_;
    std::unique_ptr<OracleConnection> oracle_;
    std::unique_ptr<OracleConnection> oracleData_;
    std::unique_ptr<OracleInsertBuffer> insertBuffer_;
    QString lastTableDefinition_;
};

}  // namespace dovrelle
