#pragma once

#include "db/error.h"

#include <QString>
#include <QStringList>

namespace dovrelle {

class MySqlConnection;
class OracleConnection;

// The checks of the wizard's pages 2 to 4, on connections the caller holds: the wizard keeps its
// connections open from page to page, a run without pages opens them for its check. Each
// returns what it found; a notice is text for the caller to show, a failure an Error with the
// server's message or the text the page fails with.

// The first column of every row that a listing statement ("show databases", "show tables")
// returns on an open connection. Throws Error with the server's message.
QStringList listedNames(MySqlConnection& connection, const QString& statement);

// Page 2 before logging on: "Please enter database name" when the typed name is blank, else the
// empty text.
QString databaseNameNotice(const QString& typedName);

// Page 2: the databases of the server that `catalog` is open on, in the server's order, and the
// entry that the typed name preselects (preselectedDatabase; -1 for none).
struct DatabaseListing {
    QStringList databases;
    int preselected = -1;
};
DatabaseListing listDatabases(MySqlConnection& catalog, const QString& typedName);

// Page 3: logs `oracle` on again with the service, user and password.
void logOnToOracle(OracleConnection& oracle, const QString& service, const QString& user, const QString& password);

// What page 4 fails with when no database is chosen: "List index out of bounds (-1)".
Error noDatabaseChosen();

// Page 4: closes `catalog`, opens it again on `database` and lists its tables in the server's
// order.
QStringList listDatabaseTables(MySqlConnection& catalog, const QString& database);

}  // namespace dovrelle
