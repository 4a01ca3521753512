#include "engine/check_data.h"
#include "engine/exact_types.h"

#include "db/mysql_query.h"
#include "engine/name_rules.h"
#include "engine/table_definition.h"

namespace dovrelle {

namespace {

constexpr int kExampleKeys = 5;

QString baseTypeOf(const QString& mysqlType)
{
    return mysqlType.section(u'(', 0, 0).section(u' ', 0, 0).toLower();
}

bool isDateType(const QString& base)
{
    return base == u"date" || base == u"datetime" || base == u"timestamp";
}

bool isTextType(const QString& base)
{
    static const QStringList names = {"char", "varchar", "tinytext", "text", "mediumtext", "longtext", "enum", "set"};
    return names.contains(base);
}

// A condition on one column and what a row that meets it means.
struct Probe {
    QString kind;
    QString column;
    QString condition;
    QString detail;
};

bool connectionCarriesEverything(const QString& characterSet)
{
    return characterSet.isEmpty() || characterSet == u"binary" || characterSet == u"utf8mb4";
}

QList<Probe> probesOf(const DataCheckColumn& column, const QString& connectionCharacterSet)
{
    const QString base = baseTypeOf(column.mysqlType);
    const QString c = mysqlQuotedName(column.name);
    QList<Probe> probes;
    if (isDateType(base))
        probes.append({CheckKind::ZeroDates, column.name,
                       QStringLiteral("(YEAR(%1) = 0 OR MONTH(%1) = 0 OR DAYOFMONTH(%1) = 0)").arg(c),
                       QStringLiteral("a date with a zero year, month or day has no Oracle counterpart")});
    if (isTextType(base)) {
        probes.append({column.notNull ? CheckKind::EmptyStringsNotNull : CheckKind::EmptyStrings, column.name,
                       QStringLiteral("OCTET_LENGTH(%1) = 0").arg(c),
                       column.notNull ? QStringLiteral("Oracle stores '' as NULL, which the NOT NULL column refuses")
                                      : QStringLiteral("Oracle stores '' as NULL")});
        // A character takes at most four bytes in Oracle's UTF-8.
        const bool mayPass = base != u"enum" && base != u"set" && declaredLength(column.mysqlType) * 4 > kLongestVarchar2Bytes;
        if (column.becomesVarchar2 && mayPass)
            probes.append({CheckKind::TooLongForVarchar2, column.name,
                           QStringLiteral("OCTET_LENGTH(CONVERT(%1 USING utf8mb4)) > %2").arg(c, QString::number(kLongestVarchar2Bytes)),
                           QStringLiteral("the value does not fit the column's VARCHAR2 (at most 4000 bytes)")});
        if (!connectionCarriesEverything(connectionCharacterSet) && column.characterSet != connectionCharacterSet)
            probes.append({CheckKind::CharacterSetLoss, column.name,
                           QStringLiteral("BINARY CONVERT(CONVERT(%1 USING %2) USING utf8mb4) <> BINARY CONVERT(%1 USING utf8mb4)")
                               .arg(c, connectionCharacterSet),
                           QStringLiteral("the connection's character set %1 has no code for some character")
                               .arg(connectionCharacterSet)});
    }
    if ((base == u"double" || base == u"real") && column.becomesNumber)
        probes.append({CheckKind::BeyondNumberRange, column.name,
                       QStringLiteral("(ABS(%1) >= 1e126 OR (%1 <> 0 AND ABS(%1) < 1e-130))").arg(c),
                       QStringLiteral("Oracle's NUMBER holds magnitudes from 1e-130 to below 1e126 only")});
    return probes;
}

QString keyExpression(const QStringList& keyColumns)
{
    QStringList quoted;
    for (const QString& column : keyColumns)
        quoted.append(mysqlQuotedName(column));
    return QStringLiteral("CONCAT_WS(', ', %1)").arg(quoted.join(QStringLiteral(", ")));
}

// One pass over the table counts the rows that meet each probe's condition.
QString countQuery(const DataCheckRequest& request, const QList<Probe>& probes)
{
    QStringList items = {QStringLiteral("COUNT(*)")};
    for (const Probe& probe : probes)
        items.append(QStringLiteral("COALESCE(SUM(%1), 0)").arg(probe.condition));
    return QStringLiteral("SELECT ") + items.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") +
           mysqlQuotedName(request.mysqlName);
}

// The keys of the first rows that meet a probe's condition. Asked only for probes that found
// rows, so a clean table is read once; collecting keys in the counting pass instead would
// evaluate every condition twice a row.
QStringList exampleKeysOf(MySqlConnection& connection, const DataCheckRequest& request, const Probe& probe)
{
    MySqlQuery query(connection);
    // Joined, not formatted: a column name may hold "%1".
    query.open(QStringLiteral("SELECT ") + keyExpression(request.keyColumns) + QStringLiteral(" FROM ") +
               mysqlQuotedName(request.mysqlName) + QStringLiteral(" WHERE ") + probe.condition +
               QStringLiteral(" LIMIT ") + QString::number(kExampleKeys));
    QStringList keys;
    for (; !query.atEnd(); query.next())
        keys.append(query.textAt(0));
    query.close();
    return keys;
}

}  // namespace

DataCheckResult checkTableData(MySqlConnection& connection, const DataCheckRequest& request)
{
    QList<Probe> probes;
    for (const DataCheckColumn& column : request.columns)
        probes.append(probesOf(column, request.connectionCharacterSet));
    DataCheckResult result;
    if (probes.isEmpty())
        return result;
    QList<qint64> counts;
    {
        MySqlQuery query(connection);
        query.open(countQuery(request, probes));
        result.rows = query.intAt(0);
        for (qsizetype i = 0; i < probes.size(); ++i)
            counts.append(query.intAt(1 + int(i)));
        query.close();
    }
    result.ran = true;
    for (qsizetype i = 0; i < probes.size(); ++i) {
        if (counts[i] == 0)
            continue;
        CheckFinding finding{probes[i].kind, QStringLiteral("column ") + probes[i].column, probes[i].detail, counts[i], {}};
        if (!request.keyColumns.isEmpty())
            finding.exampleKeys = exampleKeysOf(connection, request, probes[i]);
        result.findings.append(finding);
    }
    return result;
}

}  // namespace dovrelle
