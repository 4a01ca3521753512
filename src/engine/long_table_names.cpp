#include "engine/long_table_names.h"

#include "engine/name_rules.h"
#include "engine/table_comment.h"

#include "db/oracle_connection.h"

namespace dovrelle {

QString recordedOracleTable(OracleConnection& oracle, const QString& casedName,
                            const QString& mysqlName)
{
    const QList<QStringList> rows = oracle.queryTexts(
        QStringLiteral("select table_name, comments from user_tab_comments "
                       "where comments is not null order by table_name"),
        2);
    const int maxBytes = oracle.maxIdentifierBytes();
    for (const QStringList& row : rows) {
        if (isSuffixedNameOf(row[0], casedName, maxBytes) && recordedMySqlName(row[1]) == mysqlName)
            return row[0];
    }
    return {};
}

}  // namespace dovrelle
