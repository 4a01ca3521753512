#include "engine/character_set_warning.h"

#include "engine/copy_source.h"
#include "engine/log_names.h"

#include <QStringList>

namespace dovrelle {

QString characterSetWarning(const QString& set)
{
    if (set.isEmpty() || set == QLatin1String("AL32UTF8"))
        return QString();
    // UTF8 is Oracle's older Unicode set: it holds every character, but writes those beyond
    // U+FFFF as two 3-byte halves.
    if (set == QLatin1String("UTF8"))
        return QStringLiteral(
            "Warning: the Oracle database character set is UTF8, not AL32UTF8: characters beyond "
            "U+FFFF (emoji and rare CJK characters) take 6 bytes instead of 4 and may make values "
            "too long for their columns");
    return QStringLiteral(
               "Warning: the Oracle database character set is %1, not AL32UTF8: characters that %1 "
               "lacks are replaced by a substitute character in CHAR, VARCHAR2 and CLOB columns "
               "(NCHAR, NVARCHAR2 and NCLOB columns keep them), and characters that %1 stores in "
               "more bytes than UTF-8 may make values too long for their columns")
        .arg(set);
}

namespace {

QString canonicalSetName(const QString& set)
{
    const QString lower = set.toLower();
    return lower == QLatin1String("utf8") ? QStringLiteral("utf8mb3") : lower;
}

// Sets whose characters reach beyond the Basic Multilingual Plane.
bool holdsSupplementaryCharacters(const QString& set)
{
    return set == QLatin1String("utf8mb4") || set == QLatin1String("utf16")
        || set == QLatin1String("utf16le") || set == QLatin1String("utf32");
}

bool isUnicodeSet(const QString& set)
{
    return set == QLatin1String("utf8mb3") || set == QLatin1String("ucs2") || holdsSupplementaryCharacters(set);
}

}  // namespace

bool connectionCarries(const QString& connectionSet, const QString& columnSet)
{
    const QString connection = canonicalSetName(connectionSet);
    const QString column = canonicalSetName(columnSet);
    if (connection.isEmpty() || connection == QLatin1String("binary") || column.isEmpty()
        || column == QLatin1String("binary") || column == connection
        || column == QLatin1String("ascii"))
        return true;
    if (holdsSupplementaryCharacters(connection))
        return true;
    if (connection == QLatin1String("utf8mb3") || connection == QLatin1String("ucs2"))
        return !holdsSupplementaryCharacters(column);
    return false;
}

QString connectionCharacterSetWarning(const QString& connectionSet, const QString& mysqlTable,
                                      const QList<ColumnCharacterSet>& columns)
{
    QStringList affected;
    for (const ColumnCharacterSet& column : columns) {
        if (!connectionCarries(connectionSet, column.characterSet))
            affected << QStringLiteral("%1 (%2)").arg(nameForLog(column.column), column.characterSet);
    }
    if (affected.isEmpty())
        return QString();
    const QString what = isUnicodeSet(canonicalSetName(connectionSet))
        ? QStringLiteral("characters beyond U+FFFF")
        : QStringLiteral("characters that %1 lacks").arg(connectionSet);
    return QStringLiteral("Warning: the MySQL connection character set %1 cannot carry every "
                          "character of table %2, column%3 %4: %5 arrive as '?'")
        .arg(connectionSet, nameForLog(mysqlTable), affected.size() > 1 ? QStringLiteral("s") : QString(),
             affected.join(QStringLiteral(", ")), what);
}

}  // namespace dovrelle
