#include "engine/conversion_run.h"

#include "engine/data_folder.h"
#include "engine/full_schema.h"
#include "engine/index_translation.h"
#include "engine/log_time.h"
#include "db/mysql_connection.h"
#include "engine/name_rules.h"
#include "db/oracle_catalog.h"
#include "db/oracle_connection.h"
#include "engine/row_copy.h"
#include "engine/run_log.h"
#include "engine/table_definition.h"

#include <QDateTime>

namespace dovrelle {

namespace {

// One run: the profile, the log, the host's connections and hooks, and what has gone wrong.
class Run {
public:
    Run(const ConversionProfile& profile, RunLog& log, RunHost& host)
        : profile_(profile), log_(log), host_(host), mode_(profile.processtable)
    {
    }

    RunResult execute();

private:
    void createFullSchemaTable(const QString& mysqlName, const QString& oracleName, const QString& line);
    void openDataConnection();
    bool stopSeen();
    void convertTable(const QString& mysqlName);
    void dropTable(const QString& oracleName);
    void createTable(const QString& mysqlName, const QString& oracleName);
    void copyRows(const QString& mysqlName, const QString& oracleName);
    void rejectName(const QString& oracleName, const QString& problem);
    void noteFailure(const QString& oracleName);
    void appendClosingLines();
    QString saveLog(const QDateTime& end);

