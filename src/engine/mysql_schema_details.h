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
    QString name;
    QString table;
    QString clause;                 // the condition as the server lists it
};

// The CHECK constraints of the current database (MariaDB 10.2+, MySQL 8.0.16+; none before).
QList<CheckDetails> readCheckConstraints(MySqlConnection& catalog);

}  // namespace dovrelle
