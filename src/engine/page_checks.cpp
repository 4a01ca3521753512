#include "engine/page_checks.h"

#include "db/error.h"
#include "db/mysql_connection.h"
#include "db/mysql_query.h"
#include "db/oracle_connection.h"
#include "engine/database_preselection.h"

namespace dovrelle {

QStringList listedNames(MySqlConnection& connection, const QString& statement)
{
    MySqlQuery query(connection);
    query.open(statement);
    QStringList names;
    for (; !query.atEnd(); query.next())
        names.append(query.textAt(0));
    return names;
}

QString databaseNameNotice(const QString& typedName)
{
    return typedName.trimmed().isEmpty() ? QStringLiteral("Please enter database name") : QString();
}

DatabaseListing listDatabases(MySqlConnection& catalog, const QString& typedName)
{
    DatabaseListing listing;
    listing.databases = listedNames(catalog, QStringLiteral("show databases "));
    listing.preselected = preselectedDatabase(listing.databases, typedName);
    return listing;
}

void logOnToOracle(OracleConnection& oracle, const QString& service, const QString& user, const QString& password)
{
    oracle.close();
    oracle.setParameters(OracleConnection::standardParameters(service, user, password));
    oracle.open();
}

Error noDatabaseChosen()
{
    return Error(QStringLiteral("List index out of bounds (-1)"));
}

QStringList listDatabaseTables(MySqlConnection& catalog, const QString& database)
{
    catalog.close();
    catalog.parameters().setValue(QStringLiteral("Database"), database);
    catalog.open();
    return listedNames(catalog, QStringLiteral("show tables"));
}

}  // namespace dovrelle
