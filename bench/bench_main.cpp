// Throughput and memory of a conversion: how much the engine adds to reading the source and
// writing the target, and whether its memory stays flat as the table grows. bench/run-bench
// starts the servers and calls this program.
#include "bench_check.h"
#include "bench_headless.h"
#include "bench_options.h"
#include "bench_peer.h"
#include "bench_phases.h"
#include "bench_source.h"
#include "bench_target.h"

#include "db/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <algorithm>
#include <optional>
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

QString memoryLine(const QString& label, qint64 rows, const ConversionFigures& figures)
{
    return QStringLiteral("peak memory of %1, %2 rows: %3 MiB (ru_maxrss), VmHWM %4 MiB")
        .arg(label)
        .arg(rows, 9)
        .arg(figures.maxRssKb / 1024.0, 0, 'f', 1)
        .arg(figures.vmHwmKb / 1024.0, 0, 'f', 1);
}

QString processLine(const QString& label, qint64 rows, const ProcessFigures& figures)
{
    return QStringLiteral("%1 %2 rows in %3 s = %4 rows/s (CPU %5 s), peak %6 MiB")
        .arg(label, -28)
        .arg(rows)
        .arg(figures.seconds, 0, 'f', 2)
        .arg(rows / figures.seconds, 0, 'f', 0)
        .arg(figures.cpuSeconds, 0, 'f', 2)
        .arg(figures.maxRssKb / 1024.0, 0, 'f', 1);
}

// Prints each target with its figure and remembers the ones missed.
class TargetList {
public:
    void check(const QString& what, double figure, char16_t direction, double limit)
    {
        const bool met = direction == u'<' ? figure <= limit : figure >= limit;
        say(QStringLiteral("%1 %2   (target %3 %4)%5")
                .arg(what + u':', -40)
                .arg(figure, 0, 'f', 3)
                .arg(direction == u'<' ? QStringLiteral("at most") : QStringLiteral("at least"))
                .arg(limit)
                .arg(met ? QString() : QStringLiteral("  NOT MET")));
        if (!met)
            missed_ << what;
    }
    bool allMet() const { return missed_.isEmpty(); }
    const QStringList& missed() const { return missed_; }

private:
    QStringList missed_;
};

// (5): the full conversion with "Verify copied rows" into a fresh target named `name`.
ConversionFigures measureVerifiedConversion(const BenchOptions& options, const QString& table,
                                            qint64 rows, const char* name)
{
    const OracleTarget target = createOracleTarget(
        options.oraemuTool, options.workDir + u'/' + QLatin1String(name) + QStringLiteral(".db"));
    const ConversionFigures figures = measureConversionInChild(options, table, target, true);
    if (figures.timing.rows != rows)
        throw std::runtime_error("the verified conversion left the wrong number of rows in oraemu");
    return figures;
}

// The LOB case: rows whose one value is a large blob, through the full conversion. The insert
// buffer sends what it holds once its bind data passes 32 MB, so peak memory should stay near
// that bound plus the largest value, however many such rows a batch holds.
struct LobCase {
    qint64 rows;
    qint64 bytesPerValue;
};
constexpr LobCase lobCases[] = {{2000, qint64(1) << 20}, {20, qint64(16) << 20}};
constexpr double lobPeakTargetMiB = 200;

void runLobCases(const BenchOptions& options, const MySqlServer& server, TargetList& targets)
{
    for (const LobCase& lob : lobCases) {
        const QString table = QStringLiteral("bench_lobs_%1x%2mb").arg(lob.rows).arg(lob.bytesPerValue >> 20);
        QElapsedTimer fill;
        fill.start();
        prepareLobTable(server, options.database, table, lob.rows, lob.bytesPerValue);
        say(QStringLiteral("source table %1 ready (%2 s)").arg(table).arg(fill.elapsed() / 1000.0, 0, 'f', 1));
        say(QStringLiteral("(L) full conversion of %1 rows of %2 MB blobs ...").arg(lob.rows).arg(lob.bytesPerValue >> 20));
        const QString targetPath = options.workDir + QStringLiteral("/") + table + QStringLiteral(".db");
        // Once as a plain copy, once with "Verify copied rows", which holds no LOB whole either.
        for (const bool verified : {false, true}) {
            const QString kind = verified ? QStringLiteral(" with verification") : QString();
            const OracleTarget target = createOracleTarget(options.oraemuTool, targetPath);
            const ConversionFigures figures = measureConversionInChild(options, table, target, verified);
            if (figures.timing.rows != lob.rows)
                throw std::runtime_error("the LOB conversion left the wrong number of rows in oraemu");
            for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
                QFile::remove(targetPath + suffix);  // gigabytes, not needed once measured
            const double mbPerSecond = figures.timing.rows * double(lob.bytesPerValue >> 20) / figures.timing.seconds;
            say(rateLine(QStringLiteral("(L) %1 x %2 MB blobs%3:").arg(lob.rows).arg(lob.bytesPerValue >> 20).arg(kind),
                         figures.timing)
                + QStringLiteral(", %1 MB/s").arg(mbPerSecond, 0, 'f', 1));
            targets.check(QStringLiteral("(L) peak memory, %1 x %2 MB blobs%3, MiB")
                              .arg(lob.rows)
                              .arg(lob.bytesPerValue >> 20)
                              .arg(kind),
                          figures.maxRssKb / 1024.0, u'<', lobPeakTargetMiB);
        }
    }
}

