#pragma once

#include "engine/create_table_statement.h"

#include <QList>
#include <QString>

namespace dovrelle {

class MySqlConnection;
class OracleConnection;

struct TableDefinitionOptions {
    bool nameUpperCase = true;  // applyNameCase on column names
    bool blobToText = false;    // columns that would be BLOBs become CLOBs
    int nameBytes = 30;         // the server's identifier limit in bytes (column names are cut to it)
};

// One row of "show FIELDS from": the column name and its MySQL type text.
struct SourceColumn {
    QString name;
    QString type;
};

// The number inside the parentheses of a MySQL type text ("varchar(255)" gives 255); 0 when there
// are no parentheses or the text starts with one. Throws Error "'x' is not a valid integer value"
// when the parentheses hold no plain integer.
int declaredLength(const QString& mysqlType);

// The classic column rule: what follows a column's name in the CREATE TABLE, the mapped type and a
// blank.
QString classicColumnDefinition(const QString& mysqlType, const TableDefinitionOptions& options);

// The column line: the column name after the name case in double quotes, a blank, the mapped
// type, a blank. The caller cuts the name to 30 characters first; a name Oracle cannot quote
// throws Error.
QString mapColumnType(const QString& columnName, const QString& mysqlType,
                      const TableDefinitionOptions& options);

// The field list of the MySQL table, in the server's order, from "show FIELDS from `name`".
// Throws Error with the server's message when it cannot be read.
QList<SourceColumn> readFieldList(MySqlConnection& catalog, const QString& mysqlName);

// The CREATE TABLE text for the Oracle table `oracleName` with these columns (empty when a name
// cannot be an Oracle name).
QString createTableText(const QString& oracleName, const QList<SourceColumn>& columns,
                        const TableDefinitionOptions& options);

// Reads the field list over the catalog connection and builds the CREATE TABLE text.
QString buildCreateTable(MySqlConnection& catalog, const QString& mysqlName,
                         const QString& oracleName, const TableDefinitionOptions& options);

// Executes a CREATE TABLE of either mapping. `lastDefinition`, when given, receives the text. Throws
// Error with the name problem when a name cannot be an Oracle identifier, or with Oracle's message
// when Oracle refuses the statement.
void executeCreateTable(OracleConnection& oracle, const CreateTableStatement& statement,
                        QString* lastDefinition);

// Builds the definition and executes it on Oracle. Throws Error with the server's message when the
// field list cannot be read, and as executeCreateTable does. `lastDefinition`, when given, receives
// the text built.
void createTable(OracleConnection& oracle, MySqlConnection& catalog, const QString& mysqlName,
                 const QString& oracleName, const TableDefinitionOptions& options,
                 QString* lastDefinition = nullptr);

}  // namespace dovrelle
