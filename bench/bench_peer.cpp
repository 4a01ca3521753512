#include "bench_peer.h"

#include <stdexcept>

namespace bench {

ProcessFigures measurePeerLoad(const BenchOptions& options, const QString& table, qint64 rows)
{
    const ProcessFigures figures =
        runMeasured(options.peerScript, {QStringLiteral("load"), table});
    if (figures.exitStatus != 0)
        throw std::runtime_error("pgloader failed on " + table.toStdString()
                                 + "; its log is in the peer's folder");
    const ProcessFigures check = runMeasured(
        options.peerScript, {QStringLiteral("check"), table, QString::number(rows)});
    if (check.exitStatus != 0)
        throw std::runtime_error("pgloader left the wrong number of rows of " + table.toStdString());
    return figures;
}

ProcessFigures measurePeerDatabaseLoad(const BenchOptions& options, const QString& database,
                                       const QString& lastTable, qint64 rows)
{
    const ProcessFigures figures =
        runMeasured(options.peerScript, {QStringLiteral("load-database"), database});
    if (figures.exitStatus != 0)
        throw std::runtime_error("pgloader failed on database " + database.toStdString()
                                 + "; its log is in the peer's folder");
    const ProcessFigures check = runMeasured(
        options.peerScript, {QStringLiteral("check"), lastTable, QString::number(rows), database});
    if (check.exitStatus != 0)
        throw std::runtime_error("pgloader left the wrong number of rows of " + lastTable.toStdString());
    return figures;
}

}  // namespace bench
