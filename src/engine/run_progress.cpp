#include "engine/run_progress.h"

#include "db/error.h"
#include "db/mysql_query.h"

#include <QLocale>

#include <algorithm>

namespace dovrelle {

namespace {

// A table's rate says little before a couple of seconds or a few batches have gone by: the first
// hundred rows come from buffers and give a time left far off the mark.
constexpr qint64 kRateKnownAfterMilliseconds = 2000;
constexpr qint64 kRateKnownAfterRows = 10100;

bool tableRateKnown(const RunProgress& p)
{
    return p.tableMilliseconds >= kRateKnownAfterMilliseconds || p.rowsCopied >= kRateKnownAfterRows;
}

bool runRateKnown(const RunProgress& p)
{
    return p.runMilliseconds >= kRateKnownAfterMilliseconds || p.rowsCopiedInRun >= kRateKnownAfterRows;
}

QString count(qint64 n)
{
    return QLocale(QLocale::English).toString(n);
}

// "m:ss", or "h:mm:ss" from an hour on; "?" for an unknown time.
QString duration(std::optional<qint64> milliseconds)
{
    if (!milliseconds)
        return QStringLiteral("?");
    const qint64 s = (*milliseconds + 500) / 1000;
    const QLatin1Char zero('0');
    if (s < 3600)
        return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, zero);
    return QStringLiteral("%1:%2:%3").arg(s / 3600).arg((s / 60) % 60, 2, 10, zero).arg(s % 60, 2, 10, zero);
}

bool chinese(const QString& language)
{
    return language == u"cn";
}

// "120,500 of about 180,545 rows", or the plain count without a usable estimate.
QString rowsText(const RunProgress& p, const QString& language)
{
    const bool estimateHolds = p.estimatedRows > 0 && p.rowsCopied <= p.estimatedRows;
    if (chinese(language))
        return estimateHolds ? QStringLiteral("%1 行, 约共 %2 行").arg(count(p.rowsCopied), count(p.estimatedRows))
                             : QStringLiteral("%1 行").arg(count(p.rowsCopied));
    if (estimateHolds)
        return QStringLiteral("%1 of about %2 rows").arg(count(p.rowsCopied), count(p.estimatedRows));
    return QStringLiteral("%1 rows").arg(count(p.rowsCopied));
}

QString rateText(const RunProgress& p, const QString& language)
{
    const QString rate = count(qRound64(tableRowsPerSecond(p)));
    return chinese(language) ? QStringLiteral("%1 行/秒").arg(rate) : QStringLiteral("%1 rows/s").arg(rate);
}

}  // namespace

QHash<QString, qint64> estimatedRowCounts(MySqlConnection& catalog)
{
    QHash<QString, qint64> estimates;
    try {
        MySqlQuery query(catalog);
        query.open(QStringLiteral("select table_name, table_rows from information_schema.tables "
                                  "where table_schema = database() and table_rows is not null"));
        for (; !query.atEnd(); query.next())
            estimates.insert(query.textAt(0), query.intAt(1));
    } catch (const Error&) {
        estimates.clear();
    }
    return estimates;
}

double tableRowsPerSecond(const RunProgress& p)
{
    if (p.tableMilliseconds <= 0)
        return 0;
    return p.rowsCopied * 1000.0 / p.tableMilliseconds;
}

std::optional<qint64> tableMillisecondsLeft(const RunProgress& p)
{
    const double rate = tableRowsPerSecond(p);
    if (p.estimatedRows <= 0 || p.rowsCopied > p.estimatedRows || rate <= 0 || !tableRateKnown(p))
        return std::nullopt;
    return qRound64((p.estimatedRows - p.rowsCopied) * 1000.0 / rate);
}

