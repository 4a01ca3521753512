#include "engine/conversion_check.h"

#include "db/mysql_connection.h"
#include "db/mysql_query.h"
#include "db/oracle_catalog.h"
#include "db/oracle_connection.h"
#include "engine/check_catalog.h"
#include "engine/check_data.h"
#include "engine/check_objects.h"
#include "engine/long_table_names.h"
#include "engine/mysql_schema_details.h"
#include "engine/name_rules.h"

#include <QElapsedTimer>
#include <QHash>
#include <QScopeGuard>
#include <QSet>

namespace dovrelle {

namespace {

// What a conversion into oraemu reaches on the benchmark machine (bench/), for the estimate.
constexpr qint64 kRowsPerSecond = 100000;
constexpr qint64 kBytesPerSecond = 100 * 1000 * 1000;

CheckFinding catalogFinding(const QString& kind, const QString& object, const QString& detail)
{
    return {kind, object, detail, -1, {}};
}

class Check {
public:
    Check(const ConversionProfile& profile, CheckConnections connections)
        : profile_(profile), connections_(connections)
    {
        options_.nameUpperCase = profile.nameuppercase;
        options_.blobToText = profile.blobtotext;
        options_.fullSchema = profile.fullschema;
        options_.skipIndex = profile.skipindex;
        options_.maxNameBytes = connections.oracle.maxIdentifierBytes();
    }

    ConversionCheck run();

private:
    TableCheck checkTable(const QString& mysqlName);
    void checkNames(const QString& mysqlName, TableCheck& table);
    void checkData(const TableDetails& details, const QStringList& keyColumns, TableCheck& table);
    void addRelationFindings(TableCheck& table) const;

