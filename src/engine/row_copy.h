#pragma once

#include "engine/index_translation.h"

#include <QString>
#include <functional>

namespace dovrelle {

class MySqlConnection;
class OracleInsertBuffer;
class RunLog;

struct CopyHooks {
    std::function<void()> letEventsThrough;
    std::function<bool()> stopRequested;
};

// Copies every row of the MySQL table into the Oracle table through the insert buffer, applying
// at row 100, 5100, 10100 ... and at the end, with the progress line "Insert table O n Rows "
// kept as the table's line in the log. Never throws: every failure that ends the copy comes back
// as the result ("Operation aborted" for a stop).
StepResult copyRows(MySqlConnection& data, OracleInsertBuffer& buffer, const QString& mysqlName,
                    const QString& oracleName, RunLog& log, const CopyHooks& hooks);

// The outcome of one apply, set by the insert buffer's error event.
struct ApplyOutcome {
    bool applyOk = true;
    QString applyError;
};

// The insert buffer's error event: the apply failed with `message`.
void oracleinsertdataReconcileError(ApplyOutcome& outcome, const QString& message);

// Applies the buffer's pending rows in one transaction and copies the outcome into `result`;
// throws Error with Oracle's message when a row was rejected (none of the batch then stays).
void applyPendingRows(OracleInsertBuffer& buffer, StepResult& result);

}  // namespace dovrelle