std::optional<qint64> runMillisecondsLeft(const RunProgress& p)
{
    qint64 tableLeft = 0;
    if (p.estimatedRows > p.rowsCopied) {
        const std::optional<qint64> left = tableMillisecondsLeft(p);
        if (!left)
            return std::nullopt;
        tableLeft = *left;
    }
    if (p.estimatedRowsToCome == 0)
        return tableLeft;
    if (p.rowsCopiedInRun <= 0 || p.runMilliseconds <= 0 || !runRateKnown(p))
        return std::nullopt;
    // The run's own rate holds the time that creating tables and indexes takes too.
    const double runRate = p.rowsCopiedInRun * 1000.0 / p.runMilliseconds;
    return tableLeft + qRound64(p.estimatedRowsToCome * 1000.0 / runRate);
}

int runPercentDone(const RunProgress& p)
{
    const qint64 tableRows = std::max(p.estimatedRows, p.rowsCopied);
    const qint64 rowsBefore = p.rowsCopiedInRun - p.rowsCopied;
    const qint64 total = rowsBefore + tableRows + p.estimatedRowsToCome;
    if (total > 0)
        return int(std::clamp<qint64>(p.rowsCopiedInRun * 100 / total, 0, 100));
    if (p.tableCount > 0)
        return (p.tableNumber - 1) * 100 / p.tableCount;
    return 0;
}

QStringList progressLines(const RunProgress& p, const QString& language)
{
    const QString tableTime = duration(p.tableMilliseconds);
    const QString tableLeft = duration(tableMillisecondsLeft(p));
    const QString runTime = duration(p.runMilliseconds);
    const QString runLeft = duration(runMillisecondsLeft(p));
    if (chinese(language))
        return {QStringLiteral("第 %1 个表, 共 %2 个: %3").arg(p.tableNumber).arg(p.tableCount).arg(p.tableName),
                rowsText(p, language), rateText(p, language),
                QStringLiteral("本表 %1, 剩余 %2").arg(tableTime, tableLeft),
                QStringLiteral("全部 %1, 剩余 %2").arg(runTime, runLeft)};
    return {QStringLiteral("Table %1 of %2: %3").arg(p.tableNumber).arg(p.tableCount).arg(p.tableName),
            rowsText(p, language), rateText(p, language),
            QStringLiteral("Table %1, %2 left").arg(tableTime, tableLeft),
            QStringLiteral("Run %1, %2 left").arg(runTime, runLeft)};
}

QString progressLine(const RunProgress& p, const QString& language)
{
    const QString number = QString::number(p.tableNumber);
    const QString tables = QString::number(p.tableCount);
    if (chinese(language))
        return QStringLiteral("第 %1/%2 个表 %3: %4, %5, 本表 %6 (剩余 %7), 全部 %8 (剩余 %9)")
            .arg(number, tables, p.tableName, rowsText(p, language), rateText(p, language),
                 duration(p.tableMilliseconds), duration(tableMillisecondsLeft(p)), duration(p.runMilliseconds),
                 duration(runMillisecondsLeft(p)));
    return QStringLiteral("Table %1 of %2 %3: %4, %5, table %6 (%7 left), run %8 (%9 left)")
        .arg(number, tables, p.tableName, rowsText(p, language), rateText(p, language),
             duration(p.tableMilliseconds), duration(tableMillisecondsLeft(p)), duration(p.runMilliseconds),
             duration(runMillisecondsLeft(p)));
}

// The figures first, the table's name last: a cut takes only the end of the name.
QString shortProgressLine(const RunProgress& p, const QString& language)
{
    const QString rows = p.estimatedRows > 0 && p.rowsCopied <= p.estimatedRows
                             ? QStringLiteral("%1/%2").arg(count(p.rowsCopied), count(p.estimatedRows))
                             : count(p.rowsCopied);
    if (chinese(language))
        return QStringLiteral("%1/%2: %3 行, %4, 剩余 %5: %6")
            .arg(QString::number(p.tableNumber), QString::number(p.tableCount), rows, rateText(p, language),
                 duration(runMillisecondsLeft(p)), p.tableName);
    return QStringLiteral("%1/%2: %3 rows, %4, %5 left: %6")
        .arg(QString::number(p.tableNumber), QString::number(p.tableCount), rows, rateText(p, language),
             duration(runMillisecondsLeft(p)), p.tableName);
}

}  // namespace dovrelle
