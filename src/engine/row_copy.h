#pragma once

#include "db/value.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace dovrelle {

class MySqlConnection;
class OracleInsertBuffer;
class RunLog;

struct CopyHooks {
    std::function<void()> letEventsThrough;
    std::function<bool()> stopRequested;
    std::function<void(qint64 rowsCopied)> rowsCopied;  // every 100 rows and at the end
    // Every 100 ms while the source is slow to give the next rows: the events a stop comes with.
    std::function<void()> letEventsThroughWhileWaiting;
};

// What a row copy that was not refused came to.
struct CopiedRows {
    bool stopped = false;        // a stop request ended it at a check point, or while the source
                                 // was slow to give rows; pending rows were not applied
    QStringList columnFailures;  // "name:TypeTag" of each column value that could not be copied
};

// Copies every row of the MySQL table into the Oracle table through the insert buffer, applying
// at row 100, 5100, 10100 ... and at the end, with the progress line "Insert table O n Rows "
// kept as the table's line in the log and a line for each column value that could not be copied
// above it. A failure that ends the copy throws Error with the message of whoever failed (for the
// step to write under the table's line); a stop comes back as the result. Either way the rows not
// yet applied are dropped. The rows are read a batch ahead on a thread of their own
// (PrefetchedRows); `data` is not to be used elsewhere until this returns.
CopiedRows copyRows(MySqlConnection& data, OracleInsertBuffer& buffer, const QString& mysqlName,
                    const QString& oracleName, RunLog& log, const CopyHooks& hooks);

// A boolean source value as the copy sends it: the number 1 or 0; NULL stays NULL. Throws Error
// for a value that is no truth value (the copy's per-column failure).
Value truthNumber(const Value& value);

}  // namespace dovrelle
