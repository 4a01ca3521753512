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

}  // namespace bench
