#include "bench_target.h"

#include "db/oracle_connection.h"

#include <QFile>
#include <QProcess>

#include <stdexcept>

namespace bench {

namespace {

void runTool(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(tool, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        throw std::runtime_error((tool + u' ' + arguments.join(u' ') + QStringLiteral(" failed: ")
                                  + QString::fromUtf8(process.readAll()) + process.errorString())
                                     .toStdString());
}

}  // namespace

dovrelle::ParameterList OracleTarget::parameters() const
{
    return dovrelle::OracleConnection::standardParameters(service, user, password);
}

OracleTarget createOracleTarget(const QString& oraemuTool, const QString& path)
{
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"),
                                  QStringLiteral("-journal")})
        QFile::remove(path + suffix);
    OracleTarget target;
    target.service = path;
    runTool(oraemuTool, {QStringLiteral("create"), path});
    runTool(oraemuTool, {QStringLiteral("user"), path, target.user, target.password});
    return target;
}

}  // namespace bench
