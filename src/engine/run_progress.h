#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace dovrelle {

class MySqlConnection;

// Where a run stands, as the run reports it to its host (RunHooks::progressChanged): before each
// table, every 100 copied rows and when a table's rows are all copied.
struct RunProgress {
    int tableNumber = 0;  // 1 for the first table of the run
    int tableCount = 0;
    QString tableName;    // the MySQL table
    qint64 rowsCopied = 0;
    qint64 estimatedRows = 0;        // MySQL's estimate (information_schema TABLE_ROWS); 0: none
    qint64 estimatedRowsToCome = 0;  // the estimates of the tables after this one
    qint64 rowsCopiedInRun = 0;      // this table's rows plus those of the tables before
    qint64 tableMilliseconds = 0;    // since this table began
    qint64 runMilliseconds = 0;      // since the run began
};

// MySQL's estimated row counts of the tables of the database the connection is on, by table
// name. Views and tables whose engine keeps no count are missing. An estimate is only for
// showing progress, so a failing catalog query gives an empty map instead of an error.
QHash<QString, qint64> estimatedRowCounts(MySqlConnection& catalog);

// Rows per second of the table so far (0 before the first second's worth of clock).
double tableRowsPerSecond(const RunProgress& progress);
// Time left for the table: its estimated rows not copied yet at its rate so far. None when the
// estimate is unknown or passed, or no row has been copied yet.
std::optional<qint64> tableMillisecondsLeft(const RunProgress& progress);
// Time left for the run: the table's time left plus the estimated rows of the tables to come at
// the run's rate so far.
std::optional<qint64> runMillisecondsLeft(const RunProgress& progress);
// The run's share done, 0 to 100, weighting every table by its estimated rows (by count when no
// table has an estimate).
int runPercentDone(const RunProgress& progress);

// The figures as short lines for a narrow panel, and as one line for a terminal, in the caption
// language ("en" or "cn"). The time left reads "?" until the rate is known (a couple of
// seconds, or a few batches of rows).
QStringList progressLines(const RunProgress& progress, const QString& language = QStringLiteral("en"));
QString progressLine(const RunProgress& progress, const QString& language = QStringLiteral("en"));
// The line for a narrow terminal: the table's place, its rows, the rate, the run's time left and
// the table's name.
QString shortProgressLine(const RunProgress& progress, const QString& language = QStringLiteral("en"));

}  // namespace dovrelle
