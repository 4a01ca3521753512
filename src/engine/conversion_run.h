#pragma once

#include "engine/conversion_profile.h"
#include "engine/run_progress.h"
#include "engine/run_record.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

namespace dovrelle {

class RunLog;
class MySqlConnection;
class OracleConnection;
class OracleInsertBuffer;

// What a front end (the wizard window, the headless run, a test) lends to a run: its hooks, the
// captions of the closing lines and the log path.
struct RunHooks {
    std::function<void()> letEventsThrough;  // deliver pending window events
    std::function<bool()> stopRequested;
    std::function<void()> clearStopRequest;
    std::function<void()> runStarted;  // the host shows the log page and turns Close into Stop
    // Where the run stands (see RunProgress); the log lines do not depend on it.
    std::function<void(const RunProgress&)> progressChanged;
    // How long, in all, the host has held the run up (a question it asked while the run waited);
    // the progress clocks leave that time out.
    std::function<qint64()> pausedMilliseconds;

    // Texts of Label29, Label30 and Label32 from the caption table in use.
    QString completedCaption = QStringLiteral("Conversion is Completed");
    QString successCaption =
        QStringLiteral("Wizard has migrated your MySQL database to Oracle server successfully.");
    QString finishCaption = QStringLiteral("Click 'Finish' to exit the wizard.");

    // Set by a host without a person watching (the headless run): a stop that the row copy of
    // the last table saw ends the run as a stop before a table does (no closing lines, no log
    // file), instead of letting it complete.
    bool stopInLastTableEndsRun = false;

    // Empty: the wizard's log file in dataFolder() named by the end time; else this path
    // (the unattended run's settings path with ".log").
    QString logFilePath{};
};

// The hooks plus the connections a run works on. Only the conversion job (conversion_job.h)
// builds one: it opens the connections from the settings values.
struct RunHost : RunHooks {
    MySqlConnection& catalog;       // open on the chosen database (field lists)
    MySqlConnection& data;          // (re)opened by the run
    OracleConnection& oracle;       // existence test, drop, create, inserts
    OracleConnection& oracleData;   // keys and indexes
    OracleInsertBuffer& insertBuffer;  // working on `oracle`

    // The text buffer of the table definition: the last CREATE TABLE text built, kept until the
    // next one replaces it.
    QString lastTableDefinition{};
};

enum class RunOutcome {
    Completed,            // every step of every table succeeded
    CompletedWithErrors,  // closing lines written; some table had a failed step
    Stopped,              // a stop ended the table loop: no closing lines, no log file
};

struct RunResult {
    RunOutcome outcome = RunOutcome::Completed;
    // One entry per listed table with an error, in list order: its Oracle name, or its MySQL
    // name when it never got an Oracle name of its own (not in the MySQL database, its Oracle
    // name taken by an earlier table of the run, left out after the MySQL connection was lost).
    QStringList tablesWithErrors;
    bool mysqlConnectionLost = false;  // the run ended early, with its closing lines
    QString logFile;               // the file written, if any
    QList<TableRunRecord> tables;  // what became of each table the run handled, in order
    QString reportFile;            // the HTML report written beside the log, if any
    QString reportError;           // why the report could not be written
};

// The conversion run (what Next on the table page starts). Every step of a table runs through one
// StepRunner (logged_step.h): a table that cannot be read (its field list, index list or rows),
// and any other failure inside its steps, fails that table and the run goes on; a lost MySQL
// connection ends the table loop, and the closing lines are still written. Failures before the
// first table (opening the data connection, listing the MySQL tables) and writing the log file
// throw Error and leave the log as it was at that moment.
RunResult runConversion(const ConversionProfile& profile, RunLog& log, RunHost& host);

// Saves the log where a run ending at `end` saves it: logFilePath, or when that is empty the
// data folder's "qelt_" file named by the end time. Returns the path; throws Error when the file
// cannot be written.
QString saveRunLog(const RunLog& log, const QString& logFilePath, const QDateTime& end);

}  // namespace dovrelle
