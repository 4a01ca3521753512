#pragma once

#include "engine/conversion_check.h"
#include "engine/mysql_schema_details.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace dovrelle {

class MySqlConnection;

// The options of the profile that decide what the catalog becomes in Oracle.
struct CatalogCheckOptions {
    bool nameUpperCase = true;
    bool blobToText = false;
    bool fullSchema = false;
    bool skipIndex = false;
    int maxNameBytes = 30;  // the Oracle server's identifier limit in bytes
};

// The Oracle name the run gives a column: cut to the identifier limit, then the name case.
QString checkedOracleColumnName(const QString& mysqlColumn, const CatalogCheckOptions& options);

// The Oracle type the run gives a column under the chosen mapping ("varchar2(20)", "BLOB",
// "NUMBER(10)"), without the blanks the CREATE TABLE text puts around it.
QString checkedOracleType(const QString& mysqlType, const CatalogCheckOptions& options);

// Column names cut, colliding or refused; types with loss; with "Keep full schema" defaults and
// ON UPDATE clauses not carried and an AUTO_INCREMENT column that cannot become an identity.
QList<CheckFinding> columnFindings(const TableDetails& details, const CatalogCheckOptions& options);

// The indexes of one table as the run would translate them.
struct IndexCheck {
    QList<CheckFinding> findings;
    QStringList keyColumns;  // MySQL columns of the primary key, else of the first unique key
};

// Reads "show index from" and finds indexes Oracle will refuse (a repeated column list, a LOB
// column, a too wide key), prefix indexes, unique keys that become plain indexes, index names
// cut or refused. `oracleTypes` maps each MySQL column to its Oracle type. `takenIndexNames`
// holds the index names earlier tables of the run take; this table's are added.
IndexCheck indexFindings(MySqlConnection& catalog, const QString& mysqlName,
                         const QHash<QString, QString>& oracleTypes, const CatalogCheckOptions& options,
                         QHash<QString, QString>& takenIndexNames);

}  // namespace dovrelle
