#pragma once

#include <QString>

namespace dovrelle {

// A table or column name as it is shown inside a log line: control characters (C0, DEL, C1 and
// the Unicode line and paragraph separators) are written as escapes ("\n", "\t", "\x01",
// "\u2028"), so a name can never break or garble the line it stands in. Other characters are
// shown as they are.
QString nameForLog(const QString& name);

// The log line of a table the run was given that the MySQL database does not have.
QString tableNotFoundLine(const QString& mysqlName, const QString& database);

}  // namespace dovrelle
