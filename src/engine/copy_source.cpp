#include "engine/copy_source.h"

#include "engine/copy_test_switch.h"
#include "engine/mysql_schema_details.h"
#include "engine/name_rules.h"

#include "db/mysql_query.h"

namespace dovrelle {

namespace {

// The table's columns as "select *" gives them, and which of them are FLOAT.
std::vector<bool> floatColumns(MySqlConnection& data, const QString& table, QStringList& names)
{
    MySqlQuery probe(data);
    probe.open(QStringLiteral("select * from ") + mysqlQuotedName(table) + QStringLiteral(" limit 0"));
    std::vector<bool> single;
    for (int pos = 0; pos < probe.fieldCount(); ++pos) {
        names << probe.fieldName(pos);
        single.push_back(probe.kindAt(pos) == MySqlColumn::Kind::Float && probe.isSinglePrecision(pos));
    }
    return single;
}

QString selectOf(const QString& table, const QStringList& names, const std::vector<bool>& single)
{
    const bool anyFloat = std::find(single.begin(), single.end(), true) != single.end();
    if (!anyFloat || sixDigitFloatCopyForTests())
        return QStringLiteral("select * from ") + mysqlQuotedName(table);
    QStringList list;
    for (qsizetype pos = 0; pos < names.size(); ++pos) {
        const QString name = mysqlQuotedName(names[pos]);
        // A FLOAT times the double 1 is its exact value as a double, printed in full; the
        // product keeps the sign of -0.
        list << (single[pos] ? name + QStringLiteral("*1e0 as ") + name : name);
    }
    return QStringLiteral("select ") + list.join(u',') + QStringLiteral(" from ")
        + mysqlQuotedName(table);
}

QString tableCondition(const QString& table)
{
    return QStringLiteral("table_schema = database() and table_name = ") + mysqlTextLiteral(table);
}

QStringList keyColumnsOf(MySqlConnection& data, const QString& table)
{
    MySqlQuery query(data);
    query.open(QStringLiteral("select column_name from information_schema.statistics where ")
               + tableCondition(table)
               + QStringLiteral(" and index_name = 'PRIMARY' order by seq_in_index"));
    QStringList columns;
    for (; !query.atEnd(); query.next())
        columns << query.textAt(0);
    return columns;
}

QList<ColumnCharacterSet> textColumnsOf(MySqlConnection& data, const QString& table)
{
    MySqlQuery query(data);
    query.open(QStringLiteral("select column_name, character_set_name from information_schema.columns where ")
               + tableCondition(table)
               + QStringLiteral(" and character_set_name is not null order by ordinal_position"));
    QList<ColumnCharacterSet> columns;
    for (; !query.atEnd(); query.next())
        columns.append({query.textAt(0), query.textAt(1)});
    return columns;
}

}  // namespace

CopySource prepareCopySource(MySqlConnection& data, const QString& mysqlName)
{
    CopySource source;
    QStringList names;
    source.singlePrecision = floatColumns(data, mysqlName, names);
    source.select = selectOf(mysqlName, names, source.singlePrecision);
    source.keyColumns = keyColumnsOf(data, mysqlName);
    source.textColumns = textColumnsOf(data, mysqlName);
    return source;
}

}  // namespace dovrelle
