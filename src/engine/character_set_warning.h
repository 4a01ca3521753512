#pragma once

#include <QList>
#include <QString>

namespace dovrelle {

// The run's warning line about an Oracle database whose character set (NLS_CHARACTERSET) is not
// AL32UTF8: which characters such a database replaces or stores in more bytes. Empty for
// AL32UTF8, and for a set the server would not tell.
QString characterSetWarning(const QString& databaseCharacterSet);

struct ColumnCharacterSet;

// Whether every character of a column's MySQL character set reaches the client unchanged through a
// connection that uses `connectionSet` (the server replaces what the connection's set lacks by
// '?'). An unknown connection set, "binary" (each text comes in its column's own set) and a
// column that holds no text carry everything.
bool connectionCarries(const QString& connectionSet, const QString& columnSet);

// The warning line, written before a table's rows are copied, naming the table's columns whose
// characters the connection's character set cannot carry; empty when it carries them all.
QString connectionCharacterSetWarning(const QString& connectionSet, const QString& mysqlTable,
                                      const QList<ColumnCharacterSet>& columns);

}  // namespace dovrelle
