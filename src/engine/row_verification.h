#pragma once

#include "engine/row_copy.h"

#include <QString>

namespace dovrelle {

class MySqlConnection;
class OracleConnection;
class RunLog;

// One table to verify after its rows were copied.
struct RowVerificationRequest {
    QString mysqlName;   // as the server lists it
    QString oracleName;
    // Rows merged into a table that already held rows: only the number of rows added is compared,
    // as the earlier rows have no source.
    bool merged = false;
    qint64 earlierOracleRows = 0;  // counted before the copy
    QString earlierCountError;     // why they could not be counted
    // Values the copy left NULL on purpose (its per-column failures, zero dates among them):
    // expected NULL in Oracle; the table's line says how many.
    qint64 expectedNulls = 0;
};

// Made before the copy: for a merge into an existing table, counts the rows it holds. Never throws.
RowVerificationRequest prepareRowVerification(OracleConnection& oracle, const QString& mysqlName,
                                              const QString& oracleName, bool mergingIntoExisting);

// Reads the MySQL table and the Oracle table once more and compares their row counts and, column
// by column, an order-independent checksum of their values, with MySQL's values converted as the
// copy converts them and Oracle's read back and brought into the same form. A value the copy
// cannot convert is expected NULL in Oracle, as the copy left it. Both tables are streamed,
// so memory does not grow with their size. Writes the table's line ("Verify table O n Rows
// ...Done", or what differs) and an empty line; an error (a stop: "Operation aborted") leaves the
// error text under the line. Returns true when the tables agree.
bool verifyCopiedRows(MySqlConnection& data, OracleConnection& oracle,
                      const RowVerificationRequest& request, RunLog& log, const CopyHooks& hooks);

// The rows of the Oracle table now (what a merge starts from).
qint64 oracleRowCount(OracleConnection& oracle, const QString& oracleName);

}  // namespace dovrelle
