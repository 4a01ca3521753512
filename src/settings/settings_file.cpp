#include "settings/settings_file.h"

#include "db/error.h"
#include "settings/file_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace dovrelle {

namespace {

QString trimmedTableName(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

}  // namespace

QStringList settingsFileLines(const SettingsValues& values, const QStringList& tables)
{
    QStringList lines;
    for (const SettingRow& row : settingsSchema()) {
        const QString key = QLatin1String(row.fileKey);
        lines << key + u'=' + values.value(key);
    }
    if (values.value(QLatin1String(tableListRow().fileKey)) == QLatin1String("0")) {
        for (qsizetype i = 0; i < tables.size(); ++i)
            lines << tableLinePrefix() + QString::number(i + 1) + u'=' + tables[i];
    }
    return lines;
}

SettingsValues settingsValuesOfLines(const QStringList& lines)
{
    SettingsValues values;
    for (const SettingRow& row : settingsSchema()) {
        const QString key = QLatin1String(row.fileKey);
        values.insert(key, settingValue(lines, key));
    }
    return values;
}

void saveSettingsFile(const QString& path, const QStringList& lines)
{
    writeOwnerOnlyFile(path, encodeTextLines(lines));
}

QStringList loadSettingsFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Error(QStringLiteral("Cannot open file \"%1\". %2")
                        .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()),
                             file.errorString()));
    }
    return splitTextLines(decodeTextFile(file.readAll()));
}

QString settingValue(const QStringList& lines, const QString& key)
{
    for (const QString& line : lines) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (QStringView(line).left(eq).compare(key, Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1);
    }
    return {};
}

bool settingsChooseAllTables(const QStringList& lines)
{
    return settingValue(lines, QLatin1String(tableListRow().fileKey)) == QLatin1String("1");
}

QStringList settingsTableNames(const QStringList& lines)
{
    QStringList names;
    for (const QString& line : lines) {
        if (!line.startsWith(tableLinePrefix(), Qt::CaseSensitive))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString name = trimmedTableName(line.mid(eq + 1));
        if (!name.isEmpty())
            names << name;
    }
    return names;
}

}  // namespace dovrelle

namespace dovrelle {

QStringList settingsChosenTables(const QStringList& lines, const QStringList& available)
{
    if (settingsChooseAllTables(lines))
        return available;
    QStringList chosen;
    for (const QString& name : settingsTableNames(lines)) {
        if (available.contains(name) && !chosen.contains(name))
            chosen << name;
    }
    return chosen;
}

}  // namespace dovrelle
