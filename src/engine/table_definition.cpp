#include "engine/table_definition.h"
#include "engine/exact_types.h"

#include "db/error.h"
#include "db/mysql_query.h"
#include "engine/name_rules.h"
#include "db/oracle_connection.h"

#include <QRegularExpression>

namespace dovrelle {

namespace {

constexpr int kLongestRaw = 2000;

bool isOneOf(const QString& type, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        if (type == QLatin1StringView(name))
            return true;
    }
    return false;
}

bool beginsWithOneOf(const QString& type, std::initializer_list<const char*> prefixes)
{
    for (const char* prefix : prefixes) {
        if (type.startsWith(QLatin1StringView(prefix)))
            return true;
    }
    return false;
}

bool isSpatialType(const QString& type)
{
    static const QStringList names = {
        QStringLiteral("geometry"),        QStringLiteral("point"),
        QStringLiteral("linestring"),      QStringLiteral("polygon"),
        QStringLiteral("multipoint"),      QStringLiteral("multilinestring"),
        QStringLiteral("multipolygon"),    QStringLiteral("geometrycollection"),
        QStringLiteral("geomcollection"),
    };
    // A spatial type may carry a trailer such as an SRID comment.
    const QString name = type.section(u' ', 0, 0);
    return names.contains(name);
}

// The type of a column that the rules would make a BLOB.
QString blobType(const QString& blobText, const TableDefinitionOptions& options)
{
    return options.blobToText ? QStringLiteral(" CLOB") : blobText;
}

// Types that none of the classic rules match still get a sound Oracle type.
QString unmatchedType(const QString& type, const TableDefinitionOptions& options)
{
    if (type.startsWith(u"datetime("))
        return QStringLiteral("timestamp(") + type.mid(9);
    if (type.startsWith(u"timestamp("))
        return QStringLiteral("timestamp(") + type.mid(10);
    if (type.startsWith(u"time("))
        return QStringLiteral(" date");
    if (type == u"bit" || type.startsWith(u"bit("))
        return QStringLiteral(" number");
    if (type.startsWith(u"binary(") || type.startsWith(u"varbinary(")) {
        const int length = declaredLength(type);
        return length <= kLongestRaw ? QStringLiteral("raw(%1)").arg(length)
                                     : blobType(QStringLiteral(" BLOB"), options);
    }
    if (type == u"json")
        return QStringLiteral(" CLOB");
    if (isSpatialType(type))
        return blobType(QStringLiteral(" BLOB"), options);
    return QStringLiteral(" CLOB");
}

QString mappedType(const QString& type, const TableDefinitionOptions& options)
{
    if (type.startsWith(u"char("))
        return QStringLiteral("varchar2(") + type.mid(5);
    if (type.startsWith(u"varchar(")) {
        if (declaredLength(type) > kLongestVarchar2Bytes)
            return blobType(QStringLiteral("BLOB"), options);
        return QStringLiteral("varchar2(") + type.mid(8);
    }
    if (type.startsWith(u"enum("))
        return QStringLiteral("varchar2(%1)").arg(type.size() - 6);
    if (type.startsWith(u"set("))
        return QStringLiteral("varchar2(%1)").arg(type.size() - 5);
    if (isOneOf(type, {"text", "mediumtext", "longtext", "tinytext"}))
        return blobType(QStringLiteral("BLOB"), options);
    if (isOneOf(type, {"blob", "tinyblob", "mediumblob", "longblob"}))
        return blobType(QStringLiteral(" BLOB"), options);
    if (beginsWithOneOf(type, {"tinyint", "smallint", "mediumint", "int", "bigint", "float",
                               "double", "decimal", "year"}))
        return QStringLiteral(" number");
    if (isOneOf(type, {"date", "datetime", "timestamp", "time"}))
        return QStringLiteral(" date");
    return unmatchedType(type, options);
}

// Blanks and control characters at either end are removed.
QString trimControl(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] <= u' ')
        ++first;
    while (last > first && text[last - 1] <= u' ')
        --last;
    return text.mid(first, last - first);
}

QString fieldText(const Value& value)
{
    return value.kind() == Value::Kind::Bytes ? QString::fromUtf8(value.asBytes()) : value.toText();
}

}  // namespace

int declaredLength(const QString& mysqlType)
{
    const QString type = trimControl(mysqlType);
    const qsizetype open = type.indexOf(u'(');
    if (open <= 0)
        return 0;
    QString inside = type.mid(open + 1);
    inside.chop(1);
    static const QRegularExpression decimal(QStringLiteral("^[+-]?[0-9]+$"));
    bool ok = false;
    const int length = decimal.match(inside).hasMatch() ? inside.toInt(&ok, 10) : 0;
    if (!ok)
        throw Error(QStringLiteral("'%1' is not a valid integer value").arg(inside));
    return length;
}

QString classicColumnDefinition(const QString& mysqlType, const TableDefinitionOptions& options)
{
    return mappedType(mysqlType, options) + u' ';
}

QString mapColumnType(const QString& columnName, const QString& mysqlType,
                      const TableDefinitionOptions& options)
{
    return oracleQuotedName(applyNameCase(columnName, options.nameUpperCase), QStringLiteral("column")) + u' '
           + classicColumnDefinition(mysqlType, options);
}

QList<SourceColumn> readFieldList(MySqlConnection& catalog, const QString& mysqlName)
{
    MySqlQuery query(catalog);
    query.open(QStringLiteral("show FIELDS from ") + mysqlQuotedName(mysqlName));
    QList<SourceColumn> columns;
    while (!query.atEnd()) {
        columns.append({fieldText(query.value(QStringLiteral("field"))),
                        fieldText(query.value(QStringLiteral("type")))});
        query.next();
    }
    query.close();
    return columns;
}

namespace {

CreateTableStatement classicStatement(const QString& oracleName, const QList<SourceColumn>& columns,
                                      const TableDefinitionOptions& options)
{
    QList<OracleColumnDefinition> definitions;
    for (const SourceColumn& column : columns)
        definitions.append({oracleColumnName(column.name, options.nameUpperCase, options.nameBytes),
                            classicColumnDefinition(column.type, options)});
    return createTableStatement(oracleName, definitions);
}

}  // namespace

QString createTableText(const QString& oracleName, const QList<SourceColumn>& columns,
                        const TableDefinitionOptions& options)
{
    return classicStatement(oracleName, columns, options).text;
}

QString buildCreateTable(MySqlConnection& catalog, const QString& mysqlName,
                         const QString& oracleName, const TableDefinitionOptions& options)
{
    return createTableText(oracleName, readFieldList(catalog, mysqlName), options);
}

void executeCreateTable(OracleConnection& oracle, const CreateTableStatement& statement,
                        QString* lastDefinition)
{
    if (lastDefinition)
        *lastDefinition = statement.text;
    if (!statement.problem.isEmpty())
        throw Error(statement.problem);
    oracle.execute(statement.text, true);
}

void createTable(OracleConnection& oracle, MySqlConnection& catalog, const QString& mysqlName,
                 const QString& oracleName, const TableDefinitionOptions& options, QString* lastDefinition)
{
    executeCreateTable(oracle, classicStatement(oracleName, readFieldList(catalog, mysqlName), options),
                       lastDefinition);
}

}  // namespace dovrelle
