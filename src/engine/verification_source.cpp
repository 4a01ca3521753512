#include "engine/verification_source.h"

#include "engine/mysql_schema_details.h"
#include "engine/name_rules.h"

#include "db/mysql_query.h"

#include <charconv>
#include <cmath>

namespace dovrelle {

namespace {

SourceForm formOf(const QString& dataType)
{
    static const QStringList decimals{"tinyint", "smallint", "mediumint", "int", "integer", "bigint",
                                      "decimal", "numeric", "year", "bit", "bool", "boolean"};
    static const QStringList bytes{"binary",   "varbinary", "tinyblob",   "blob",       "mediumblob",
                                   "longblob", "geometry",  "point",      "linestring", "polygon",
                                   "multipoint", "multilinestring", "multipolygon", "geometrycollection"};
    static const QStringList temporals{"date", "datetime", "timestamp", "time"};
    if (dataType == u"float")
        return SourceForm::Single;
    if (dataType == u"double" || dataType == u"real")
        return SourceForm::Double;
    if (decimals.contains(dataType))
        return SourceForm::Decimal;
    if (bytes.contains(dataType))
        return SourceForm::Bytes;
    if (temporals.contains(dataType))
        return SourceForm::Temporal;
    return SourceForm::Text;
}

QString selectExpression(const SourceColumnForm& column)
{
    const QString name = mysqlQuotedName(column.name);
    switch (column.form) {
    case SourceForm::Single:
        // A FLOAT in a DOUBLE expression is its exact binary value, printed with every digit a
        // DOUBLE needs, where the FLOAT itself would be printed with six.
        return name + QStringLiteral(" * 1e0");
    case SourceForm::Decimal:
        return name + QStringLiteral(" + 0");  // bits as integers; exact for the others
    case SourceForm::Text:
        // Sent as bytes: the connection's character set (which may not hold every character)
        // plays no part.
        return QStringLiteral("cast(convert(%1 using utf8mb4) as binary)").arg(name);
    default:
        return name;
    }
}

}  // namespace

QList<SourceColumnForm> sourceColumnForms(MySqlConnection& data, const QString& mysqlName)
{
    MySqlQuery columns(data);
    columns.open(QStringLiteral("select COLUMN_NAME, DATA_TYPE from information_schema.COLUMNS "
                                "where TABLE_SCHEMA = database() and TABLE_NAME = %1 order by ORDINAL_POSITION")
                     .arg(mysqlTextLiteral(mysqlName)));
    QList<SourceColumnForm> forms;
    for (; !columns.atEnd(); columns.next()) {
        const QString dataType = columns.textAt(1).toLower();
        forms.append({columns.textAt(0), formOf(dataType), dataType != u"time" && formOf(dataType) == SourceForm::Temporal});
    }
    columns.close();
    return forms;
}

QString sourceSelect(const QString& mysqlName, const QList<SourceColumnForm>& columns)
{
    QStringList expressions;
    for (const SourceColumnForm& column : columns)
        expressions.append(selectExpression(column));
    return QStringLiteral("select ") + expressions.join(QStringLiteral(", ")) + QStringLiteral(" from ")
        + mysqlQuotedName(mysqlName);
}

QByteArray binaryNumberText(QByteArrayView text, bool single)
{
    while (!text.isEmpty() && text.front() == ' ')
        text = text.sliced(1);
    while (!text.isEmpty() && text.back() == ' ')
        text.chop(1);
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+')
        ++begin;
    double value = 0;
    const auto parsed = std::from_chars(begin, end, value);
    if (parsed.ec != std::errc() || parsed.ptr != end || !std::isfinite(value))
        return text.toByteArray();
    if (value == 0)
        return QByteArrayLiteral("0");
    char buffer[64];
    const auto written = single ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value))
                                : std::to_chars(buffer, buffer + sizeof buffer, value);
    return QByteArray(buffer, static_cast<qsizetype>(written.ptr - buffer));
}

bool isZeroDate(QByteArrayView text)
{
    if (text.size() < 10 || text[4] != '-' || text[7] != '-')
        return false;
    return text.first(4) == "0000" || text.sliced(5, 2) == "00" || text.sliced(8, 2) == "00";
}

}  // namespace dovrelle
