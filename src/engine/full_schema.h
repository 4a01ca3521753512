#pragma once

#include "engine/create_table_statement.h"
#include "engine/mysql_schema_details.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

namespace dovrelle {

class MySqlConnection;
class OracleConnection;
class LoggedStep;
class RunLog;
class StepRunner;

struct FullSchemaContext {
    MySqlConnection& catalog;
    OracleConnection& oracle;
    RunLog& log;
    bool nameUpperCase = true;
    bool blobToText = false;
    int maxNameBytes = 30;  // the server's identifier limit in UTF-8 bytes
    StepRunner* steps = nullptr;  // runs and logs each step; a failed one fails its table
};

// "Keep full schema": exact types, defaults and the identity column in the CREATE TABLE; NOT
// NULL, the identity's next value, enum checks and comments after a table's rows; foreign keys
// and CHECK constraints after all tables.
class FullSchema {
public:
    explicit FullSchema(FullSchemaContext context);

    // Builds and executes the CREATE TABLE as the step `step`, whose notes say what could not be
    // carried over exactly. Throws Error when a name cannot be an Oracle name, when MySQL's
    // definition cannot be read or when Oracle refuses the statement.
    void createTable(const QString& mysqlName, const QString& oracleName, QString* lastDefinition,
                     LoggedStep& step);
    // After the rows of a table this run created.
    void afterRows(const QString& oracleName);
    // Before an Overwrite drops `oracleName` with CASCADE CONSTRAINTS: the foreign keys of other
    // tables that reference it are read from the catalog, to be added again after all tables.
    void beforeDrop(const QString& oracleName);
    // After the last table: the foreign keys between the tables this run created, parents first,
    // and the CHECK constraints of those tables.
    void afterAllTables();

private:
    struct CreatedTable {
        QString mysqlName;
        QString oracleName;
        TableDetails details;
        QStringList oracleColumns;  // Oracle column names, in order
        QStringList oracleTypes;
        int identityColumn = -1;
        QList<CheckDetails> checks;
        QList<UniqueKeyDetails> uniqueKeys;
    };

    struct DroppedForeignKey {
        QString name;
        QString childTable;
        QString parentTable;
        QStringList columns;
        QStringList parentColumns;
        QString deleteRule;
    };

    QList<QStringList> catalogRows(const QString& query);
    QStringList constraintColumns(const QString& constraintName);
    void addDroppedForeignKeysAgain();
    const CreatedTable* createdByMysqlName(const QString& mysqlName) const;
    const CreatedTable* createdByOracleName(const QString& oracleName) const;
    // The full-schema column rule: each column's type (chosen by oracleColumnTypes) with its identity
    // or default, for the one CREATE TABLE builder.
    QList<OracleColumnDefinition> columnDefinitions(CreatedTable& table, QStringList& notes) const;
    QStringList oracleColumnTypes(const CreatedTable& table, QStringList& notes) const;
    void addNotNullConstraints(const CreatedTable& table);
    void explainNullableColumns(const CreatedTable& table, const QList<qsizetype>& columns);
    void addUniqueConstraints(const CreatedTable& table);
    void continueIdentity(const CreatedTable& table);
    void addEnumChecks(const CreatedTable& table);
    void addComments(const CreatedTable& table);
    void addForeignKeys();
    void addCheckConstraints();
    // Runs a group of statements under one log line ("Add not null constraints to T...Done");
    // each failure adds Oracle's message (with `labels[i]`) under it and counts for the table.
    void runGroup(const QString& line, const QString& oracleName, const QStringList& statements,
                  const QStringList& labels);
    void runOne(const QString& line, const QString& oracleName, const QString& statement);
    QString uniqueConstraintName(const QString& name);
    // The Oracle name of a MySQL constraint or key: upper-cased, cut to the server's limit and free
    // in the schema. A name Oracle cannot quote is replaced by `fallback`, with a line naming it.
    QString constraintName(const QString& mysqlName, const QString& fallback, const QString& what);
    QString oracleColumn(const QString& mysqlColumn) const;

    FullSchemaContext context_;
    QList<CreatedTable> created_;
    QSet<QString> namesGiven_;
    QList<DroppedForeignKey> droppedKeys_;  // dropped with a parent this run overwrote  // constraint names chosen, some not yet sent to Oracle
};

}  // namespace dovrelle
