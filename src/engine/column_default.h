#pragma once

#include "engine/exact_types.h"
#include "engine/mysql_schema_details.h"
#include "engine/oracle_literal.h"

#include <QString>

namespace dovrelle {

// The DEFAULT of a MySQL column as Oracle takes it.
struct OracleDefault {
    QString expression;  // "'abc'", "-1", "SYSDATE", "TO_DATE(...)"; empty: no DEFAULT clause
    QString note;        // why MySQL's default (or ON UPDATE) is not carried over; empty when it is
};

// Literal defaults are written for the column's Oracle type as a row value would be converted;
// CURRENT_TIMESTAMP becomes SYSDATE for a DATE and SYSTIMESTAMP for a TIMESTAMP column. A zero
// date, an expression Oracle cannot take and ON UPDATE CURRENT_TIMESTAMP give a note instead.
OracleDefault oracleDefaultOf(const ColumnDetails& column, const QString& oracleType, bool mariaDb);

// A MySQL TIME text ("-838:59:59.5") as Oracle's INTERVAL DAY TO SECOND text ("-34 22:59:59.5");
// empty when the text is no time.
QString intervalTextOfTime(const QString& time);

}  // namespace dovrelle