    const ConversionProfile& profile_;
    CheckConnections connections_;
    CatalogCheckOptions options_;
    DatabaseCatalog database_;
    QHash<QString, QString> oracleNameOwners_;
    QHash<QString, QString> takenIndexNames_;
};

ConversionCheck Check::run()
{
    QElapsedTimer clock;
    clock.start();
    database_ = readDatabaseCatalog(connections_.catalog, profile_.fullschema);
    ConversionCheck result;
    for (const QString& mysqlName : profile_.tables)
        result.tables.append(checkTable(mysqlName));
    result.otherObjects = otherObjectFindings(database_, profile_.tables);
    for (const TableCheck& table : result.tables)
        result.estimatedSeconds += table.rows / kRowsPerSecond + table.bytes / kBytesPerSecond;
    result.checkMilliseconds = clock.elapsed();
    return result;
}

TableCheck Check::checkTable(const QString& mysqlName)
{
    TableCheck table;
    table.mysqlName = mysqlName;
    const auto listed = database_.tables.constFind(mysqlName);
    if (listed == database_.tables.cend()) {
        table.findings.append(catalogFinding(CheckKind::TableMissing, QStringLiteral("table ") + mysqlName,
                                             QStringLiteral("the database %1 has no such table").arg(profile_.mysqldatabase)));
        return table;
    }
    table.rows = listed->estimatedRows;
    table.bytes = listed->bytes;
    if (listed->isView)
        table.findings.append(catalogFinding(CheckKind::ViewAsTable, QStringLiteral("view ") + mysqlName,
                                             QStringLiteral("its rows are copied into a table")));
    checkNames(mysqlName, table);
    const TableDetails details = readTableDetails(connections_.catalog, mysqlName);
    table.findings.append(columnFindings(details, options_));
    QHash<QString, QString> oracleTypes;
    for (const ColumnDetails& column : details.columns)
        oracleTypes.insert(column.name, checkedOracleType(column.type, options_));
    QStringList keyColumns;
    if (!listed->isView) {
        const IndexCheck indexes = indexFindings(connections_.catalog, mysqlName, oracleTypes, options_, takenIndexNames_);
        table.findings.append(indexes.findings);
        keyColumns = indexes.keyColumns;
    }
    addRelationFindings(table);
    if (!profile_.tabledefonly)
        checkData(details, keyColumns, table);
    return table;
}

// The Oracle table name as the run chooses it: cased, cut with a suffix, claimed once per run.
void Check::checkNames(const QString& mysqlName, TableCheck& table)
{
    const QString object = QStringLiteral("table ") + mysqlName;
    const QString casedName = applyNameCase(mysqlName, options_.nameUpperCase);
    OracleConnection& oracle = connections_.oracle;
    QString oracleName;
    if (needsLongNameSuffix(casedName, options_.maxNameBytes)) {
        oracleName = recordedOracleTable(oracle, casedName, mysqlName);
        if (oracleName.isEmpty())
            oracleName = oracleTableName(
                casedName, [&](const QString& name) { return tableExists(oracle, name, profile_.oracleu); },
                options_.maxNameBytes);
        table.findings.append(catalogFinding(CheckKind::NameSuffixed, object, QStringLiteral("becomes %1").arg(oracleName)));
    } else {
        oracleName = casedName;
    }
    if (const QString problem = oracleIdentifierProblem(oracleName, QStringLiteral("table")); !problem.isEmpty()) {
        table.findings.append(catalogFinding(CheckKind::NameRefused, object, problem));
        return;
    }
    const auto owner = oracleNameOwners_.constFind(oracleName);
    if (owner != oracleNameOwners_.cend()) {
        table.findings.append(catalogFinding(CheckKind::NameCollision, object,
                                             QStringLiteral("%1 also becomes %2: this table is not converted")
                                                 .arg(owner.value(), oracleName)));
        return;
    }
    oracleNameOwners_.insert(oracleName, mysqlName);
    table.oracleName = oracleName;
}

void Check::checkData(const TableDetails& details, const QStringList& keyColumns, TableCheck& table)
{
    DataCheckRequest request;
    request.mysqlName = table.mysqlName;
    request.keyColumns = keyColumns;
    request.connectionCharacterSet = connections_.data.characterSetName();
    for (const ColumnDetails& column : details.columns) {
        const QString oracleType = checkedOracleType(column.type, options_).toUpper();
        request.columns.append({column.name, column.type,
                                database_.columnCharacterSets.value({table.mysqlName, column.name}), column.notNull,
                                oracleType.startsWith(u"VARCHAR2"), oracleType == u"NUMBER"});
    }
    const DataCheckResult data = checkTableData(connections_.data, request);
    if (!data.ran)
        return;
    table.rows = data.rows;
    table.rowsCounted = true;
    table.findings.append(data.findings);
}

// With "Keep full schema": the CHECK constraints and foreign keys the run will not carry.
void Check::addRelationFindings(TableCheck& table) const
{
    if (!profile_.fullschema)
        return;
    for (const CheckDetails& check : database_.checks)
        if (check.table == table.mysqlName && !canCarryCheck(check, options_))
            table.findings.append(catalogFinding(CheckKind::CheckNotCarried, QStringLiteral("check ") + check.name,
                                                 QStringLiteral("Oracle has no counterpart for %1").arg(check.clause)));
    for (const ForeignKeyDetails& key : database_.foreignKeys) {
        if (key.table != table.mysqlName)
            continue;
        const QString object = QStringLiteral("foreign key ") + key.name;
        if (!profile_.tables.contains(key.referencedTable))
            table.findings.append(catalogFinding(CheckKind::ForeignKeyOutside, object,
                                                 QStringLiteral("references %1, which the run does not convert: not carried")
                                                     .arg(key.referencedTable)));
        if (const QString loss = foreignKeyRuleLoss(key); !loss.isEmpty())
            table.findings.append(catalogFinding(CheckKind::ForeignKeyNotCarried, object, loss));
    }
}

}  // namespace

int ConversionCheck::findingCount() const
{
    int count = int(otherObjects.size());
    for (const TableCheck& table : tables)
        count += int(table.findings.size());
    return count;
}

ConversionCheck checkConversion(const ConversionProfile& profile, CheckConnections connections)
{
    return Check(profile, connections).run();
}

ConversionCheck checkConversion(const ConversionProfile& profile)
{
    MySqlConnection catalog;
    MySqlConnection data;
    OracleConnection oracle;
    const auto closeAtEnd = qScopeGuard([&] {
        oracle.close();
        data.close();
        catalog.close();
    });
    catalog.setParameters(catalogConnectionParameters(profile, profile.mysqldatabase));
    catalog.open();
    data.setParameters(dataConnectionParameters(profile));
    data.open();
    oracle.setParameters(OracleConnection::standardParameters(profile.oracleh, profile.oracleu, profile.oraclep));
    oracle.open();
    return checkConversion(profile, {catalog, data, oracle});
}

QStringList checkTextLines(const ConversionCheck& check)
{
    QStringList lines;
    for (const TableCheck& table : check.tables) {
        lines.append(QStringLiteral("Table %1%2: %3 rows%4, %5 bytes")
                         .arg(table.mysqlName,
                              table.oracleName.isEmpty() || table.oracleName == table.mysqlName
                                  ? QString()
                                  : QStringLiteral(" -> ") + table.oracleName,
                              QString::number(table.rows),
                              table.rowsCounted ? QString() : QStringLiteral(" (estimated)"),
                              QString::number(table.bytes)));
        for (const CheckFinding& finding : table.findings) {
            QString line = QStringLiteral("  %1: %2: %3").arg(finding.kind, finding.object, finding.detail);
            if (finding.count >= 0)
                line += QStringLiteral(" (%1 rows").arg(finding.count) +
                        (finding.exampleKeys.isEmpty() ? QString()
                                                       : QStringLiteral(", keys ") + finding.exampleKeys.join(QStringLiteral("; "))) +
                        u')';
            lines.append(line);
        }
    }
    for (const CheckFinding& finding : check.otherObjects)
        lines.append(QStringLiteral("%1: %2: %3").arg(finding.kind, finding.object, finding.detail));
    lines.append(QStringLiteral("%1 findings; estimated conversion time %2 s").arg(check.findingCount()).arg(check.estimatedSeconds));
    return lines;
}

}  // namespace dovrelle
