#include "bench_headless.h"

#include "engine/name_rules.h"

#include "db/oracle_connection.h"

#include <QDir>
#include <QFile>

#include <stdexcept>

namespace bench {

namespace {

// A settings file as the wizard's shortcut dialog writes it: key=value, CR LF line ends.
QString writeSettingsFile(const QString& path, const MySqlServer& server, const QString& database,
                          const QStringList& tables, const OracleTarget& target)
{
    QList<QPair<QString, QString>> settings = {
        {"accessmode", "1"},          {"mysqldatabase", database},  {"port", server.port},
        {"mysqlu", server.user},      {"mysqlp", server.password},  {"host", server.host},
        {"oracleh", target.service},  {"oracleu", target.user},     {"oraclep", target.password},
        {"processtable", "0"},        {"character_set", "Default"}, {"tabledefonly", "0"},
        {"skipindex", "0"},           {"nameuppercase", "1"},       {"blobtotext", "0"},
        {"alltables", tables.isEmpty() ? "1" : "0"},
    };
    for (qsizetype i = 0; i < tables.size(); ++i)
        settings.append({QStringLiteral("tables%1").arg(i + 1), tables[i]});
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + path.toStdString());
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    for (const auto& [key, value] : settings)
        file.write((key + u'=' + value + QStringLiteral("\r\n")).toUtf8());
    return path;
}

}  // namespace

HeadlessFigures measureHeadlessRun(const BenchOptions& options, const MySqlServer& server,
                                   const QString& table, const OracleTarget& target)
{
    return measureProgramRun(options, server, options.database, {table}, target, RunMode::Headless);
}

HeadlessFigures measureProgramRun(const BenchOptions& options, const MySqlServer& server,
                                  const QString& database, const QStringList& tables,
                                  const OracleTarget& target, RunMode mode)
{
    const QString what = (mode == RunMode::Headless ? QStringLiteral("/headless-") : QStringLiteral("/wizard-"))
                         + (tables.isEmpty() ? database : tables.last());
    const QString base = options.workDir + what;
    const QString settings = writeSettingsFile(base + QStringLiteral(".qelt"), server, database,
                                               tables, target);
    // The program's remembered settings and runtime folder stay inside the work folder.
    QDir().mkpath(base + QStringLiteral("/config"));
    QDir().mkpath(base + QStringLiteral("/data"));
    QDir().mkpath(base + QStringLiteral("/runtime"));
    QFile::setPermissions(base + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    HeadlessFigures figures;
    QStringList environment = {QStringLiteral("XDG_CONFIG_HOME=") + base + QStringLiteral("/config"),
                               QStringLiteral("XDG_DATA_HOME=") + base + QStringLiteral("/data"),
                               QStringLiteral("XDG_RUNTIME_DIR=") + base + QStringLiteral("/runtime")};
    QStringList arguments = {settings};
    if (mode == RunMode::Headless)
        arguments.prepend(QStringLiteral("--headless"));
    else
        environment << QStringLiteral("QT_QPA_PLATFORM=offscreen");
    figures.process = runMeasured(options.dovrelleProgram, arguments, environment, base + QStringLiteral(".out"));
    if (figures.process.exitStatus != 0)
        throw std::runtime_error("dovrelle " + arguments.join(u' ').toStdString() + " ended with status "
                                 + std::to_string(figures.process.exitStatus) + "; see "
                                 + base.toStdString() + ".out");
    dovrelle::OracleConnection oracle;
    oracle.setParameters(target.parameters());
    oracle.open();
    const QString lastTable = tables.isEmpty() ? QString() : tables.last();
    if (!lastTable.isEmpty())
        figures.rows = oracle.queryInteger(QStringLiteral("select count(*) from \"")
                                           + dovrelle::applyNameCase(lastTable, true) + u'"');
    return figures;
}

}  // namespace bench
