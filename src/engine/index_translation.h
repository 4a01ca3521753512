#pragma once

#include <QString>

namespace dovrelle {

class MySqlConnection;
class OracleConnection;
class LoggedStep;

// Gives the Oracle table the primary key and indexes of the MySQL table, from "show index from"
// on the data connection; statements run on the oracledata connection. Each failing statement
// fails the step with its message, followed by a line of one blank, and the others still run. A
// failure of the listing itself throws. With `namesUniqueInSchema` a name held by any index or
// constraint, this table's included, gets a free variant; otherwise only the names of other
// tables count.
void createIndexes(MySqlConnection& data, OracleConnection& oracleData, const QString& mysqlName,
                   const QString& oracleName, bool nameUpperCase, LoggedStep& step,
                   bool namesUniqueInSchema = false);

}  // namespace dovrelle
