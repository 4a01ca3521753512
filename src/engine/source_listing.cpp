#include "engine/source_listing.h"

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

QString chooseSourceDatabase(const ConversionProfile& profile)
{
    MySqlConnection catalog;
    catalog.setParameters(catalogConnectionParameters(profile, profile.mysqldatabase));
    catalog.open();
    const QStringList databases = listedNames(catalog, QStringLiteral("show databases "));
    const int chosen = preselectedDatabase(databases, profile.mysqldatabase);
    if (chosen < 0)
        throw Error(QStringLiteral("List index out of bounds (-1)"));
    return databases[chosen];
}

void checkOracleLogon(const ConversionProfile& profile)
{
    OracleConnection oracle;
    oracle.setParameters(
        OracleConnection::standardParameters(profile.oracleh, profile.oracleu, profile.oraclep));
    oracle.open();
}

QStringList listSourceTables(const ConversionProfile& profile)
{
    MySqlConnection catalog;
    catalog.setParameters(catalogConnectionParameters(profile, profile.mysqldatabase));
    catalog.open();
    return listedNames(catalog, QStringLiteral("show tables"));
}

}  // namespace dovrelle
