#include "engine/check_catalog.h"

#include "db/error.h"
#include "db/mysql_query.h"
#include "engine/column_default.h"
#include "engine/exact_types.h"
#include "engine/index_statement.h"
#include "engine/name_rules.h"
#include "engine/table_definition.h"

#include <QRegularExpression>
#include <QSet>

namespace dovrelle {

namespace {

// Oracle refuses a key whose declared widths, one length byte each, pass what an 8 KB block holds.
constexpr int kLongestKeyBytes = 6398;
constexpr int kLargestNumberDigits = 38;

CheckFinding catalogFinding(const QString& kind, const QString& object, const QString& detail)
{
    return {kind, object, detail, -1, {}};
}

QString baseTypeOf(const QString& mysqlType)
{
    return mysqlType.section(u'(', 0, 0).section(u' ', 0, 0).toLower();
}

bool isLobType(const QString& oracleType)
{
    const QString type = oracleType.trimmed().toUpper();
    return type == u"BLOB" || type == u"CLOB" || type == u"NCLOB";
}

int firstNumberIn(const QString& type)
{
    static const QRegularExpression number(QStringLiteral("\\((\\d+)"));
    const QRegularExpressionMatch match = number.match(type);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

// The bytes Oracle counts for a column in a key (its declared width; text in UTF-8 under
// character length semantics), or -1 for a LOB, which no key can hold.
int keyBytesOf(const QString& oracleType)
{
    const QString type = oracleType.trimmed().toUpper();
    if (isLobType(type))
        return -1;
    if (type.startsWith(u"VARCHAR2") || type.startsWith(u"NVARCHAR2"))
        return std::min(firstNumberIn(type) * 4, 4000);
    if (type.startsWith(u"CHAR") || type.startsWith(u"NCHAR"))
        return std::min(firstNumberIn(type) * 4, 2000);
    if (type.startsWith(u"RAW"))
        return firstNumberIn(type);
    if (type.startsWith(u"DATE"))
        return 7;
    if (type.startsWith(u"TIMESTAMP") || type.startsWith(u"INTERVAL"))
        return 11;
    if (type == u"BINARY_DOUBLE")
        return 8;
    if (type == u"BINARY_FLOAT")
        return 4;
    return 22;  // NUMBER
}

// What the classic mapping loses of a MySQL type, or an empty text.
QString classicTypeLoss(const QString& mysqlType, const QString& oracleType)
{
    const QString base = baseTypeOf(mysqlType);
    if (base == u"time")
        return QStringLiteral("%1 becomes DATE: a time of day or a duration is kept as a date").arg(mysqlType);
    if ((base == u"decimal" || base == u"numeric") && firstNumberIn(mysqlType) > kLargestNumberDigits)
        return QStringLiteral("%1 has more than the 38 digits Oracle's NUMBER keeps").arg(mysqlType);
    static const QStringList spatial = {"geometry", "point", "linestring", "polygon", "multipoint",
                                        "multilinestring", "multipolygon", "geometrycollection", "geomcollection"};
    if (spatial.contains(base))
        return QStringLiteral("%1 becomes %2: MySQL's internal binary form, no spatial type").arg(mysqlType, oracleType);
    static const QStringList text = {"char", "varchar", "tinytext", "text", "mediumtext", "longtext"};
    if (text.contains(base) && oracleType.toUpper() == u"BLOB")
        return QStringLiteral("%1 becomes BLOB: the text is kept as bytes").arg(mysqlType);
    return {};
}

bool isAutoIncrement(const ColumnDetails& column)
{
    return column.extra.contains(QLatin1StringView("auto_increment"), Qt::CaseInsensitive);
}

void addNameFindings(const QString& name, const QString& oracleName, const CatalogCheckOptions& options,
                     QSet<QString>& taken, QList<CheckFinding>& findings)
{
    const QString object = QStringLiteral("column ") + name;
    if (const QString problem = oracleIdentifierProblem(oracleName, QStringLiteral("column")); !problem.isEmpty())
        findings.append(catalogFinding(CheckKind::NameRefused, object, problem));
    else if (oracleName != applyNameCase(name, options.nameUpperCase))
        findings.append(catalogFinding(CheckKind::NameCut, object, QStringLiteral("becomes %1").arg(oracleName)));
    if (taken.contains(oracleName))
        findings.append(catalogFinding(CheckKind::NameCollision, object,
                                       QStringLiteral("another column also becomes %1: the table cannot be created")
                                           .arg(oracleName)));
    taken.insert(oracleName);
}

void addFullSchemaFindings(const ColumnDetails& column, const QString& oracleType, bool mariaDb,
                           bool& identityTaken, QList<CheckFinding>& findings)
{
    const QString object = QStringLiteral("column ") + column.name;
    if (isAutoIncrement(column)) {
        // An identity is a whole NUMBER; the run makes one of the first counter on such a column.
        static const QRegularExpression wholeNumber(QStringLiteral("^NUMBER(\\(\\d+(,0)?\\))?$"));
        if (!identityTaken && wholeNumber.match(oracleType.toUpper()).hasMatch()) {
            identityTaken = true;
            return;
        }
        findings.append(catalogFinding(CheckKind::NoIdentity, object,
                                       QStringLiteral("AUTO_INCREMENT on %1: Oracle's identity column needs a whole NUMBER (ORA-30675)")
                                           .arg(column.type)));
    }
    const OracleDefault value = oracleDefaultOf(column, oracleType, mariaDb);
    if (!value.note.isEmpty())
        findings.append(catalogFinding(CheckKind::DefaultNotCarried, object, value.note));
}

}  // namespace

QString checkedOracleColumnName(const QString& mysqlColumn, const CatalogCheckOptions& options)
{
    return applyNameCase(cutToOracleLength(mysqlColumn, options.maxNameBytes), options.nameUpperCase);
}

QString checkedOracleType(const QString& mysqlType, const CatalogCheckOptions& options)
{
    if (options.fullSchema)
        return exactOracleType(mysqlType, options.blobToText).oracleType;
    return classicColumnDefinition(mysqlType, {options.nameUpperCase, options.blobToText, options.maxNameBytes}).trimmed();
}

QList<CheckFinding> columnFindings(const TableDetails& details, const CatalogCheckOptions& options)
{
    QList<CheckFinding> findings;
    QSet<QString> taken;
    bool identityTaken = false;
    for (const ColumnDetails& column : details.columns) {
        addNameFindings(column.name, checkedOracleColumnName(column.name, options), options, taken, findings);
        const QString oracleType = checkedOracleType(column.type, options);
        const QString loss = options.fullSchema ? exactOracleType(column.type, options.blobToText).note
                                                : classicTypeLoss(column.type, oracleType);
        if (!loss.isEmpty())
            findings.append(catalogFinding(CheckKind::TypeLoss, QStringLiteral("column ") + column.name, loss));
        if (options.fullSchema)
            addFullSchemaFindings(column, oracleType, details.mariaDb, identityTaken, findings);
    }
    return findings;
}

namespace {

struct ListedIndex {
    QString name;
    bool unique = false;
    QStringList mysqlColumns;
    QStringList oracleColumns;
    QStringList prefixes;  // "column(length)"
};

QList<ListedIndex> readIndexes(MySqlConnection& catalog, const QString& mysqlName, const CatalogCheckOptions& options)
{
    MySqlQuery listing(catalog);
    listing.open(QStringLiteral("show index from ") + mysqlQuotedName(mysqlName));
    const int keyField = listing.fieldIndex(QStringLiteral("Key_name"));
    const int seqField = listing.fieldIndex(QStringLiteral("Seq_in_index"));
    const int columnField = listing.fieldIndex(QStringLiteral("Column_name"));
    const int uniqueField = listing.fieldIndex(QStringLiteral("Non_unique"));
    const int prefixField = listing.fieldIndex(QStringLiteral("Sub_part"));
    if (keyField < 0 || seqField < 0 || columnField < 0 || uniqueField < 0)
        throw Error(QStringLiteral("The index listing of %1 lacks Key_name, Seq_in_index, Column_name or Non_unique")
                        .arg(mysqlName));
    QList<ListedIndex> indexes;
    for (; !listing.atEnd(); listing.next()) {
        if (isFirstColumnOfIndex(listing.valueAt(seqField)) || indexes.isEmpty())
            indexes.append({listing.textAt(keyField), listing.textAt(uniqueField) == u"0", {}, {}, {}});
        ListedIndex& index = indexes.last();
        const QString column = listing.textAt(columnField);
        index.mysqlColumns.append(column);
        index.oracleColumns.append(indexColumnName(column, options.nameUpperCase, options.maxNameBytes));
        if (prefixField >= 0 && !listing.valueAt(prefixField).isNull())
            index.prefixes.append(QStringLiteral("%1(%2)").arg(column, listing.textAt(prefixField)));
    }
    listing.close();
    return indexes;
}

QString indexObject(const ListedIndex& index)
{
    return (index.name == u"PRIMARY" ? QStringLiteral("primary key") : QStringLiteral("index ") + index.name) +
           QStringLiteral(" (") + index.mysqlColumns.join(QStringLiteral(", ")) + u')';
}

// Findings on what Oracle would do with the key's columns.
void addKeyColumnFindings(const ListedIndex& index, const QHash<QString, QString>& oracleTypes,
                          QList<CheckFinding>& findings)
{
    const QString object = indexObject(index);
    if (!index.prefixes.isEmpty())
        findings.append(catalogFinding(CheckKind::PrefixIndex, object,
                                       QStringLiteral("MySQL indexes only the start of %1; Oracle indexes the whole columns")
                                           .arg(index.prefixes.join(QStringLiteral(", ")))));
    int bytes = 0;
    for (const QString& column : index.mysqlColumns) {
        const int width = keyBytesOf(oracleTypes.value(column));
        if (width < 0) {
            findings.append(catalogFinding(CheckKind::LobInKey, object,
                                           QStringLiteral("column %1 becomes %2, which no Oracle key can hold (ORA-02327)")
                                               .arg(column, oracleTypes.value(column))));
            return;
        }
        bytes += width + 1;
    }
    if (bytes > kLongestKeyBytes)
        findings.append(catalogFinding(CheckKind::KeyTooWide, object,
                                       QStringLiteral("%1 bytes wide, Oracle takes at most %2 (ORA-01450)")
                                           .arg(bytes)
                                           .arg(kLongestKeyBytes)));
}

void addIndexNameFindings(const ListedIndex& index, const QString& mysqlName, const CatalogCheckOptions& options,
                          QHash<QString, QString>& takenIndexNames, QList<CheckFinding>& findings)
{
    const QString object = indexObject(index);
    const QString oracleName = indexName(index.name, mysqlName, options.nameUpperCase, options.maxNameBytes);
    const QString formed = (QStringLiteral("idx_") + index.name + applyNameCase(mysqlName, options.nameUpperCase)).toUpper();
    if (const QString problem = oracleIdentifierProblem(oracleName, QStringLiteral("index")); !problem.isEmpty())
        findings.append(catalogFinding(CheckKind::NameRefused, object, problem));
    else if (oracleName != formed)
        findings.append(catalogFinding(CheckKind::NameCut, object, QStringLiteral("named %1").arg(oracleName)));
    const auto owner = takenIndexNames.constFind(oracleName);
    if (owner != takenIndexNames.cend())
        findings.append(catalogFinding(CheckKind::NameCollision, object,
                                       QStringLiteral("the name %1 is taken by an index of %2: it gets a variant")
                                           .arg(oracleName, owner.value())));
    else
        takenIndexNames.insert(oracleName, mysqlName);
}

}  // namespace

IndexCheck indexFindings(MySqlConnection& catalog, const QString& mysqlName,
                         const QHash<QString, QString>& oracleTypes, const CatalogCheckOptions& options,
                         QHash<QString, QString>& takenIndexNames)
{
    const QList<ListedIndex> indexes = readIndexes(catalog, mysqlName, options);
    IndexCheck result;
    for (const ListedIndex& index : indexes) {
        if (index.name == u"PRIMARY" || (result.keyColumns.isEmpty() && index.unique))
            result.keyColumns = index.mysqlColumns;
    }
    if (options.skipIndex)
        return result;
    QList<const ListedIndex*> built;
    for (const ListedIndex& index : indexes) {
        const QString object = indexObject(index);
        const bool primary = index.name == u"PRIMARY";
        if (!primary)
            addIndexNameFindings(index, mysqlName, options, takenIndexNames, result.findings);
        const auto same = std::find_if(built.cbegin(), built.cend(), [&](const ListedIndex* earlier) {
            return earlier->oracleColumns == index.oracleColumns;
        });
        if (same != built.cend()) {
            result.findings.append(catalogFinding(CheckKind::RepeatedIndex, object,
                                                  QStringLiteral("the same column list as %1: Oracle refuses it")
                                                      .arg(indexObject(**same))));
            continue;
        }
        built.append(&index);
        addKeyColumnFindings(index, oracleTypes, result.findings);
        if (!primary && index.unique && !options.fullSchema)
            result.findings.append(catalogFinding(CheckKind::UniqueBecomesPlain, object,
                                                  QStringLiteral("becomes a plain index: Oracle will not refuse repeated values")));
    }
    return result;
}

}  // namespace dovrelle
