#include "engine/mysql_schema_details.h"

#include "db/error.h"
#include "db/mysql_query.h"
#include "db/utf8_text.h"
#include "engine/name_rules.h"

#include <QRegularExpression>
#include <QScopeGuard>
#include <QStringList>

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
    details.mariaDb = serverIsMariaDb(catalog);
    MySqlQuery columns(catalog);
    columns.open(QStringLiteral("select COLUMN_NAME, COLUMN_TYPE, IS_NULLABLE, COLUMN_DEFAULT, EXTRA, COLUMN_COMMENT, "
                                "CHARACTER_OCTET_LENGTH "
                                "from information_schema.COLUMNS where TABLE_SCHEMA = database() and ")
                 + exactNameMatch(QStringLiteral("TABLE_NAME"), mysqlName) + QStringLiteral(" order by ORDINAL_POSITION"));
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
        if (!columns.valueAt(6).isNull())
            column.octetLength = columns.intAt(6);
        details.columns.append(column);
    }
    columns.close();

    MySqlQuery table(catalog);
    table.open(QStringLiteral("select TABLE_COMMENT, AUTO_INCREMENT from information_schema.TABLES "
                              "where TABLE_SCHEMA = database() and ") + exactNameMatch(QStringLiteral("TABLE_NAME"), mysqlName));
    if (!table.atEnd()) {
        details.comment = textOf(table.valueAt(0));
        if (table.valueAt(1).kind() != Value::Kind::Null) {
            bool ok = false;
            details.autoIncrement = table.textAt(1).toULongLong(&ok);
            if (!ok)
                throw Error(QStringLiteral("The AUTO_INCREMENT counter of %1 is no whole number: %2")
                                .arg(mysqlName, table.textAt(1)));
        }
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
        "and binary r.CONSTRAINT_NAME = binary k.CONSTRAINT_NAME and binary r.TABLE_NAME = binary k.TABLE_NAME "
        "where k.TABLE_SCHEMA = database() and k.REFERENCED_TABLE_SCHEMA = database() "
        "order by binary k.TABLE_NAME, binary k.CONSTRAINT_NAME, k.ORDINAL_POSITION"));
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

QString exactNameMatch(const QString& column, const QString& name)
{
    // The first comparison lets the server open only the named table; the binary one decides.
    return QStringLiteral("%1 = %2 and binary %1 = X'%3'")
        .arg(column, mysqlTextLiteral(name), QString::fromLatin1(name.toUtf8().toHex()));
}

namespace {

// Moves `i` past the quoted run that starts at text[i] (', " or `), backslash escapes and doubled
// quotes included.
void skipQuoted(const QString& text, qsizetype& i)
{
    const QChar quote = text[i];
    for (++i; i < text.size(); ++i) {
        if (text[i] == u'\\' && quote != u'`') {
            ++i;
        } else if (text[i] == quote) {
            if (i + 1 < text.size() && text[i + 1] == quote)
                ++i;
            else {
                ++i;
                return;
            }
        }
    }
}

// The items of the table's definition between its outer parentheses, split at the commas that
// stand outside quotes and inner parentheses.
QStringList definitionItems(const QString& createTable)
{
    QStringList items;
    qsizetype i = 0;
    int depth = 0;
    qsizetype itemStart = -1;
    while (i < createTable.size()) {
        const QChar c = createTable[i];
        if (c == u'\'' || c == u'"' || c == u'`') {
            skipQuoted(createTable, i);
            continue;
        }
        if (c == u'(') {
            if (++depth == 1)
                itemStart = i + 1;
        } else if (c == u')') {
            if (--depth == 0) {
                items.append(createTable.mid(itemStart, i - itemStart).trimmed());
                break;
            }
        } else if (c == u',' && depth == 1) {
            items.append(createTable.mid(itemStart, i - itemStart).trimmed());
            itemStart = i + 1;
        }
        ++i;
    }
    return items;
}

// The name that opens an item (`name`), or an empty text; `i` moves past it.
QString leadingName(const QString& item, qsizetype& i)
{
    while (i < item.size() && item[i].isSpace())
        ++i;
    if (i >= item.size() || item[i] != u'`')
        return QString();
    const qsizetype start = i;
    skipQuoted(item, i);
    return item.mid(start + 1, i - start - 2).replace(QStringLiteral("``"), QStringLiteral("`"));
}

// The condition of the first CHECK (...) of the item from `i` on, outside quotes; empty when none.
// `end` receives the position after its closing parenthesis.
QString checkCondition(const QString& item, qsizetype i, qsizetype& end)
{
    while (i < item.size()) {
        const QChar c = item[i];
        if (c == u'\'' || c == u'"' || c == u'`') {
            skipQuoted(item, i);
            continue;
        }
        const bool wordStart = i == 0 || !(item[i - 1].isLetterOrNumber() || item[i - 1] == u'_');
        if (wordStart && item.mid(i, 5).compare(QLatin1StringView("CHECK"), Qt::CaseInsensitive) == 0) {
            qsizetype open = i + 5;
            while (open < item.size() && item[open].isSpace())
                ++open;
            if (open < item.size() && item[open] == u'(') {
                int depth = 0;
                for (qsizetype j = open; j < item.size();) {
                    const QChar d = item[j];
                    if (d == u'\'' || d == u'"' || d == u'`') {
                        skipQuoted(item, j);
                        continue;
                    }
                    if (d == u'(')
                        ++depth;
                    else if (d == u')' && --depth == 0) {
                        end = j + 1;
                        return item.mid(open + 1, j - open - 1).trimmed();
                    }
                    ++j;
                }
                return QString();
            }
        }
        ++i;
    }
    return QString();
}

}  // namespace

