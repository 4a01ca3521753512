#include "engine/conversion_run.h"
#include "engine/character_set_warning.h"

#include "engine/data_folder.h"
#include "engine/full_schema.h"
#include "engine/index_translation.h"
#include "engine/log_names.h"
#include "engine/log_time.h"
#include "engine/logged_step.h"
#include "engine/long_table_names.h"
#include "engine/name_rules.h"
#include "db/oracle_connection.h"
#include "engine/row_copy.h"
#include "engine/row_verification.h"
#include "engine/run_log.h"
#include "engine/run_report.h"
#include "engine/table_comment.h"
#include "engine/table_definition.h"

#include "db/error.h"
#include "db/mysql_connection.h"
#include "db/mysql_query.h"
#include "db/oracle_catalog.h"

#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <QElapsedTimer>

namespace dovrelle {

namespace {

// One run: the profile, the log, the host's connections and hooks, and what has gone wrong.
class Run {
public:
    Run(const ConversionProfile& profile, RunLog& log, RunHost& host)
        : profile_(profile), log_(log), host_(host), mode_(profile.processtable),
          steps_(log, {[this](const QString& shownTable) { noteFailure(shownTable); }, [this] { mysqlLost(); }})
    {
    }

    RunResult execute();

private:
    void convertTableSafely(const QString& mysqlName);
    void addKeysBetweenTables();
    void openDataConnection();
    void listMySqlTables();
    bool stopSeen();
    void convertTable(const QString& mysqlName);
    QString chooseOracleName(const QString& mysqlName, const QString& casedName);
    bool claimOracleName(const QString& mysqlName, const QString& oracleName);
    void dropTable(const QString& oracleName);
    void createTable(const QString& mysqlName, const QString& oracleName, bool recordName);
    void createIndexes(const QString& mysqlName, const QString& oracleName);
    void copyRows(const QString& mysqlName, const QString& oracleName, bool merging);
    void verifyRows(const RowVerificationRequest& request);
    CopyHooks copyHooks();
    void failBeforeCreating(const QString& shownTable, const QString& shownOracleName, const QString& problem);
    void logSkip(const QString& line);
    void noteFailure(const QString& shownName);
    bool mysqlLost();
    void endAfterLostConnection(const QStringList& notConverted);
    QString rowsKeptAfterStop(const QString& oracleName);
    void logTablesNotReached(const QStringList& tables);
    void startTableProgress(const QString& mysqlName);
    void reportProgress(qint64 rowsCopied);
    qint64 pausedMilliseconds() const;
    void appendClosingLines();
    void recordTable();
    TableRunRecord* recordOf(const QString& shownName);
    void writeReport(const QDateTime& end);
    QString saveLog(const QDateTime& end);

