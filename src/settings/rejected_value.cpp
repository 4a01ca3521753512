#include "settings/rejected_value.h"

#include "engine/log_names.h"
#include "settings/settings_schema.h"

#include <QRegularExpression>

namespace dovrelle {

namespace {

constexpr qsizetype longestShownValue = 40;

}  // namespace

QString otherSettingTextIn(const QString& value)
{
    qsizetype first = -1;
    QString found;
    for (const SettingRow& row : settingsSchema()) {
        const QString keyText = QLatin1String(row.fileKey) + u'=';
        const qsizetype at = value.indexOf(keyText, 0, Qt::CaseInsensitive);
        if (at >= 0 && (first < 0 || at < first)) {
            first = at;
            found = value.mid(at, keyText.size());
        }
    }
    static const QRegularExpression tableLine(QStringLiteral("tables[0-9]*="),
                                              QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = tableLine.match(value);
    if (match.hasMatch() && (first < 0 || match.capturedStart() < first))
        found = match.captured();
    return found;
}

QString quotedRejectedValue(const QString& value)
{
    const bool cut = value.size() > longestShownValue;
    return QStringLiteral("''") + nameForLog(value.left(longestShownValue)) +
           (cut ? QStringLiteral("...''") : QStringLiteral("''"));
}

QString hiddenValueNote(const QString& value)
{
    const QString keyText = otherSettingTextIn(value);
    if (keyText.isEmpty())
        return {};
    return QStringLiteral("it is not shown, as it holds the text \"%1\" of another setting")
        .arg(nameForLog(keyText));
}

}  // namespace dovrelle
