#pragma once

#include <QString>

namespace dovrelle {

class MySqlConnection;
class OracleConnection;
class RunLog;

struct StepResult {
    bool ok = true;
    QString error;  // message of the (last) failure
};

// Gives the Oracle table the primary key and indexes of the MySQL table, from "show index from"
// on the data connection; statements run on the oracledata connection. Each failing statement
// appends its message and a line of one blank to the log. A failure of the listing itself throws.
// With `namesUniqueInSchema` a name held by any index or constraint, this table's included, gets a
// free variant; otherwise only the names of other tables count.
StepResult createIndexes(MySqlConnection& data, OracleConnection& oracleData,
                         const QString& mysqlName, const QString& oracleName, bool nameUpperCase,
                         RunLog& log, bool namesUniqueInSchema = false);

}  // namespace dovrelle
