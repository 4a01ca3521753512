#pragma once

#include <QString>

namespace dovrelle {

// A MySQL CHECK condition as an Oracle condition: comparisons, AND/OR/NOT, IN, BETWEEN,
// IS [NOT] NULL, literals and column names are carried over (columns named as the CREATE TABLE
// names them). Returns an empty text when the condition uses anything else.
QString oracleCheckCondition(const QString& mysqlClause, bool nameUpperCase, int maxNameBytes);

}  // namespace dovrelle
