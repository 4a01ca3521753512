// Throughput and memory of a conversion: how much the engine adds to reading the source and
// writing the target, and whether its memory stays flat as the table grows. bench/run-bench
// starts the servers and calls this program.
#include "bench_options.h"
#include "bench_phases.h"
#include "bench_source.h"
#include "bench_target.h"

#include "db/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <cstdio>
#include <stdexcept>

using namespace bench;

namespace {

void say(const QString& text)
{
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

QString tableFor(qint64 rows)
{
    return QStringLiteral("bench_%1").arg(rows);
}

void prepare(const MySqlServer& server, const BenchOptions& options, qint64 rows)
{
    QElapsedTimer timer;
    timer.start();
    prepareSourceTable(server, options.database, tableFor(rows), rows);
    say(QStringLiteral("source table %1 ready (%2 s)")
            .arg(tableFor(rows))
            .arg(timer.elapsed() / 1000.0, 0, 'f', 1));
}

QString rateLine(const QString& label, const Timing& timing)
{
    return QStringLiteral("%1 %2 rows in %3 s = %4 rows/s (CPU %5 s)")
        .arg(label, -28)
        .arg(timing.rows)
        .arg(timing.seconds, 0, 'f', 2)
        .arg(timing.rowsPerSecond(), 0, 'f', 0)
        .arg(timing.cpuSeconds, 0, 'f', 2);
}

QString memoryLine(qint64 rows, const ConversionFigures& figures)
{
    return QStringLiteral("peak memory of (3), %1 rows: %2 MiB (ru_maxrss), VmHWM %3 MiB")
        .arg(rows, 9)
        .arg(figures.maxRssKb / 1024.0, 0, 'f', 1)
        .arg(figures.vmHwmKb / 1024.0, 0, 'f', 1);
}

int runBenchmark(const BenchOptions& options)
{
    const MySqlServer server = readServerEnv(options.serverEnv);
    QDir().mkpath(options.workDir);
    const qint64 n = options.rows;
    const qint64 bigN = n * options.memoryFactor;
    const QString table = tableFor(n);

    prepare(server, options, n);
    say(QStringLiteral("(1) source read ..."));
    const Timing read = measureSourceRead(server, options.database, table);
    say(QStringLiteral("(2) target write ..."));
    const OracleTarget writeTarget =
        createOracleTarget(options.oraemuTool, options.workDir + QStringLiteral("/write.db"));
    const Timing write = measureTargetWrite(server, options.database, table, writeTarget);
    say(QStringLiteral("(3) full conversion of %1 rows ...").arg(n));
    const OracleTarget convertTarget =
        createOracleTarget(options.oraemuTool, options.workDir + QStringLiteral("/convert-n.db"));
    const ConversionFigures conversion = measureConversionInChild(options, table, convertTarget);
    if (conversion.timing.rows != n)
        throw std::runtime_error("the conversion left the wrong number of rows in oraemu");

    prepare(server, options, bigN);
    say(QStringLiteral("(3) full conversion of %1 rows, for its memory ...").arg(bigN));
    const OracleTarget bigTarget =
        createOracleTarget(options.oraemuTool, options.workDir + QStringLiteral("/convert-kn.db"));
    const ConversionFigures bigConversion =
        measureConversionInChild(options, tableFor(bigN), bigTarget);
    if (bigConversion.timing.rows != bigN)
        throw std::runtime_error("the conversion left the wrong number of rows in oraemu");

    const double ratio = conversion.timing.seconds / (read.seconds + write.seconds);
    const double growth = 100.0 * (double(bigConversion.maxRssKb) / conversion.maxRssKb - 1.0);
    say(QString());
    say(rateLine(QStringLiteral("(1) source read:"), read));
    say(rateLine(QStringLiteral("(2) target write:"), write));
    say(rateLine(QStringLiteral("(3) full conversion:"), conversion.timing));
    say(QStringLiteral("ratio (3) / ((1) + (2)):     %1   (target at most 1.25)").arg(ratio, 0, 'f', 3));
    // The same ratio over this process's CPU time, which the machine's load hardly moves (the
    // MySQL server's own work is not in it).
    const double cpuRatio =
        conversion.timing.cpuSeconds / (read.cpuSeconds + write.cpuSeconds);
    say(QStringLiteral("same ratio of CPU time:      %1").arg(cpuRatio, 0, 'f', 3));
    say(memoryLine(n, conversion));
    say(memoryLine(bigN, bigConversion));
    say(QStringLiteral("peak memory growth from %1 to %2 rows: %3 %   (target at most 10 %)")
            .arg(n)
            .arg(bigN)
            .arg(growth, 0, 'f', 1));
    say(ratio <= 1.25 && growth <= 10.0 ? QStringLiteral("targets met")
                                        : QStringLiteral("targets NOT met"));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    try {
        const BenchOptions options = parseOptions(app.arguments());
        return options.conversionChild ? conversionChildMain(options) : runBenchmark(options);
    } catch (const dovrelle::Error& e) {
        std::fprintf(stderr, "dovrelle_bench: %s\n", e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "dovrelle_bench: %s\n", e.what());
    }
    return 1;
}
