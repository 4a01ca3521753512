#include "engine/mysql_schema_details.h"

#include "db/error.h"
#include "db/mysql_query.h"
#include "db/utf8_text.h"

namespace dovrelle {

namespace {

// Defaults and comments are data: a U+FEFF at their start stays.
QString textOf(const Value& value)
{
    return value.kind() == Value::Kind::Bytes ? decodeUtf8KeepingBom(value.asBytes()) : value.toText();
}

bool serverIsMariaDb(MySqlConnection& catalog)
{
    MySqlQuery query(catalog);
    query.open(QStringLiteral("select version()"));
    const bool maria = !query.atEnd() && query.textAt(0).contains(QLatin1StringView("MariaDB"), Qt::CaseInsensitive);
    query.close();
    return maria;
}

}  // namespace

QString mysqlTextLiteral(const QString& text)
{
    if (text.isEmpty())
        return QStringLiteral("''");
    return QStringLiteral("CONVERT(X'") + QString::fromLatin1(text.toUtf8().toHex()) + QStringLiteral("' USING utf8mb4)");
}

TableDetails readTableDetails(MySqlConnection& catalog, const QString& mysqlName)
{
    TableDetails details;
    // BINARY: on a server that tells Mixed from MIXED, only the table of exactly this name.
    details.mariaDb = serverIsMariaDb(catalog);
    MySqlQuery columns(catalog);
    columns.open(QStringLiteral("select COLUMN_NAME, COLUMN_TYPE, IS_NULLABLE, COLUMN_DEFAULT, EXTRA, COLUMN_COMMENT "
                                "from information_schema.COLUMNS where TABLE_SCHEMA = database() and TABLE_NAME = BINARY ")
                 + mysqlTextLiteral(mysqlName) + QStringLiteral(" order by ORDINAL_POSITION"));
    for (; !columns.atEnd(); columns.next()) {
        ColumnDetails column;
        column.name = textOf(columns.valueAt(0));
        column.type = textOf(columns.valueAt(1));
        column.notNull = columns.textAt(2) == u"NO";
        const Value defaultValue = columns.valueAt(3);
        if (defaultValue.kind() != Value::Kind::Null)
            column.defaultValue = textOf(defaultValue);
        column.extra = textOf(columns.valueAt(4));
        column.comment = textOf(columns.valueAt(5));
        details.columns.append(column);
    }
    columns.close();

    MySqlQuery table(catalog);
    table.open(QStringLiteral("select TABLE_COMMENT, AUTO_INCREMENT from information_schema.TABLES "
                              "where TABLE_SCHEMA = database() and TABLE_NAME = BINARY ") + mysqlTextLiteral(mysqlName));
    if (!table.atEnd()) {
        details.comment = textOf(table.valueAt(0));
        if (table.valueAt(1).kind() != Value::Kind::Null)
            details.autoIncrement = table.intAt(1);
    }
    table.close();
    return details;
}

QList<ForeignKeyDetails> readForeignKeys(MySqlConnection& catalog)
{
    QList<ForeignKeyDetails> keys;
    MySqlQuery query(catalog);
    query.open(QStringLiteral(
        "select k.CONSTRAINT_NAME, k.TABLE_NAME, k.COLUMN_NAME, k.REFERENCED_TABLE_NAME, k.REFERENCED_COLUMN_NAME, "
        "r.DELETE_RULE, r.UPDATE_RULE from information_schema.KEY_COLUMN_USAGE k "
        "join information_schema.REFERENTIAL_CONSTRAINTS r on r.CONSTRAINT_SCHEMA = k.CONSTRAINT_SCHEMA "
        "and r.CONSTRAINT_NAME = k.CONSTRAINT_NAME and r.TABLE_NAME = k.TABLE_NAME "
        "where k.TABLE_SCHEMA = database() and k.REFERENCED_TABLE_SCHEMA = database() "
        "order by k.TABLE_NAME, k.CONSTRAINT_NAME, k.ORDINAL_POSITION"));
    for (; !query.atEnd(); query.next()) {
        const QString name = textOf(query.valueAt(0));
        const QString table = textOf(query.valueAt(1));
        if (keys.isEmpty() || keys.last().name != name || keys.last().table != table) {
            ForeignKeyDetails key;
            key.name = name;
            key.table = table;
            key.referencedTable = textOf(query.valueAt(3));
            key.deleteRule = textOf(query.valueAt(5));
            key.updateRule = textOf(query.valueAt(6));
            keys.append(key);
        }
        keys.last().columns.append(textOf(query.valueAt(2)));
        keys.last().referencedColumns.append(textOf(query.valueAt(4)));
    }
    query.close();
    return keys;
}

QList<CheckDetails> readCheckConstraints(MySqlConnection& catalog)
{
    QList<CheckDetails> checks;
    MySqlQuery query(catalog);
    // MariaDB lists the table in CHECK_CONSTRAINTS; MySQL only in TABLE_CONSTRAINTS.
    const QString mariaDbForm = QStringLiteral(
        "select CONSTRAINT_NAME, TABLE_NAME, CHECK_CLAUSE from information_schema.CHECK_CONSTRAINTS "
        "where CONSTRAINT_SCHEMA = database() order by TABLE_NAME, CONSTRAINT_NAME");
    const QString mySqlForm = QStringLiteral(
        "select c.CONSTRAINT_NAME, t.TABLE_NAME, c.CHECK_CLAUSE from information_schema.CHECK_CONSTRAINTS c "
        "join information_schema.TABLE_CONSTRAINTS t on t.CONSTRAINT_SCHEMA = c.CONSTRAINT_SCHEMA "
        "and t.CONSTRAINT_NAME = c.CONSTRAINT_NAME and t.CONSTRAINT_TYPE = 'CHECK' "
        "where c.CONSTRAINT_SCHEMA = database() order by t.TABLE_NAME, c.CONSTRAINT_NAME");
    try {
        query.open(mariaDbForm);
    } catch (const Error&) {
        try {
            query.open(mySqlForm);
        } catch (const Error&) {
            return checks;  // a server without CHECK constraints
        }
    }
    for (; !query.atEnd(); query.next())
        checks.append({textOf(query.valueAt(0)), textOf(query.valueAt(1)), textOf(query.valueAt(2))});
    query.close();
    return checks;
}

}  // namespace dovrelle