    const ConversionProfile& profile_;
    RunLog& log_;
    RunHost& host_;
    const ExistingTableAction mode_;
    RunResult result_;
    std::unique_ptr<FullSchema> fullSchema_;  // set with "Keep full schema"
};

RunResult Run::execute()
{
    log_.append(QStringLiteral("Start time:") + logTimeText(QDateTime::currentDateTime()));
    // Both Oracle connections log on alike: a warning Oracle gave (a password about to expire)
    // is written once.
    if (host_.oracle.isOpen() && !host_.oracle.logonWarning().isEmpty())
        log_.append(host_.oracle.logonWarning());
    if (host_.runStarted)
        host_.runStarted();
    if (host_.clearStopRequest)
        host_.clearStopRequest();
    openDataConnection();
    if (profile_.fullschema)
        fullSchema_ = std::make_unique<FullSchema>(FullSchemaContext{
            host_.catalog, host_.oracle, log_, profile_.nameuppercase, profile_.blobtotext,
            host_.oracle.maxIdentifierBytes(), [this](const QString& oracleName) { noteFailure(oracleName); }});

    const QStringList tables = profile_.tables;
    for (const QString& mysqlName : tables) {
        if (stopSeen()) {
            result_.outcome = RunOutcome::Stopped;
            return result_;
        }
        convertTable(mysqlName);
    }
    if (fullSchema_)
        fullSchema_->afterAllTables();

    appendClosingLines();
    const QDateTime end = QDateTime::currentDateTime();
    log_.append(QStringLiteral("The end time:") + logTimeText(end));
    result_.logFile = saveLog(end);
    log_.append(host_.finishCaption);
    result_.outcome = result_.tablesWithErrors.isEmpty() ? RunOutcome::Completed
                                                         : RunOutcome::CompletedWithErrors;
    return result_;
}

void Run::openDataConnection()
{
    host_.data.close();
    host_.data.setParameters(dataConnectionParameters(profile_));
    host_.data.open();
}

// Lets pending events through; a stop request found then is acted on (and cleared).
bool Run::stopSeen()
{
    if (host_.letEventsThrough)
        host_.letEventsThrough();
    if (!host_.stopRequested || !host_.stopRequested())
        return false;
    if (host_.clearStopRequest)
        host_.clearStopRequest();
    return true;
}

void Run::convertTable(const QString& mysqlName)
{
    // MySQL statements name the table as the server listed it; only the Oracle name takes the
    // name case.
    const QString casedName = applyNameCase(mysqlName, profile_.nameuppercase);
    const auto exists = [this](const QString& name) {
        return tableExists(host_.oracle, name, profile_.oracleu);
    };
    const QString oracleName = oracleTableName(casedName, exists, host_.oracle.maxIdentifierBytes());
    const QString problem = oracleIdentifierProblem(oracleName, QStringLiteral("table"));
    if (!problem.isEmpty()) {
        rejectName(oracleName, problem);
        return;
    }

    const bool existed = exists(oracleName);
    if (existed && mode_ == ExistingTableAction::Overwrite)
        dropTable(oracleName);
    if (existed && mode_ == ExistingTableAction::Skip) {
        log_.append(QStringLiteral("Skip table ") + oracleName + QStringLiteral("... "));
        log_.append(QString());
    }
    if (!existed || mode_ == ExistingTableAction::Overwrite) {
        createTable(mysqlName, oracleName);
        if (!profile_.skipindex) {
            const StepResult indexes = createIndexes(host_.data, host_.oracleData, mysqlName,
                                                     oracleName, profile_.nameuppercase, log_);
            if (!indexes.ok)
                noteFailure(oracleName);
        }
    }
    const bool created = !existed || mode_ == ExistingTableAction::Overwrite;
    if (profile_.tabledefonly) {
        if (fullSchema_ && created)
            fullSchema_->afterRows(oracleName);
        return;
    }
    if (existed && mode_ == ExistingTableAction::Skip) {
        log_.append(QStringLiteral("Skip table ") + oracleName);
        log_.append(QString());
        return;
    }
    copyRows(mysqlName, oracleName);
    // Merge into an existing table changes nothing of its definition.
    if (fullSchema_ && created)
        fullSchema_->afterRows(oracleName);
}

void Run::dropTable(const QString& oracleName)
{
    const QString line = QStringLiteral("Drop table ") + oracleName + QStringLiteral("...");
    log_.append(line + u' ');
    // With foreign keys carried over, a table may be referenced by one of another table.
    const DropResult dropped = dovrelle::dropTable(host_.oracle, oracleName, profile_.fullschema);
    if (dropped.ok) {
        log_.replaceLast(line + QStringLiteral("Done"));
    } else {
        log_.append(dropped.error);
        noteFailure(oracleName);
    }
    log_.append(QString());
}

void Run::createTable(const QString& mysqlName, const QString& oracleName)
{
    const QString line = QStringLiteral("Create table ") + oracleName + QStringLiteral("...");
    log_.append(line + u' ');
    if (fullSchema_) {
        createFullSchemaTable(mysqlName, oracleName, line);
        return;
    }
    const TableDefinitionOptions options{profile_.nameuppercase, profile_.blobtotext,
                                         host_.oracle.maxIdentifierBytes()};
    const StepResult created = dovrelle::createTable(host_.oracle, host_.catalog, mysqlName,
                                                     oracleName, options,
                                                     &host_.lastTableDefinition);
    if (created.ok) {
        log_.replaceLast(line + QStringLiteral("Done"));
    } else {
        log_.append(created.error);
        noteFailure(oracleName);
    }
    log_.append(QString());
}

void Run::createFullSchemaTable(const QString& mysqlName, const QString& oracleName, const QString& line)
{
    QStringList notes;
    const StepResult created =
        fullSchema_->createTable(mysqlName, oracleName, &host_.lastTableDefinition, notes);
    if (created.ok) {
        log_.replaceLast(line + QStringLiteral("Done"));
    } else {
        log_.append(created.error);
        noteFailure(oracleName);
    }
    for (const QString& note : notes)
        log_.append(note);
    log_.append(QString());
}

void Run::copyRows(const QString& mysqlName, const QString& oracleName)
{
    log_.append(QStringLiteral("Insert table ") + oracleName + QStringLiteral("... "));
    CopyHooks hooks;
    hooks.letEventsThrough = [this] {
        if (host_.letEventsThrough)
            host_.letEventsThrough();
    };
    hooks.stopRequested = [this] { return host_.stopRequested && host_.stopRequested(); };
    const CopyResult copied =
        dovrelle::copyRows(host_.data, host_.insertBuffer, mysqlName, oracleName, log_, hooks);
    switch (copied.outcome) {
    case CopyResult::Outcome::Copied:
        if (!copied.columnFailures.isEmpty())
            noteFailure(oracleName);
        log_.replaceLast(log_.lastLine() + QStringLiteral("...Done"));
        break;
    case CopyResult::Outcome::Failed:
        log_.append(copied.error);
        noteFailure(oracleName);
        break;
    case CopyResult::Outcome::Stopped:
        // Logged like a failed copy; the stop request stays set for the table loop.
        log_.append(QStringLiteral("Operation aborted"));
        noteFailure(oracleName);
        break;
    }
    log_.append(QString());
}

// A table whose Oracle name cannot be an identifier is not touched in Oracle at all.
void Run::rejectName(const QString& oracleName, const QString& problem)
{
    log_.append(QStringLiteral("Create table ") + oracleName + QStringLiteral("... "));
    log_.append(problem);
    log_.append(QString());
    noteFailure(oracleName);
}

void Run::noteFailure(const QString& oracleName)
{
    if (!result_.tablesWithErrors.contains(oracleName))
        result_.tablesWithErrors.append(oracleName);
}

void Run::appendClosingLines()
{
    log_.append(host_.completedCaption);
    if (result_.tablesWithErrors.isEmpty()) {
        log_.append(host_.successCaption);
        return;
    }
    log_.append(QStringLiteral("Conversion finished with errors in %1 of %2 tables: %3")
                    .arg(result_.tablesWithErrors.size())
                    .arg(profile_.tables.size())
                    .arg(result_.tablesWithErrors.join(QStringLiteral(", "))));
}

QString Run::saveLog(const QDateTime& end)
{
    const QString path = host_.logFilePath.isEmpty()
                             ? dataFolder() + QStringLiteral("qelt_") + logFileStamp(end)
                                   + QStringLiteral(".log")
                             : host_.logFilePath;
    log_.saveToFile(path);
    return path;
}

}  // namespace

RunResult runConversion(const ConversionProfile& profile, RunLog& log, RunHost& host)
{
    return Run(profile, log, host).execute();
}

}  // namespace dovrelle