// (3s) and (Ps): the full conversion and pgloader on the application-shaped table, half the rows
// of the first one.
void runApplicationTable(const BenchOptions& options, const MySqlServer& server, TargetList& targets)
{
    const qint64 rows = std::max<qint64>(1, options.rows / 2);
    const QString table = QStringLiteral("bench_app_%1").arg(rows);
    QElapsedTimer fill;
    fill.start();
    prepareApplicationTable(server, options.database, table, rows);
    say(QStringLiteral("source table %1 ready (%2 s)").arg(table).arg(fill.elapsed() / 1000.0, 0, 'f', 1));
    say(QStringLiteral("(3s) full conversion of %1 rows of the application-shaped table ...").arg(rows));
    const OracleTarget target =
        createOracleTarget(options.oraemuTool, options.workDir + QStringLiteral("/convert-app.db"));
    const ConversionFigures conversion = measureConversionInChild(options, table, target);
    if (conversion.timing.rows != rows)
        throw std::runtime_error("the conversion of the application-shaped table left the wrong number of rows");
    std::optional<ProcessFigures> peer;
    if (!options.peerScript.isEmpty()) {
        say(QStringLiteral("(Ps) pgloader into PostgreSQL, %1 rows of the application-shaped table ...").arg(rows));
        peer = measurePeerLoad(options, table, rows);
    }
    say(rateLine(QStringLiteral("(3s) full conversion:"), conversion.timing)
        + QStringLiteral(", peak %1 MiB").arg(conversion.maxRssKb / 1024.0, 0, 'f', 1));
    if (peer) {
        say(processLine(QStringLiteral("(Ps) pgloader to PostgreSQL:"), rows, *peer));
        targets.check(QStringLiteral("(3s) / (Ps) rows/s"),
                      conversion.timing.rowsPerSecond() * peer->seconds / rows, u'>', 3.0);
    }
}

// (M): 200 tables of 2,000 rows, each with an index: `dovrelle --headless` against pgloader, each
// as a whole process.
constexpr int manyTables = 200;
constexpr qint64 manyTableRows = 2000;

void runManyTables(const BenchOptions& options, const MySqlServer& server, TargetList& targets)
{
    if (options.dovrelleProgram.isEmpty())
        return;
    const QString database = options.database + QStringLiteral("_many");
    QElapsedTimer fill;
    fill.start();
    const QStringList tables = prepareManyTables(server, database, manyTables, manyTableRows);
    say(QStringLiteral("database %1 ready, %2 tables of %3 rows (%4 s)")
            .arg(database)
            .arg(manyTables)
            .arg(manyTableRows)
            .arg(fill.elapsed() / 1000.0, 0, 'f', 1));
    say(QStringLiteral("(M) dovrelle --headless on %1 tables ...").arg(manyTables));
    const OracleTarget target =
        createOracleTarget(options.oraemuTool, options.workDir + QStringLiteral("/many.db"));
    const HeadlessFigures run =
        measureProgramRun(options, server, database, tables, target, RunMode::Headless);
    if (run.rows != manyTableRows)
        throw std::runtime_error("the run on many tables left the wrong number of rows");
    std::optional<ProcessFigures> peer;
    if (!options.peerScript.isEmpty()) {
        say(QStringLiteral("(MP) pgloader into PostgreSQL, %1 tables ...").arg(manyTables));
        peer = measurePeerDatabaseLoad(options, database, tables.last(), manyTableRows);
    }
    const qint64 totalRows = manyTables * manyTableRows;
    say(processLine(QStringLiteral("(M) dovrelle, %1 tables:").arg(manyTables), totalRows, run.process));
    if (peer) {
        say(processLine(QStringLiteral("(MP) pgloader, %1 tables:").arg(manyTables), totalRows, *peer));
        targets.check(QStringLiteral("(MP) / (M) time"), peer->seconds / run.process.seconds, u'>', 1.0);
    }
}

