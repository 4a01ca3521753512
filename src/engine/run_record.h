#pragma once

#include <QString>

namespace dovrelle {

// What became of one table in a run, as the run report shows it.
struct TableRunRecord {
    QString mysqlName;
    QString oracleName;     // empty when the table got no Oracle name
    qint64 rows = 0;        // rows copied
    qint64 milliseconds = 0;
    bool failed = false;
    QString firstError;     // the first error line the table's steps logged
    QString verification;   // empty: not verified; else "verified" or "differences found"
};

}  // namespace dovrelle
