#pragma once

#include "engine/conversion_check.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace dovrelle {

class MySqlConnection;

// One column as the data pass sees it.
struct DataCheckColumn {
    QString name;
    QString mysqlType;      // COLUMN_TYPE: "varchar(20)", "double", "datetime"
    QString characterSet;   // the column's own character set; empty for a column without text
    bool notNull = false;
    bool becomesVarchar2 = false;  // the chosen mapping makes it a VARCHAR2
    bool becomesNumber = false;    // the chosen mapping makes a DOUBLE a NUMBER
};

struct DataCheckRequest {
    QString mysqlName;
    QList<DataCheckColumn> columns;
    QStringList keyColumns;        // the primary key (or the first unique key); empty: no examples
    QString connectionCharacterSet;  // what the copy reads text in; "binary" or utf8mb4: nothing lost
};

struct DataCheckResult {
    bool ran = false;  // false: no column of a type a data finding concerns, no query sent
    qint64 rows = 0;
    QList<CheckFinding> findings;
};

// One aggregate query over the table that MySQL runs itself: per affected column the count of
// zero dates, empty strings, values over 4000 bytes in a future VARCHAR2, characters the
// connection cannot carry and DOUBLE values NUMBER cannot hold, each with up to five keys.
// Throws Error with the server's message.
DataCheckResult checkTableData(MySqlConnection& connection, const DataCheckRequest& request);

}  // namespace dovrelle