// (6): the wizard's unattended run on the benchmark table, less the second its timer waits,
// against (4).
HeadlessFigures measureWizardRun(const BenchOptions& options, const MySqlServer& server, const QString& table,
                                 qint64 rows)
{
    say(QStringLiteral("(6) the wizard's unattended run on %1 rows (offscreen) ...").arg(rows));
    const OracleTarget target =
        createOracleTarget(options.oraemuTool, options.workDir + QStringLiteral("/wizard-n.db"));
    HeadlessFigures wizard =
        measureProgramRun(options, server, options.database, {table}, target, RunMode::UnattendedWizard);
    if (wizard.rows != rows)
        throw std::runtime_error("the wizard's run left the wrong number of rows in oraemu");
    wizard.process.seconds -= unattendedTimerSeconds;
    return wizard;
}

void reportWizard(qint64 rows, const HeadlessFigures& headless, const HeadlessFigures& wizard, TargetList& targets)
{
    say(processLine(QStringLiteral("(4) dovrelle --headless:"), rows, headless.process));
    say(processLine(QStringLiteral("(6) wizard, less its timer:"), rows, wizard.process));
    targets.check(QStringLiteral("(6) / (4) time"), wizard.process.seconds / headless.process.seconds,
                  u'<', 1.15);
}

void runWizard(const BenchOptions& options, const MySqlServer& server, const QString& table,
               qint64 rows, const HeadlessFigures& headless, TargetList& targets)
{
    reportWizard(rows, headless, measureWizardRun(options, server, table, rows), targets);
}

// The table shapes and the wizard alone: (4), (6), (3s) with (Ps), (M) with (MP).
int runShapesOnly(const BenchOptions& options)
{
    const MySqlServer server = readServerEnv(options.serverEnv);
    QDir().mkpath(options.workDir);
    TargetList targets;
    if (!options.dovrelleProgram.isEmpty()) {
        const QString table = tableFor(options.rows);
        prepare(server, options, options.rows);
        say(QStringLiteral("(4) dovrelle --headless on %1 rows ...").arg(options.rows));
        const OracleTarget target = createOracleTarget(
            options.oraemuTool, options.workDir + QStringLiteral("/headless-n.db"));
        const HeadlessFigures headless = measureHeadlessRun(options, server, table, target);
        if (headless.rows != options.rows)
            throw std::runtime_error("the headless run left the wrong number of rows in oraemu");
        runWizard(options, server, table, options.rows, headless, targets);
    }
    runApplicationTable(options, server, targets);
    runManyTables(options, server, targets);
    say(targets.allMet() ? QStringLiteral("targets met")
                         : QStringLiteral("targets NOT met: ") + targets.missed().join(QStringLiteral(", ")));
    return 0;
}

