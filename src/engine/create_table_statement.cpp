#include "engine/create_table_statement.h"

#include "engine/name_rules.h"

namespace dovrelle {

QString tableNamesProblem(const QString& oracleTable, const QStringList& oracleColumns)
{
    QString problem = oracleIdentifierProblem(oracleTable, QStringLiteral("table"));
    for (const QString& column : oracleColumns) {
        if (!problem.isEmpty())
            break;
        problem = oracleIdentifierProblem(column, QStringLiteral("column"));
    }
    return problem;
}

CreateTableStatement createTableStatement(const QString& oracleTable, const QList<OracleColumnDefinition>& columns)
{
    QStringList names;
    for (const OracleColumnDefinition& column : columns)
        names.append(column.name);
    const QString problem = tableNamesProblem(oracleTable, names);
    if (!problem.isEmpty())
        return {QString(), problem};
    QString text = QStringLiteral("Create table ") + oracleQuotedName(oracleTable, QStringLiteral("table"))
                   + QStringLiteral(" (");
    for (qsizetype i = 0; i < columns.size(); ++i) {
        text += QStringLiteral("\r\n") + oracleQuotedName(columns[i].name, QStringLiteral("column")) + u' '
                + columns[i].definition;
        if (i + 1 < columns.size())
            text += QStringLiteral(" , ");
    }
    return {text + QStringLiteral(" ) "), QString()};
}

}  // namespace dovrelle
