#pragma once

#include "engine/row_copy.h"

#include <QString>

namespace dovrelle {

class MySqlConnection;
class OracleConnection;
class RunLog;
class LoggedStep;

// One table to verify after its rows were copied.
struct RowVerificationRequest {
    QString mysqlName;   // as the server lists it
    QString oracleName;
    // Rows merged into a table that already held rows: only the number of rows added is compared,
    // as the earlier rows have no source.
    bool merged = false;
    qint64 earlierOracleRows = 0;  // counted before the copy
    QString earlierCountError;     // why they could not be counted
    // Values the copy logged as failures and left NULL: a line that reports a difference says how
    // many.
    qint64 expectedNulls = 0;
};

// Made before the copy: for a merge into an existing table, counts the rows it holds. Never throws.
RowVerificationRequest prepareRowVerification(OracleConnection& oracle, const QString& mysqlName,
                                              const QString& oracleName, bool mergingIntoExisting);

// Reads the MySQL table and the Oracle table once more and compares their row counts and, column
// by column, an order-independent checksum of their values. MySQL's values are read through a
// select list of the verification's own, in their exact stored form (FLOAT and DOUBLE by binary
// value, text in UTF-8 from the column's own character set, bytes as they are, dates and times
// as MySQL's text in the form of the documented mapping, see temporalAsOracle), never through
// the copy's conversion; they are compared with Oracle's under the documented rules only: an
// empty string and a zero date are NULL in Oracle, and so are bytes that are no text for a CLOB
// (Convert BLOB to text), each counted in the line; a CHAR's trailing blanks do not count. Both
// tables are streamed, so memory does not grow with their size, and a LOB is hashed piece by
// piece. Runs as the step "Verify table O...": its head line becomes "Verify table O n Rows
// ...Done" or says what differs (the step failed); an error (a stop: "Operation aborted") is
// thrown, for the step to write under the line.
void verifyCopiedRows(MySqlConnection& data, OracleConnection& oracle, const RowVerificationRequest& request,
                      LoggedStep& step, const CopyHooks& hooks);
// The same as a step of its own at the end of `log`, followed by an empty line. Returns true when
// the tables agree.
bool verifyCopiedRows(MySqlConnection& data, OracleConnection& oracle,
                      const RowVerificationRequest& request, RunLog& log, const CopyHooks& hooks);

// The rows of the Oracle table now (what a merge starts from).
qint64 oracleRowCount(OracleConnection& oracle, const QString& oracleName);

}  // namespace dovrelle
