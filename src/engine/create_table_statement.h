#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace dovrelle {

// One column of an Oracle table to create: its Oracle name and what follows the name (the type and
// any clauses), as the column rule in use wrote it.
struct OracleColumnDefinition {
    QString name;
    QString definition;
};

// Why a table cannot be created under these names (the table's, then each column's in order), or an
// empty text.
QString tableNamesProblem(const QString& oracleTable, const QStringList& oracleColumns);

struct CreateTableStatement {
    QString text;     // empty when the names cannot be Oracle names
    QString problem;  // tableNamesProblem's text
};

// The one CREATE TABLE text of both mappings: `Create table "T" (`, then each column on a line of its
// own (CR LF before it) as its quoted name, a blank and its definition, the columns separated by
// " , ", and " ) " at the end. The classic and the full-schema column rules differ only in the
// definitions they hand in.
CreateTableStatement createTableStatement(const QString& oracleTable, const QList<OracleColumnDefinition>& columns);

}  // namespace dovrelle
