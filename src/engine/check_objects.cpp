#include "engine/check_objects.h"

#include "db/mysql_query.h"
#include "engine/check_translation.h"

namespace dovrelle {

namespace {

// Runs a catalog query and hands every row to `take`.
template <typename Take>
void forEachRow(MySqlConnection& catalog, const QString& sql, Take take)
{
    MySqlQuery query(catalog);
    query.open(sql);
    for (; !query.atEnd(); query.next())
        take(query);
    query.close();
}

qint64 integerOrZero(const MySqlQuery& query, int field)
{
    bool ok = false;
    const qint64 value = query.textAt(field).toLongLong(&ok);
    return ok ? value : 0;
}

void readTables(MySqlConnection& catalog, DatabaseCatalog& database)
{
    forEachRow(catalog,
               QStringLiteral("SELECT TABLE_NAME, TABLE_TYPE, TABLE_ROWS, COALESCE(DATA_LENGTH, 0) + "
                              "COALESCE(INDEX_LENGTH, 0) FROM information_schema.TABLES WHERE TABLE_SCHEMA = DATABASE()"),
               [&](const MySqlQuery& row) {
                   database.tables.insert(row.textAt(0), {row.textAt(1) == u"VIEW", integerOrZero(row, 2),
                                                          integerOrZero(row, 3)});
               });
    forEachRow(catalog,
               QStringLiteral("SELECT TABLE_NAME, COLUMN_NAME, CHARACTER_SET_NAME FROM information_schema.COLUMNS "
                              "WHERE TABLE_SCHEMA = DATABASE() AND CHARACTER_SET_NAME IS NOT NULL"),
               [&](const MySqlQuery& row) {
                   database.columnCharacterSets.insert({row.textAt(0), row.textAt(1)}, row.textAt(2));
               });
}

void readUnconvertedObjects(MySqlConnection& catalog, DatabaseCatalog& database)
{
    forEachRow(catalog,
               QStringLiteral("SELECT TRIGGER_NAME, EVENT_OBJECT_TABLE, ACTION_TIMING, EVENT_MANIPULATION "
                              "FROM information_schema.TRIGGERS WHERE TRIGGER_SCHEMA = DATABASE() ORDER BY TRIGGER_NAME"),
               [&](const MySqlQuery& row) {
                   database.unconvertedObjects.append(
                       {CheckKind::TriggerNotCarried, row.textAt(0),
                        QStringLiteral("%1 %2 on %3").arg(row.textAt(2), row.textAt(3), row.textAt(1))});
               });
    forEachRow(catalog,
               QStringLiteral("SELECT ROUTINE_NAME, ROUTINE_TYPE FROM information_schema.ROUTINES "
                              "WHERE ROUTINE_SCHEMA = DATABASE() ORDER BY ROUTINE_NAME"),
               [&](const MySqlQuery& row) {
                   database.unconvertedObjects.append({CheckKind::RoutineNotCarried, row.textAt(0), row.textAt(1).toLower()});
               });
    forEachRow(catalog,
               QStringLiteral("SELECT EVENT_NAME, STATUS FROM information_schema.EVENTS "
                              "WHERE EVENT_SCHEMA = DATABASE() ORDER BY EVENT_NAME"),
               [&](const MySqlQuery& row) {
                   database.unconvertedObjects.append(
                       {CheckKind::EventNotCarried, row.textAt(0), QStringLiteral("event, ") + row.textAt(1).toLower()});
               });
}

}  // namespace

DatabaseCatalog readDatabaseCatalog(MySqlConnection& catalog, bool fullSchema)
{
    DatabaseCatalog database;
    readTables(catalog, database);
    readUnconvertedObjects(catalog, database);
    if (fullSchema) {
        database.foreignKeys = readForeignKeys(catalog);
        for (auto it = database.tables.cbegin(); it != database.tables.cend(); ++it)
            if (!it->isView)
                database.checks += readCheckConstraints(catalog, it.key());
    }
    return database;
}

QList<CheckFinding> otherObjectFindings(const DatabaseCatalog& database, const QStringList& chosenTables)
{
    QList<CheckFinding> findings;
    QStringList views;
    for (auto it = database.tables.cbegin(); it != database.tables.cend(); ++it)
        if (it->isView && !chosenTables.contains(it.key()))
            views.append(it.key());
    views.sort();
    for (const QString& view : views)
        findings.append({CheckKind::ViewAsTable, QStringLiteral("view ") + view,
                         QStringLiteral("not among the chosen tables, so not carried (a chosen view is copied as a table)"), -1, {}});
    for (const ListedObject& object : database.unconvertedObjects)
        findings.append({object.kind, object.name, object.detail + QStringLiteral(": not carried"), -1, {}});
    return findings;
}

bool canCarryCheck(const CheckDetails& check, const CatalogCheckOptions& options)
{
    return !oracleCheckCondition(check.clause, options.nameUpperCase, options.maxNameBytes).isEmpty();
}

QString foreignKeyRuleLoss(const ForeignKeyDetails& key)
{
    QStringList lost;
    if (key.deleteRule == u"SET DEFAULT")
        lost.append(QStringLiteral("ON DELETE SET DEFAULT"));
    if (key.updateRule != u"RESTRICT" && key.updateRule != u"NO ACTION")
        lost.append(QStringLiteral("ON UPDATE ") + key.updateRule);
    if (lost.isEmpty())
        return {};
    return lost.join(QStringLiteral(", ")) + QStringLiteral(" has no Oracle counterpart: not carried");
}

}  // namespace dovrelle
