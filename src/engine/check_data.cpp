#include "engine/check_data.h"
#include "engine/exact_types.h"

#include "db/mysql_query.h"
#include "engine/name_rules.h"
#include "engine/table_definition.h"

namespace dovrelle {

namespace {

// Longest key list the server builds per finding; five keys fit with room to spare.
constexpr int kExampleListBytes = 8192;
constexpr int kExampleKeys = 5;
const QChar kKeySeparator(0x1f);

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
                           QStringLiteral("OCTET_LENGTH(CONVERT(%1 USING utf8mb4)) > %2").arg(c).arg(kLongestVarchar2Bytes),
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

QString aggregateQuery(const DataCheckRequest& request, const QList<Probe>& probes)
{
    QStringList items = {QStringLiteral("COUNT(*)")};
    const QString key = request.keyColumns.isEmpty() ? QString() : keyExpression(request.keyColumns);
    for (const Probe& probe : probes) {
        items.append(QStringLiteral("COALESCE(SUM(%1), 0)").arg(probe.condition));
        if (!key.isEmpty())
            items.append(QStringLiteral("SUBSTRING_INDEX(GROUP_CONCAT(IF(%1, %2, NULL) SEPARATOR '%3'), '%3', %4)")
                             .arg(probe.condition, key, kKeySeparator)
                             .arg(kExampleKeys));
    }
    return QStringLiteral("SELECT ") + items.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") +
           mysqlQuotedName(request.mysqlName);
}

void setExampleListLength(MySqlConnection& connection)
{
    MySqlQuery statement(connection);
    statement.open(QStringLiteral("SET SESSION group_concat_max_len = %1").arg(kExampleListBytes));
    statement.close();
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
    const bool withKeys = !request.keyColumns.isEmpty();
    if (withKeys)
        setExampleListLength(connection);
    MySqlQuery query(connection);
    query.open(aggregateQuery(request, probes));
    result.ran = true;
    result.rows = query.intAt(0);
    const int perProbe = withKeys ? 2 : 1;
    for (qsizetype i = 0; i < probes.size(); ++i) {
        const int field = 1 + int(i) * perProbe;
        const qint64 count = query.intAt(field);
        if (count == 0)
            continue;
        CheckFinding finding{probes[i].kind, QStringLiteral("column ") + probes[i].column, probes[i].detail, count, {}};
        if (withKeys)
            finding.exampleKeys = query.textAt(field + 1).split(kKeySeparator, Qt::SkipEmptyParts).mid(0, kExampleKeys);
        result.findings.append(finding);
    }
    query.close();
    return result;
}

}  // namespace dovrelle