    const ConversionProfile& profile_;
    RunLog& log_;
    RunHost& host_;
    const ExistingTableAction mode_;
    StepRunner steps_;
    QString shownTableName_;  // of the table being converted: its Oracle name once it has one
    RunResult result_;
    std::unique_ptr<FullSchema> fullSchema_;  // set with "Keep full schema"
    QSet<QString> mysqlTables_;                // as MySQL lists them
    QHash<QString, QString> oracleNameOwners_;  // Oracle name -> the MySQL table it was made for
    // Progress for the host: the tables' estimated rows, the rows of the tables done, the clocks.
    QHash<QString, qint64> estimates_;
    RunProgress progress_;
    qint64 rowsOfTablesDone_ = 0;
    QElapsedTimer runClock_;
    QElapsedTimer tableClock_;
    // What the report shows of the current table, and when the run started.
    TableRunRecord record_;
    bool recordingTable_ = false;  // record_ is the table being converted
    QDateTime start_;
    qint64 pausedAtRunStart_ = 0;
    qint64 pausedAtTableStart_ = 0;
};

RunResult Run::execute()
{
    start_ = QDateTime::currentDateTime();
    log_.append(QStringLiteral("Start time:") + logTimeText(start_));
    // Both Oracle connections log on alike: a warning Oracle gave (a password about to expire)
    // is written once.
    if (host_.oracle.isOpen() && !host_.oracle.logonWarning().isEmpty())
        log_.append(host_.oracle.logonWarning());
    if (host_.oracle.isOpen()) {
        const QString warning = characterSetWarning(host_.oracle.databaseCharacterSet());
        if (!warning.isEmpty())
            log_.append(warning);
    }
    if (host_.runStarted)
        host_.runStarted();
    if (host_.clearStopRequest)
        host_.clearStopRequest();
    openDataConnection();
    if (profile_.fullschema)
        fullSchema_ = std::make_unique<FullSchema>(FullSchemaContext{
            host_.catalog, host_.oracle, log_, profile_.nameuppercase, profile_.blobtotext,
            host_.oracle.maxIdentifierBytes(), &steps_});
    listMySqlTables();
    runClock_.start();
    pausedAtRunStart_ = pausedMilliseconds();
    if (host_.progressChanged)
        estimates_ = estimatedRowCounts(host_.catalog);

    const QStringList tables = profile_.tables;
    for (qsizetype i = 0; i < tables.size(); ++i) {
        if (stopSeen()) {
            logTablesNotReached(tables.mid(i));
            result_.outcome = RunOutcome::Stopped;
            return result_;
        }
        startTableProgress(tables[i]);
        record_ = TableRunRecord{tables[i]};
        recordingTable_ = true;
        convertTableSafely(tables[i]);
        recordTable();
        recordingTable_ = false;
        rowsOfTablesDone_ += progress_.rowsCopied;
        if (result_.mysqlConnectionLost) {
            endAfterLostConnection(tables.mid(i + 1));
            break;
        }
    }
    if (host_.stopInLastTableEndsRun && !result_.mysqlConnectionLost && stopSeen()) {
        result_.outcome = RunOutcome::Stopped;
        return result_;
    }
    if (fullSchema_ && !result_.mysqlConnectionLost)
        addKeysBetweenTables();

    appendClosingLines();
    const QDateTime end = QDateTime::currentDateTime();
    log_.append(QStringLiteral("The end time:") + logTimeText(end));
    result_.logFile = saveLog(end);
    writeReport(end);
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

// The tables of the chosen database, as page 4 lists them (over the catalog connection), so a
// listed name the database lacks is reported instead of being touched in Oracle.
void Run::listMySqlTables()
{
    MySqlQuery listing(host_.catalog);
    listing.open(QStringLiteral("show tables"));
    for (; !listing.atEnd(); listing.next())
        mysqlTables_.insert(listing.textAt(0));
    listing.close();
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

// A failure no step expected (outside any step) fails the table as well, under the name the table
// has by then; the run goes on.
void Run::convertTableSafely(const QString& mysqlName)
{
    shownTableName_ = nameForLog(mysqlName);
    steps_.runWithoutHead(shownTableName_, [&](LoggedStep&) { convertTable(mysqlName); });
}

void Run::convertTable(const QString& mysqlName)
{
    if (!mysqlTables_.contains(mysqlName)) {
        steps_.runWithoutHead(nameForLog(mysqlName), [&](LoggedStep& step) {
            step.fail(tableNotFoundLine(mysqlName, profile_.mysqldatabase));
        });
        return;
    }
    // MySQL statements name the table as the server listed it; only the Oracle name takes the
    // name case.
    const QString casedName = applyNameCase(mysqlName, profile_.nameuppercase);
    const QString oracleName = chooseOracleName(mysqlName, casedName);
    shownTableName_ = nameForLog(oracleName);
    const QString problem = oracleIdentifierProblem(oracleName, QStringLiteral("table"));
    if (!problem.isEmpty()) {
        failBeforeCreating(nameForLog(oracleName), nameForLog(oracleName), nameForLog(problem));
        return;
    }
    if (!claimOracleName(mysqlName, oracleName))
        return;
    record_.oracleName = oracleName;

    const bool existed = tableExists(host_.oracle, oracleName, profile_.oracleu);
    if (existed && mode_ == ExistingTableAction::Overwrite) {
        if (fullSchema_)
            fullSchema_->beforeDrop(oracleName);
        dropTable(oracleName);
    }
    if (existed && mode_ == ExistingTableAction::Skip)
        logSkip(QStringLiteral("Skip table ") + nameForLog(oracleName) + QStringLiteral("... "));
    if (!existed || mode_ == ExistingTableAction::Overwrite) {
        createTable(mysqlName, oracleName,
                    needsLongNameSuffix(casedName, host_.oracle.maxIdentifierBytes()));
        if (result_.mysqlConnectionLost)
            return;
        if (!profile_.skipindex)
            createIndexes(mysqlName, oracleName);
        if (result_.mysqlConnectionLost)
            return;
    }
    const bool created = !existed || mode_ == ExistingTableAction::Overwrite;
    if (profile_.tabledefonly) {
        if (fullSchema_ && created)
            fullSchema_->afterRows(oracleName);
        return;
    }
    if (existed && mode_ == ExistingTableAction::Skip) {
        logSkip(QStringLiteral("Skip table ") + nameForLog(oracleName));
        return;
    }
    copyRows(mysqlName, oracleName, existed && mode_ == ExistingTableAction::Merge);
    // Merge into an existing table changes nothing of its definition.
    if (fullSchema_ && created)
        fullSchema_->afterRows(oracleName);
}

// The foreign keys and checks are steps of their tables; reading them from MySQL is not: a failure
// there (a lost connection) fails no table, and ends the run as after a table.
void Run::addKeysBetweenTables()
{
    const bool added = steps_.runWithoutHead({}, [this](LoggedStep&) { fullSchema_->afterAllTables(); });
    if (!added && result_.mysqlConnectionLost)
        endAfterLostConnection({});
}

// A table the run leaves as it is.
void Run::logSkip(const QString& line)
{
    log_.append(line);
    log_.append(QString());
}

// A long name takes the table an earlier run made for the same MySQL table (recorded in its
// comment); otherwise the first free suffix.
QString Run::chooseOracleName(const QString& mysqlName, const QString& casedName)
{
    const int maxBytes = host_.oracle.maxIdentifierBytes();
    if (needsLongNameSuffix(casedName, maxBytes)) {
        const QString recorded = recordedOracleTable(host_.oracle, casedName, mysqlName);
        if (!recorded.isEmpty())
            return recorded;
    }
    const auto exists = [this](const QString& name) {
        return tableExists(host_.oracle, name, profile_.oracleu);
    };
    return oracleTableName(casedName, exists, maxBytes);
}

// One Oracle name serves one MySQL table per run: a later table whose name became the same
// (by the upper case or the cut) would drop or fill the earlier one's table.
bool Run::claimOracleName(const QString& mysqlName, const QString& oracleName)
{
    const auto owner = oracleNameOwners_.constFind(oracleName);
    if (owner == oracleNameOwners_.cend()) {
        oracleNameOwners_.insert(oracleName, mysqlName);
        return true;
    }
    const QString problem =
        QStringLiteral("The MySQL tables %1 and %2 both become the Oracle table %3: %2 is not converted")
            .arg(nameForLog(owner.value()), nameForLog(mysqlName), nameForLog(oracleName));
    failBeforeCreating(nameForLog(mysqlName), nameForLog(oracleName), problem);
    return false;
}

void Run::dropTable(const QString& oracleName)
{
    const QString shownName = nameForLog(oracleName);
    // With foreign keys carried over, a table may be referenced by one of another table.
    steps_.run(shownName, QStringLiteral("Drop table ") + shownName + QStringLiteral("..."), [&](LoggedStep&) {
        dovrelle::dropTable(host_.oracle, oracleName, profile_.fullschema);
    });
}

void Run::createTable(const QString& mysqlName, const QString& oracleName, bool recordName)
{
    const QString shownName = nameForLog(oracleName);
    steps_.run(shownName, QStringLiteral("Create table ") + shownName + QStringLiteral("..."), [&](LoggedStep& step) {
        if (fullSchema_) {
            fullSchema_->createTable(mysqlName, oracleName, &host_.lastTableDefinition, step);
            return;
        }
        const TableDefinitionOptions options{profile_.nameuppercase, profile_.blobtotext,
                                             host_.oracle.maxIdentifierBytes()};
        dovrelle::createTable(host_.oracle, host_.catalog, mysqlName, oracleName, options, &host_.lastTableDefinition);
        // The record lets a later run find this table again instead of taking a new suffix.
        if (recordName)
            setOracleTableComment(host_.oracle, oracleName, oracleTableComment({}, mysqlName));
    });
}

void Run::createIndexes(const QString& mysqlName, const QString& oracleName)
{
    // The statements log their own failures; a listing that cannot be read is logged like one.
    steps_.runUnheaded(nameForLog(oracleName), [&](LoggedStep& step) {
        dovrelle::createIndexes(host_.data, host_.oracleData, mysqlName, oracleName, profile_.nameuppercase, step,
                                profile_.fullschema);
    });
}

void Run::copyRows(const QString& mysqlName, const QString& oracleName, bool merging)
{
    RowVerificationRequest verification;
    if (profile_.verifyrows)
        verification = prepareRowVerification(host_.oracle, mysqlName, oracleName, merging);
    const QString shownName = nameForLog(oracleName);
    CopyHooks hooks = copyHooks();
    hooks.rowsCopied = [this](qint64 rows) { reportProgress(rows); };
    bool copiedEveryRow = false;
    steps_.run(shownName, QStringLiteral("Insert table ") + shownName + QStringLiteral("..."), [&](LoggedStep& step) {
        const CopiedRows copied =
            dovrelle::copyRows(host_.data, host_.insertBuffer, mysqlName, oracleName, log_, hooks);
        if (copied.stopped) {
            // Logged like a failed copy; the stop request stays set for the table loop.
            step.fail(QStringLiteral("Operation aborted"));
            step.addNote(rowsKeptAfterStop(oracleName));
            return;
        }
        copiedEveryRow = true;
        verification.expectedNulls = copied.columnFailures.size();
        // The values that could not be copied have their lines; the table fails without another.
        if (!copied.columnFailures.isEmpty())
            step.failSilently();
        log_.replaceLast(log_.lastLine() + QStringLiteral("...Done"));
        step.keepHeadAsWritten();
    });
    if (profile_.verifyrows && copiedEveryRow)
        verifyRows(verification);
}

// What a stopped copy left behind: the rows committed at its last check point, counted over the
// other Oracle session, which sees only committed rows.
QString Run::rowsKeptAfterStop(const QString& oracleName)
{
    try {
        const qint64 rows = oracleRowCount(host_.oracleData, oracleName);
        return QStringLiteral("Table %1 is partial: it holds %2 rows in Oracle")
            .arg(nameForLog(oracleName), QLocale(QLocale::English).toString(rows));
    } catch (const Error& error) {
        return QStringLiteral("Table %1 is partial: its rows in Oracle could not be counted: %2")
            .arg(nameForLog(oracleName), error.message());
    }
}

void Run::logTablesNotReached(const QStringList& tables)
{
    if (tables.isEmpty())
        return;
    QStringList names;
    for (const QString& table : tables)
        names << nameForLog(table);
    log_.append(QStringLiteral("Tables not reached: ") + names.join(QStringLiteral(", ")));
}

CopyHooks Run::copyHooks()
{
    CopyHooks hooks;
    hooks.letEventsThrough = [this] {
        if (host_.letEventsThrough)
            host_.letEventsThrough();
    };
    hooks.letEventsThroughWhileWaiting = hooks.letEventsThrough;
    hooks.stopRequested = [this] { return host_.stopRequested && host_.stopRequested(); };
    return hooks;
}

// A stop during verification is logged like a stop during the copy and stays set for the table
// loop.
void Run::verifyRows(const RowVerificationRequest& request)
{
    const CopyHooks hooks = copyHooks();
    const QString shownName = nameForLog(request.oracleName);
    const bool verified =
        steps_.run(shownName, QStringLiteral("Verify table ") + shownName + QStringLiteral("..."),
                   [&](LoggedStep& step) { verifyCopiedRows(host_.data, host_.oracle, request, step, hooks); });
    record_.verification = verified ? QStringLiteral("verified") : QStringLiteral("differences found");
}

// The next table of the list begins: its number, name and estimate, and the estimates of the
// tables after it.
void Run::startTableProgress(const QString& mysqlName)
{
    tableClock_.start();
    pausedAtTableStart_ = pausedMilliseconds();
    progress_.rowsCopied = 0;
    if (!host_.progressChanged)
        return;
    ++progress_.tableNumber;
    progress_.tableCount = int(profile_.tables.size());
    progress_.tableName = mysqlName;
    progress_.estimatedRows = estimates_.value(mysqlName);
    progress_.estimatedRowsToCome = 0;
    for (qsizetype i = progress_.tableNumber; i < profile_.tables.size(); ++i)
        progress_.estimatedRowsToCome += estimates_.value(profile_.tables[i]);
    reportProgress(0);
}

qint64 Run::pausedMilliseconds() const
{
    return host_.pausedMilliseconds ? host_.pausedMilliseconds() : 0;
}

void Run::reportProgress(qint64 rowsCopied)
{
    progress_.rowsCopied = rowsCopied;
    if (!host_.progressChanged)
        return;
    progress_.rowsCopiedInRun = rowsOfTablesDone_ + rowsCopied;
    // Time the host held the run (a question open) is no time spent converting.
    const qint64 paused = pausedMilliseconds();
    progress_.tableMilliseconds = tableClock_.elapsed() - (paused - pausedAtTableStart_);
    progress_.runMilliseconds = runClock_.elapsed() - (paused - pausedAtRunStart_);
    host_.progressChanged(progress_);
}

// A table that is not touched in Oracle at all: its "Create table" step fails with `problem`.
void Run::failBeforeCreating(const QString& shownTable, const QString& shownOracleName, const QString& problem)
{
    steps_.run(shownTable, QStringLiteral("Create table ") + shownOracleName + QStringLiteral("..."),
               [&](LoggedStep& step) { step.fail(problem); });
}

// Every table with a failure in any step is listed once, also one whose failure came after all
// tables (its foreign keys, its checks).
void Run::noteFailure(const QString& shownName)
{
    // The line the failing step has just logged is the table's first error; a failure after all
    // tables (a foreign key, a check) goes to the record of the table it belongs to.
    TableRunRecord* record = recordingTable_ ? &record_ : recordOf(shownName);
    if (record && !record->failed) {
        record->failed = true;
        for (qsizetype i = log_.lineCount() - 1; i >= 0 && record->firstError.isEmpty(); --i)
            record->firstError = log_.lines().at(i).trimmed();
    }
    if (!result_.tablesWithErrors.contains(shownName))
        result_.tablesWithErrors.append(shownName);
}

// Asked after a step failed: a MySQL connection that no longer answers ends the table loop.
bool Run::mysqlLost()
{
    if (!result_.mysqlConnectionLost && (!host_.catalog.answers() || !host_.data.answers()))
        result_.mysqlConnectionLost = true;
    return result_.mysqlConnectionLost;
}

void Run::endAfterLostConnection(const QStringList& notConverted)
{
    log_.append(notConverted.isEmpty()
                    ? QStringLiteral("The MySQL connection was lost.")
                    : QStringLiteral("The MySQL connection was lost: the run ends before the "
                                     "remaining %1 tables.")
                          .arg(notConverted.size()));
    log_.append(QString());
    for (const QString& mysqlName : notConverted)
        result_.tablesWithErrors.append(nameForLog(mysqlName));
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

void Run::recordTable()
{
    record_.rows = progress_.rowsCopied;
    record_.milliseconds = tableClock_.elapsed();
    result_.tables.append(record_);
}

TableRunRecord* Run::recordOf(const QString& shownName)
{
    for (TableRunRecord& record : result_.tables) {
        if (nameForLog(record.oracleName) == shownName)
            return &record;
    }
    return nullptr;
}

// The report beside the log; a report that cannot be written leaves the run's result as it is.
void Run::writeReport(const QDateTime& end)
{
    const QString summary = result_.tablesWithErrors.isEmpty()
                                ? QStringLiteral("Completed: %1 tables converted").arg(profile_.tables.size())
                                : QStringLiteral("Completed with errors in %1 of %2 tables: %3")
                                      .arg(result_.tablesWithErrors.size())
                                      .arg(profile_.tables.size())
                                      .arg(result_.tablesWithErrors.join(QStringLiteral(", ")));
    const WrittenReport written = writeRunReport(result_.logFile, profile_, result_.tables, summary, start_, end);
    result_.reportFile = written.path;
    result_.reportError = written.error;
}

QString Run::saveLog(const QDateTime& end)
{
    return saveRunLog(log_, host_.logFilePath, end);
}

}  // namespace

RunResult runConversion(const ConversionProfile& profile, RunLog& log, RunHost& host)
{
    return Run(profile, log, host).execute();
}

QString saveRunLog(const RunLog& log, const QString& logFilePath, const QDateTime& end)
{
    const QString path = logFilePath.isEmpty()
                             ? dataFolder() + QStringLiteral("qelt_") + logFileStamp(end) + QStringLiteral(".log")
                             : logFilePath;
    log.saveToFile(path);
    return path;
}

}  // namespace dovrelle
