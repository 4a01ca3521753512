#include "engine/log_names.h"

namespace dovrelle {

namespace {

bool needsEscape(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

QString escapeOf(char16_t c)
{
    switch (c) {
    case u'\n': return QStringLiteral("\\n");
    case u'\r': return QStringLiteral("\\r");
    case u'\t': return QStringLiteral("\\t");
    default: break;
    }
    if (c <= 0xFF)
        return QStringLiteral("\\x%1").arg(int(c), 2, 16, QLatin1Char('0'));
    return QStringLiteral("\\u%1").arg(int(c), 4, 16, QLatin1Char('0'));
}

}  // namespace

QString nameForLog(const QString& name)
{
    QString shown;
    shown.reserve(name.size());
    for (const QChar c : name) {
        if (needsEscape(c.unicode()))
            shown += escapeOf(c.unicode());
        else
            shown += c;
    }
    return shown;
}

QString tableNotFoundLine(const QString& mysqlName, const QString& database)
{
    return QStringLiteral("Table %1 was not found in the MySQL database %2")
        .arg(nameForLog(mysqlName), nameForLog(database));
}

}  // namespace dovrelle
