#pragma once

#include <QString>

namespace dovrelle {

class OracleConnection;

// The Oracle table that an earlier run made for this long MySQL table name: among the tables of
// the logged-on schema that carry one of the suffixed names of `casedName`, the one whose comment
// records exactly `mysqlName` (the lowest suffix if several do). Empty when there is none.
// Throws Error with Oracle's message when the comments cannot be read.
QString recordedOracleTable(OracleConnection& oracle, const QString& casedName,
                            const QString& mysqlName);

}  // namespace dovrelle
