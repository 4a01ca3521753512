#pragma once

#include "engine/conversion_profile.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace dovrelle {

class MySqlConnection;
class OracleConnection;

// One thing that would not arrive in Oracle exactly, or would fail.
struct CheckFinding {
    QString kind;            // one of the kinds below, e.g. "zero dates"
    QString object;          // what it concerns: "column born", "index idx_a", a view's name
    QString detail;          // what the conversion would do with it
    qint64 count = -1;       // rows concerned (data findings); -1 for catalog findings
    QStringList exampleKeys; // up to five primary-key values of such rows
};

// The kinds of finding, as the check's output and the report show them.
namespace CheckKind {
inline const QString TableMissing = QStringLiteral("table missing");
inline const QString NameCut = QStringLiteral("name cut");
inline const QString NameSuffixed = QStringLiteral("name suffixed");
inline const QString NameCollision = QStringLiteral("name collision");
inline const QString NameRefused = QStringLiteral("name refused");
inline const QString TypeLoss = QStringLiteral("type with loss");
inline const QString ZeroDates = QStringLiteral("zero dates");
inline const QString EmptyStrings = QStringLiteral("empty strings");
inline const QString EmptyStringsNotNull = QStringLiteral("empty strings in NOT NULL column");
inline const QString TooLongForVarchar2 = QStringLiteral("over 4000 bytes");
inline const QString CharacterSetLoss = QStringLiteral("characters the connection cannot carry");
inline const QString BeyondNumberRange = QStringLiteral("beyond NUMBER's range");
inline const QString RepeatedIndex = QStringLiteral("index refused (ORA-01408)");
inline const QString PrefixIndex = QStringLiteral("prefix index");
inline const QString KeyTooWide = QStringLiteral("key too wide");
inline const QString LobInKey = QStringLiteral("LOB column in key");
inline const QString UniqueBecomesPlain = QStringLiteral("unique key becomes plain index");
inline const QString DefaultNotCarried = QStringLiteral("default not carried");
inline const QString CheckNotCarried = QStringLiteral("check not carried");
inline const QString ForeignKeyNotCarried = QStringLiteral("foreign key not carried");
inline const QString ForeignKeyOutside = QStringLiteral("foreign key to a table outside the run");
inline const QString NoIdentity = QStringLiteral("AUTO_INCREMENT without identity");
inline const QString ViewAsTable = QStringLiteral("view copied as table");
inline const QString TriggerNotCarried = QStringLiteral("trigger not carried");
inline const QString RoutineNotCarried = QStringLiteral("routine not carried");
inline const QString EventNotCarried = QStringLiteral("event not carried");
}  // namespace CheckKind

// What the check found about one chosen table.
struct TableCheck {
    QString mysqlName;
    QString oracleName;      // the name the run would give it (empty when it gets none)
    qint64 rows = 0;         // counted by the data pass, else MySQL's estimate
    bool rowsCounted = false;
    qint64 bytes = 0;        // data and index bytes as MySQL reports them
    QList<CheckFinding> findings;
};

struct ConversionCheck {
    QList<TableCheck> tables;          // in the order of the chosen tables
    QList<CheckFinding> otherObjects;  // views, triggers, routines and events of the database
    qint64 estimatedSeconds = 0;       // of the conversion, from rows and bytes
    qint64 checkMilliseconds = 0;

    int findingCount() const;
};

// The connections a check reads from; it writes to none of them.
struct CheckConnections {
    MySqlConnection& catalog;  // on the chosen database: catalog and aggregate queries
    MySqlConnection& data;     // with the profile's character set: what the copy would read through
    OracleConnection& oracle;  // existing tables and the identifier limit
};

// Examines the profile's chosen tables under its options without writing to Oracle. The data
// findings come from one aggregate query per table that MySQL runs itself, and none for a table
// whose columns have no type a data finding concerns. Throws Error when a catalog or a query
// cannot be read.
ConversionCheck checkConversion(const ConversionProfile& profile, CheckConnections connections);

// Opens the three connections from the profile, checks, closes them. Throws Error when a
// connection cannot be opened or the check fails.
ConversionCheck checkConversion(const ConversionProfile& profile);

// The findings as text lines, one table after the other, for a terminal.
QStringList checkTextLines(const ConversionCheck& check);

}  // namespace dovrelle
