#include "bench_options.h"

#include <stdexcept>

namespace bench {

namespace {

qint64 positiveNumber(const QString& option, const QString& text)
{
    bool ok = false;
    const qint64 number = text.toLongLong(&ok);
    if (!ok || number <= 0)
        throw std::runtime_error((option + QStringLiteral(" needs a positive number, not \"") + text
                                  + QStringLiteral("\"\n") + usageText())
                                     .toStdString());
    return number;
}

}  // namespace

QString usageText()
{
    return QStringLiteral(
        "usage: dovrelle_bench --server-env FILE --oraemu-tool PATH --work DIR [--rows N]\n"
        "                      [--memory-factor K] [--database NAME] [--dovrelle PATH]\n"
        "                      [--peer-script PATH] [--lobs-only] [--shapes-only]\n"
        "  --server-env     server.env of a MariaDB started by tests/support/mariadb-fixture\n"
        "  --oraemu-tool    the oraemu tool of the build (build/bin/oraemu)\n"
        "  --work           a folder for the oraemu databases and run logs\n"
        "  --rows           N, rows of the measured table (default 1000000)\n"
        "  --memory-factor  peak memory is compared between N and K*N rows (default 4)\n"
        "  --dovrelle       the dovrelle program: (4) times `dovrelle --headless` on N rows\n"
        "  --lobs-only      only the LOB case: 2000 rows of 1 MB blobs and 20 of 16 MB\n"
        "  --shapes-only    only (4) and (6) the wizard, (3s) the application-shaped table of\n"
        "                   N/2 rows and (M) 200 tables of 2000 rows, with their peers\n"
        "  --peer-script    bench/peer-pgloader with its PostgreSQL cluster running: pgloader\n"
        "                   copies the N-row table too, for comparison\n"
        "The OCI library is the one DOVRELLE_OCI_LIBRARY names (build/lib/liboraemu.so).\n");
}

BenchOptions parseOptions(const QStringList& arguments)
{
    BenchOptions options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString option = arguments[i];
        auto value = [&]() -> QString {
            if (i + 1 >= arguments.size())
                throw std::runtime_error((option + QStringLiteral(" needs a value\n") + usageText())
                                             .toStdString());
            return arguments[++i];
        };
        if (option == QLatin1String("--rows"))
            options.rows = positiveNumber(option, value());
        else if (option == QLatin1String("--memory-factor"))
            options.memoryFactor = int(positiveNumber(option, value()));
        else if (option == QLatin1String("--server-env"))
            options.serverEnv = value();
        else if (option == QLatin1String("--oraemu-tool"))
            options.oraemuTool = value();
        else if (option == QLatin1String("--work"))
            options.workDir = value();
        else if (option == QLatin1String("--dovrelle"))
            options.dovrelleProgram = value();
        else if (option == QLatin1String("--peer-script"))
            options.peerScript = value();
        else if (option == QLatin1String("--lobs-only"))
            options.lobsOnly = true;
        else if (option == QLatin1String("--shapes-only"))
            options.shapesOnly = true;
        else if (option == QLatin1String("--database"))
            options.database = value();
        else if (option == QLatin1String("--conversion-child"))
            options.conversionChild = true;
        else if (option == QLatin1String("--verify-rows"))
            options.verifyRows = true;
        else if (option == QLatin1String("--table"))
            options.table = value();
        else if (option == QLatin1String("--service"))
            options.oracleService = value();
        else if (option == QLatin1String("--result"))
            options.resultFile = value();
        else
            throw std::runtime_error(
                (QStringLiteral("unknown option ") + option + u'\n' + usageText()).toStdString());
    }
    if (options.serverEnv.isEmpty() || options.oraemuTool.isEmpty() || options.workDir.isEmpty())
        throw std::runtime_error(usageText().toStdString());
    return options;
}

}  // namespace bench
