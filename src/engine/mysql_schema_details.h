#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace dovrelle {

class MySqlConnection;

// What information_schema says about one column, beyond the field list.
struct ColumnDetails {
    QString name;
    QString type;                   // COLUMN_TYPE: "int(10) unsigned", "enum('a','b')"
    bool notNull = false;
    std::optional<QString> defaultValue;  // COLUMN_DEFAULT as the server lists it
    QString extra;                  // EXTRA: "auto_increment", "on update current_timestamp()" ...
    QString comment;
    qint64 octetLength = 0;         // CHARACTER_OCTET_LENGTH: the most bytes a value can take
};

struct TableDetails {
    QList<ColumnDetails> columns;   // in the table's order
    QString comment;                // TABLE_COMMENT
    // The counter: the next value MySQL would give (a bigint unsigned one may pass 2^63-1).
    std::optional<quint64> autoIncrement;
    bool mariaDb = false;           // MariaDB lists literal defaults quoted, MySQL does not
};

// Reads the details of a table of the connection's current database. Throws Error with the
// server's message.
TableDetails readTableDetails(MySqlConnection& catalog, const QString& mysqlName);

// A text as an SQL expression of MySQL that needs no escaping: CONVERT(X'...' USING utf8mb4).
QString mysqlTextLiteral(const QString& text);

struct ForeignKeyDetails {
    QString name;
    QString table;                  // the MySQL table that holds the key
    QStringList columns;
    QString referencedTable;
    QStringList referencedColumns;
    QString deleteRule;             // CASCADE, SET NULL, RESTRICT, NO ACTION, SET DEFAULT
    QString updateRule;
};

// Every foreign key of the current database whose referenced table is in the same database.
QList<ForeignKeyDetails> readForeignKeys(MySqlConnection& catalog);

struct CheckDetails {
    QString name;                   // MariaDB names a column's own check after the column
    QString table;
    QString clause;                 // the condition as the server keeps it
    bool enforced = true;           // false for MySQL 8's NOT ENFORCED
};

// The CHECK constraints of one table, read from SHOW CREATE TABLE, where the server keeps their
// literals whole (information_schema.CHECK_CONSTRAINTS is utf8mb3 and answers '?' for others).
QList<CheckDetails> readCheckConstraints(MySqlConnection& catalog, const QString& mysqlName);

// The checks of a CREATE TABLE text as SHOW CREATE TABLE prints it.
QList<CheckDetails> checksOfCreateTable(const QString& createTable, const QString& mysqlName);

struct UniqueKeyDetails {
    QString name;
    QStringList columns;
    bool prefix = false;            // a column is indexed only by its start
};

// The UNIQUE keys of one table (not the primary key), from SHOW INDEX.
QList<UniqueKeyDetails> readUniqueKeys(MySqlConnection& catalog, const QString& mysqlName);

// The longest value in bytes of each of the named columns of a table (one query); -1 for a column
// without values.
QList<qint64> longestValueBytes(MySqlConnection& catalog, const QString& mysqlName, const QStringList& columns);

// A WHERE condition that matches `column` (an information_schema name column) to `name` exactly,
// letter case included, whatever lower_case_table_names says.
QString exactNameMatch(const QString& column, const QString& name);

}  // namespace dovrelle