int runLobsOnly(const BenchOptions& options)
{
    const MySqlServer server = readServerEnv(options.serverEnv);
    QDir().mkpath(options.workDir);
    TargetList targets;
    runLobCases(options, server, targets);
    say(targets.allMet() ? QStringLiteral("targets met")
                         : QStringLiteral("targets NOT met: ") + targets.missed().join(QStringLiteral(", ")));
    return 0;
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
    say(QStringLiteral("(5) conversion with verification of %1 rows ...").arg(n));
    const ConversionFigures verified = measureVerifiedConversion(options, table, n, "verify-n");
    say(QStringLiteral("(C) check before converting %1 rows ...").arg(n));
    const OracleTarget checkTarget =
        createOracleTarget(options.oraemuTool, options.workDir + QStringLiteral("/check-n.db"));
    const Timing check = measureCheck(options, server, table, checkTarget, n);

    // (4) and (6) before the larger table is read, whose scan would push this table out of MariaDB's
    // buffer pool, and before pgloader, after whose load PostgreSQL's autovacuum keeps working: they
    // would then pay for what (3) did not.
    std::optional<HeadlessFigures> headless;
    std::optional<HeadlessFigures> wizard;
    if (!options.dovrelleProgram.isEmpty()) {
        say(QStringLiteral("(4) dovrelle --headless on %1 rows ...").arg(n));
        const OracleTarget headlessTarget = createOracleTarget(
            options.oraemuTool, options.workDir + QStringLiteral("/headless-n.db"));
        headless = measureHeadlessRun(options, server, table, headlessTarget);
        if (headless->rows != n)
            throw std::runtime_error("the headless run left the wrong number of rows in oraemu");
        wizard = measureWizardRun(options, server, table, n);
    }
    prepare(server, options, bigN);
    say(QStringLiteral("(3) full conversion of %1 rows, for its memory ...").arg(bigN));
    const OracleTarget bigTarget =
        createOracleTarget(options.oraemuTool, options.workDir + QStringLiteral("/convert-kn.db"));
    const ConversionFigures bigConversion =
        measureConversionInChild(options, tableFor(bigN), bigTarget);
    if (bigConversion.timing.rows != bigN)
        throw std::runtime_error("the conversion left the wrong number of rows in oraemu");
    say(QStringLiteral("(5) conversion with verification of %1 rows, for its memory ...").arg(bigN));
    const ConversionFigures bigVerified =
        measureVerifiedConversion(options, tableFor(bigN), bigN, "verify-kn");

    std::optional<ProcessFigures> peer;
    if (!options.peerScript.isEmpty()) {
        say(QStringLiteral("(P) pgloader into PostgreSQL, %1 rows ...").arg(n));
        peer = measurePeerLoad(options, table, n);
    }

    const double ratio = conversion.timing.seconds / (read.seconds + write.seconds);
    const double growth = 100.0 * (double(bigConversion.maxRssKb) / conversion.maxRssKb - 1.0);
    const double verifiedGrowth = 100.0 * (double(bigVerified.maxRssKb) / verified.maxRssKb - 1.0);
    const double rate = conversion.timing.rowsPerSecond();
    say(QString());
    say(rateLine(QStringLiteral("(1) source read:"), read));
    say(rateLine(QStringLiteral("(2) target write:"), write));
    say(rateLine(QStringLiteral("(3) full conversion:"), conversion.timing)
        + QStringLiteral(", peak %1 MiB").arg(conversion.maxRssKb / 1024.0, 0, 'f', 1));
    if (headless)
        say(processLine(QStringLiteral("(4) dovrelle --headless:"), n, headless->process));
    say(rateLine(QStringLiteral("(5) conversion, verified:"), verified.timing)
        + QStringLiteral(", peak %1 MiB").arg(verified.maxRssKb / 1024.0, 0, 'f', 1));
    say(rateLine(QStringLiteral("(C) check before converting:"), check));
    if (peer)
        say(processLine(QStringLiteral("(P) pgloader to PostgreSQL:"), n, *peer));
    say(QString());

    TargetList targets;
    targets.check(QStringLiteral("(3) / ((1) + (2)) time"), ratio, u'<', 1.25);
    // The same ratio over this process's CPU time, which the machine's load hardly moves (the
    // MySQL server's own work is not in it).
    const double cpuRatio =
        conversion.timing.cpuSeconds / (read.cpuSeconds + write.cpuSeconds);
    say(QStringLiteral("same ratio of CPU time:      %1").arg(cpuRatio, 0, 'f', 3));
    targets.check(QStringLiteral("(3) / (1) rows/s"), rate / read.rowsPerSecond(), u'>', 0.6);
    if (peer)
        targets.check(QStringLiteral("(3) / pgloader rows/s"), rate * peer->seconds / n, u'>', 3.0);
    if (headless)
        targets.check(QStringLiteral("(4) / (3) time"),
                      headless->process.seconds / conversion.timing.seconds, u'<', 1.15);
    targets.check(QStringLiteral("(5) / (3) time"), verified.timing.seconds / conversion.timing.seconds,
                  u'<', 1.8);
    targets.check(QStringLiteral("(C) / (3) time"), check.seconds / conversion.timing.seconds, u'<', 0.5);
    say(memoryLine(QStringLiteral("(3)"), n, conversion));
    say(memoryLine(QStringLiteral("(3)"), bigN, bigConversion));
    targets.check(QStringLiteral("peak memory growth %1 to %2 rows, %").arg(n).arg(bigN), growth,
                  u'<', 10.0);
    say(memoryLine(QStringLiteral("(5)"), n, verified));
    say(memoryLine(QStringLiteral("(5)"), bigN, bigVerified));
    targets.check(QStringLiteral("(5) peak memory growth %1 to %2 rows, %").arg(n).arg(bigN),
                  verifiedGrowth, u'<', 10.0);
    if (headless)
        reportWizard(n, *headless, *wizard, targets);
    runApplicationTable(options, server, targets);
    runManyTables(options, server, targets);
    runLobCases(options, server, targets);
    say(targets.allMet() ? QStringLiteral("targets met")
                         : QStringLiteral("targets NOT met: ") + targets.missed().join(QStringLiteral(", ")));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    try {
        const BenchOptions options = parseOptions(app.arguments());
        if (options.conversionChild)
            return conversionChildMain(options);
        if (options.lobsOnly)
            return runLobsOnly(options);
        return options.shapesOnly ? runShapesOnly(options) : runBenchmark(options);
    } catch (const dovrelle::Error& e) {
        std::fprintf(stderr, "dovrelle_bench: %s\n", e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "dovrelle_bench: %s\n", e.what());
    }
    return 1;
}
