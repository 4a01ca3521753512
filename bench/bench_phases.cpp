#include "bench_phases.h"
#include "bench_process.h"
#include "bench_profile.h"

#include "engine/conversion_profile.h"
#include "engine/conversion_job.h"
#include "engine/index_translation.h"
#include "engine/logged_step.h"
#include "engine/name_rules.h"
#include "engine/run_log.h"
#include "engine/table_definition.h"

#include "db/error.h"
#include "db/mysql_connection.h"
#include "db/mysql_query.h"
#include "db/oracle_connection.h"
#include "db/oracle_insert_buffer.h"
#include "db/value.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>

#include <stdexcept>
#include <vector>

extern char** environ;

namespace bench {

namespace {

constexpr int kWriteBatch = 5000;

QString selectAll(const QString& table)
{
    return QStringLiteral("select * from ") + dovrelle::mysqlQuotedName(table);
}

QString oracleNameOf(const QString& table)
{
    return dovrelle::applyNameCase(table, true);
}

// Rows of the current position of `query`, up to `count`, as values.
std::vector<std::vector<dovrelle::Value>> readBatch(dovrelle::MySqlQuery& query, int count)
{
    std::vector<std::vector<dovrelle::Value>> rows;
    rows.reserve(count);
    const int columns = query.fieldCount();
    for (; !query.atEnd() && int(rows.size()) < count; query.next()) {
        std::vector<dovrelle::Value> row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c)
            row.push_back(query.valueAt(c));
        rows.push_back(std::move(row));
    }
    return rows;
}

void applyOrThrow(dovrelle::OracleInsertBuffer& buffer)
{
    try {
        buffer.applyUpdates();
    } catch (const dovrelle::Error& e) {
        throw std::runtime_error(std::string("apply failed: ") + e.what());
    }
}

double cpuSecondsOfThisProcess()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

qint64 wallNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

long vmHwmKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

}  // namespace

void Stopwatch::start()
{
    cpuStart_ = cpuSecondsOfThisProcess();
    wallStartNs_ = wallNs();
}

void Stopwatch::stop(Timing& timing) const
{
    timing.seconds += (wallNs() - wallStartNs_) / 1e9;
    timing.cpuSeconds += cpuSecondsOfThisProcess() - cpuStart_;
}

Timing measureSourceRead(const MySqlServer& server, const QString& database, const QString& table)
{
    settleDisk();
    dovrelle::MySqlConnection connection;
    connection.setParameters(mysqlParameters(server, database));
    connection.open();
    dovrelle::MySqlQuery query(connection);

    Timing timing;
    Stopwatch stopwatch;
    stopwatch.start();
    query.open(selectAll(table));
    const int columns = query.fieldCount();
    qint64 nulls = 0;  // keeps the reads from being optimised away
    for (; !query.atEnd(); query.next()) {
        for (int c = 0; c < columns; ++c)
            nulls += query.valueAt(c).isNull();
        ++timing.rows;
    }
    query.close();
    stopwatch.stop(timing);
    if (nulls == 0 && timing.rows > 100)
        throw std::runtime_error("the source table holds no NULL values; was it filled?");
    return timing;
}

Timing measureTargetWrite(const MySqlServer& server, const QString& database, const QString& table,
                          const OracleTarget& target)
{
    settleDisk();
    dovrelle::MySqlConnection catalog;
    catalog.setParameters(mysqlParameters(server, database));
    catalog.open();
    dovrelle::MySqlConnection data;
    data.setParameters(mysqlParameters(server, database));
    data.open();
    dovrelle::OracleConnection oracle;
    oracle.setParameters(target.parameters());
    oracle.open();

    const QString oracleName = oracleNameOf(table);
    dovrelle::createTable(oracle, catalog, table, oracleName, dovrelle::TableDefinitionOptions{});
    dovrelle::RunLog log;
    dovrelle::LoggedStep indexing(log, -1);
    dovrelle::createIndexes(data, oracle, table, oracleName, true, indexing);
    if (indexing.failed())
        throw std::runtime_error("keys and indexes failed: " + log.lines().join(u'\n').toStdString());

    dovrelle::OracleInsertBuffer buffer(oracle);
    buffer.setCommandText(QStringLiteral("select * from \"") + oracleName
                          + QStringLiteral("\" where 1=0"));
    buffer.open();
    dovrelle::MySqlQuery query(data);
    query.open(selectAll(table));
    std::vector<int> targetColumn;
    for (int c = 0; c < query.fieldCount(); ++c)
        targetColumn.push_back(buffer.columnIndex(dovrelle::cutToOracleLength(query.fieldName(c))));

    Timing timing;
    Stopwatch stopwatch;
    while (!query.atEnd()) {
        const auto rows = readBatch(query, kWriteBatch);
        stopwatch.start();
        for (const auto& row : rows) {
            buffer.append();
            for (size_t c = 0; c < row.size(); ++c)
                buffer.setValue(targetColumn[c], row[c]);
            buffer.post();
        }
        applyOrThrow(buffer);
        buffer.close();
        buffer.open();
        stopwatch.stop(timing);
        timing.rows += qint64(rows.size());
    }
    // The stand-in builds the table's non-unique index when the session that made it logs off:
    // part of writing the table, as in the full conversion.
    stopwatch.start();
    buffer.close();
    oracle.close();
    stopwatch.stop(timing);
    return timing;
}

