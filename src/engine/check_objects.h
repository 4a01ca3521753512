#pragma once

#include "engine/check_catalog.h"
#include "engine/conversion_check.h"
#include "engine/mysql_schema_details.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace dovrelle {

class MySqlConnection;

struct ListedTable {
    bool isView = false;
    qint64 estimatedRows = 0;  // TABLE_ROWS
    qint64 bytes = 0;          // DATA_LENGTH + INDEX_LENGTH
};

// A named object of the database that the run does not carry, and its kind and table.
struct ListedObject {
    QString kind;  // one of CheckKind's
    QString name;
    QString detail;
};

// What the check reads once for the whole database.
struct DatabaseCatalog {
    QHash<QString, ListedTable> tables;                          // by MySQL name, views included
    QHash<QPair<QString, QString>, QString> columnCharacterSets;  // (table, column) -> character set
    QList<ListedObject> unconvertedObjects;                      // triggers, routines, events
    QList<ForeignKeyDetails> foreignKeys;                        // read with "Keep full schema" only
    QList<CheckDetails> checks;                                  // read with "Keep full schema" only
};

// Reads the database's tables, sizes, column character sets, triggers, routines and events (and,
// with `fullSchema`, its foreign keys and CHECK constraints). Throws Error with the server's message.
DatabaseCatalog readDatabaseCatalog(MySqlConnection& catalog, bool fullSchema);

// Views that are not chosen, triggers, routines and events: none of them reaches Oracle.
QList<CheckFinding> otherObjectFindings(const DatabaseCatalog& database, const QStringList& chosenTables);

// True when the run can write the CHECK constraint as an Oracle condition.
bool canCarryCheck(const CheckDetails& check, const CatalogCheckOptions& options);

// What of a foreign key's rules Oracle has no counterpart for, or an empty text.
QString foreignKeyRuleLoss(const ForeignKeyDetails& key);

}  // namespace dovrelle