QList<CheckDetails> checksOfCreateTable(const QString& createTable, const QString& mysqlName)
{
    QList<CheckDetails> checks;
    for (const QString& item : definitionItems(createTable)) {
        qsizetype i = 0;
        QString name = leadingName(item, i);
        if (name.isEmpty() && item.startsWith(QLatin1StringView("CONSTRAINT"), Qt::CaseInsensitive)) {
            i = 10;
            name = leadingName(item, i);
        }
        qsizetype end = 0;
        const QString condition = checkCondition(item, i, end);
        // MySQL 8 writes a check it keeps but does not enforce as /*!80016 NOT ENFORCED */.
        static const QRegularExpression notEnforced(QStringLiteral(R"(^\s*(/\*!\d+\s+)?NOT\s+ENFORCED\b)"),
                                                   QRegularExpression::CaseInsensitiveOption);
        const bool enforced = !notEnforced.match(item.mid(end)).hasMatch();
        if (!condition.isEmpty())
            checks.append({name, mysqlName, condition, enforced});
    }
    return checks;
}

namespace {

QString sessionSqlMode(MySqlConnection& catalog)
{
    MySqlQuery query(catalog);
    query.open(QStringLiteral("select @@session.sql_mode"));
    const QString mode = query.atEnd() ? QString() : query.textAt(0);
    query.close();
    return mode;
}

void setSessionSqlMode(MySqlConnection& catalog, const QString& mode)
{
    MySqlQuery query(catalog);
    query.open(QStringLiteral("set session sql_mode = ") + mysqlTextLiteral(mode));
    query.close();
}

// SHOW CREATE TABLE in the quoting the parser reads: with ANSI_QUOTES in the session's sql_mode the
// server writes names in double quotes, so the mode is taken out for the read and put back after.
QString showCreateTable(MySqlConnection& catalog, const QString& mysqlName)
{
    const QString mode = sessionSqlMode(catalog);
    QStringList modes = mode.split(u',', Qt::SkipEmptyParts);
    const bool ansiQuotes = modes.removeAll(QStringLiteral("ANSI_QUOTES")) > 0;
    if (ansiQuotes)
        setSessionSqlMode(catalog, modes.join(u','));
    const auto restore = qScopeGuard([&] {
        if (!ansiQuotes)
            return;
        try {
            setSessionSqlMode(catalog, mode);
        } catch (const Error&) {
            // a connection lost here fails the next statement, which says so
        }
    });
    MySqlQuery query(catalog);
    query.open(QStringLiteral("show create table ") + mysqlQuotedName(mysqlName));
    const QString createTable = query.atEnd() ? QString() : textOf(query.valueAt(1));
    query.close();
    return createTable;
}

}  // namespace

QList<CheckDetails> readCheckConstraints(MySqlConnection& catalog, const QString& mysqlName)
{
    return checksOfCreateTable(showCreateTable(catalog, mysqlName), mysqlName);
}

QList<UniqueKeyDetails> readUniqueKeys(MySqlConnection& catalog, const QString& mysqlName)
{
    QList<UniqueKeyDetails> keys;
    MySqlQuery listing(catalog);
    listing.open(QStringLiteral("show index from ") + mysqlQuotedName(mysqlName));
    const int nonUnique = listing.fieldIndex(QStringLiteral("Non_unique"));
    const int keyName = listing.fieldIndex(QStringLiteral("Key_name"));
    const int column = listing.fieldIndex(QStringLiteral("Column_name"));
    const int prefix = listing.fieldIndex(QStringLiteral("Sub_part"));
    for (; !listing.atEnd(); listing.next()) {
        const QString name = listing.textAt(keyName);
        if (listing.textAt(nonUnique) != u"0" || name == u"PRIMARY")
            continue;
        if (keys.isEmpty() || keys.last().name != name)
            keys.append({name, {}, false});
        keys.last().columns.append(listing.textAt(column));
        if (prefix >= 0 && !listing.valueAt(prefix).isNull())
            keys.last().prefix = true;
    }
    listing.close();
    return keys;
}

QList<qint64> longestValueBytes(MySqlConnection& catalog, const QString& mysqlName, const QStringList& columns)
{
    QStringList measures;
    for (const QString& column : columns)
        measures.append(QStringLiteral("max(length(%1))").arg(mysqlQuotedName(column)));
    MySqlQuery query(catalog);
    query.open(QStringLiteral("select ") + measures.join(u',') + QStringLiteral(" from ") + mysqlQuotedName(mysqlName));
    QList<qint64> longest;
    for (qsizetype i = 0; i < columns.size(); ++i)
        longest.append(query.atEnd() || query.valueAt(int(i)).isNull() ? -1 : query.intAt(int(i)));
    query.close();
    return longest;
}

}  // namespace dovrelle