ConversionFigures measureConversionInChild(const BenchOptions& options, const QString& table,
                                           const OracleTarget& target, bool verifyRows)
{
    const QString resultFile = options.workDir + QStringLiteral("/conversion-") + table
                               + (verifyRows ? QStringLiteral("-verified") : QString())
                               + QStringLiteral(".result");
    QFile::remove(resultFile);
    QStringList arguments = {
        QCoreApplication::applicationFilePath(), QStringLiteral("--conversion-child"),
        QStringLiteral("--server-env"), options.serverEnv,
        QStringLiteral("--oraemu-tool"), options.oraemuTool,
        QStringLiteral("--work"), options.workDir,
        QStringLiteral("--database"), options.database,
        QStringLiteral("--table"), table,
        QStringLiteral("--service"), target.service,
        QStringLiteral("--result"), resultFile,
    };
    if (verifyRows)
        arguments << QStringLiteral("--verify-rows");
    std::vector<QByteArray> bytes;
    for (const QString& argument : arguments)
        bytes.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot start the conversion child process");
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("the conversion of " + table.toStdString() + " failed (see above)");

    QFile file(resultFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw std::runtime_error("the conversion child wrote no result");
    const QStringList fields = QString::fromUtf8(file.readAll()).split(u' ');
    ConversionFigures figures;
    figures.timing.seconds = fields.value(0).toDouble();
    figures.timing.rows = fields.value(1).toLongLong();
    figures.vmHwmKb = fields.value(2).toLong();
    figures.timing.cpuSeconds = fields.value(3).toDouble();
    figures.maxRssKb = usage.ru_maxrss;
    return figures;
}

int conversionChildMain(const BenchOptions& options)
{
    const MySqlServer server = readServerEnv(options.serverEnv);
    OracleTarget target;
    target.service = options.oracleService;
    dovrelle::ConversionProfile profile = tableProfile(server, options.database, target, options.table);
    profile.processtable = dovrelle::ExistingTableAction::Overwrite;
    profile.verifyrows = options.verifyRows;

    dovrelle::RunHooks hooks;
    hooks.logFilePath = options.workDir + QStringLiteral("/conversion-") + options.table
                        + (options.verifyRows ? QStringLiteral("-verified") : QString())
                        + QStringLiteral(".log");
    dovrelle::ConversionJob job(profile, hooks);

    dovrelle::RunLog log;
    Timing timing;
    Stopwatch stopwatch;
    stopwatch.start();
    const dovrelle::RunResult result = job.run(log);
    stopwatch.stop(timing);

    dovrelle::OracleConnection oracle;
    oracle.setParameters(target.parameters());
    oracle.open();
    const qint64 rows = oracle.queryInteger(QStringLiteral("select count(*) from \"")
                                            + oracleNameOf(options.table) + u'"');
    if (result.outcome != dovrelle::RunOutcome::Completed) {
        QTextStream(stderr) << "The conversion logged errors:\n" << log.lines().join(u'\n') << '\n';
        return 1;
    }
    const QString verified = QStringLiteral("Verify table %1 %2 Rows ...Done")
                                 .arg(oracleNameOf(options.table))
                                 .arg(rows);
    if (options.verifyRows && !log.lines().contains(verified)) {
        QTextStream(stderr) << "The conversion did not verify its rows:\n"
                            << log.lines().join(u'\n') << '\n';
        return 1;
    }
    QFile file(options.resultFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    file.write(QStringLiteral("%1 %2 %3 %4")
                   .arg(timing.seconds, 0, 'f', 3)
                   .arg(rows)
                   .arg(vmHwmKb())
                   .arg(timing.cpuSeconds, 0, 'f', 3)
                   .toUtf8());
    return 0;
}

}  // namespace bench
