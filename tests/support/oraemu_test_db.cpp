#include "oraemu_test_db.h"

#include "db/error.h"

#include <QProcess>

namespace testsupport {

namespace {

// Runs the oraemu tool; returns its standard output, or throws with its standard error.
QString runTool(const QStringList& arguments)
{
    QProcess process;
    process.start(oraemuTool(), arguments);
    if (!process.waitForFinished(120000))
        throw dovrelle::Error(QStringLiteral("oraemu did not finish: ") + process.errorString());
    const QString output = QString::fromUtf8(process.readAllStandardOutput());
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        QString message = QString::fromUtf8(process.readAllStandardError()).trimmed();
        if (message.isEmpty())
            message = QStringLiteral("oraemu %1 failed").arg(arguments.value(0));
        throw dovrelle::Error(message);
    }
    return output;
}

}  // namespace

QString oraemuTool()
{
    return QStringLiteral(DOVRELLE_BUILD_DIR "/bin/oraemu");
}

QString oraemuLibraryPath()
{
    return QStringLiteral(DOVRELLE_BUILD_DIR "/lib/liboraemu.so");
}

ScratchOracleDatabase::ScratchOracleDatabase(const QString& user, const QString& password)
    : service_(dir_.filePath(QStringLiteral("target.db"))), user_(user), password_(password)
{
    if (!dir_.isValid())
        throw dovrelle::Error(QStringLiteral("cannot make a temporary folder for an oraemu database"));
    runTool({QStringLiteral("create"), service_});
    runTool({QStringLiteral("user"), service_, user_, password_});
}

QStringList ScratchOracleDatabase::sql(const QString& statement) const
{
    QString output = runTool({QStringLiteral("sql"), service_, user_, password_, statement});
    if (output.endsWith(QLatin1Char('\n')))
        output.chop(1);
    if (output.isEmpty())
        return {};
    return output.split(QLatin1Char('\n'));
}

QStringList ScratchOracleDatabase::rows(const QString& query) const
{
    QStringList lines = sql(query);
    if (!lines.isEmpty())
        lines.removeFirst();
    return lines;
}

}  // namespace testsupport
