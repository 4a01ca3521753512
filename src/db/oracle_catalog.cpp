#include "db/oracle_catalog.h"

#include "db/error.h"
#include "db/oracle_connection.h"
#include "db/oracle_name.h"

namespace dovrelle {

namespace {

// Upper case for the letters a to z only, as Oracle stores unquoted user names.
QString asciiUpper(const QString& text)
{
    QString result = text;
    for (QChar& c : result) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    }
    return result;
}

}  // namespace

bool tableExists(OracleConnection& connection, const QString& name, const QString& user)
{
    return connection.queryInteger(
               QStringLiteral("select count(*) cn from all_tables where table_name=:1 and "
                              "upper(owner)=:2"),
               {name, asciiUpper(user)})
        > 0;
}

void dropTable(OracleConnection& connection, const QString& name, bool cascadeConstraints)
{
    connection.execute(QStringLiteral("drop table ") + oracleQuotedName(name, QStringLiteral("table"))
                       + (cascadeConstraints ? QStringLiteral(" cascade constraints") : QString()));
}

}  // namespace dovrelle
