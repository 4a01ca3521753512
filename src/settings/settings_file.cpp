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

QString passwordKeysProblem(const QStringList& lines)
{
    static const QStringList passwordKeys{QStringLiteral("mysqlp="), QStringLiteral("oraclep=")};
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const qsizetype eq = lines[i].indexOf(u'=');
        if (eq < 0)
            continue;
        const QStringView value = QStringView(lines[i]).mid(eq + 1);
        for (const QString& passwordKey : passwordKeys) {
            if (value.contains(passwordKey, Qt::CaseInsensitive))
                return QStringLiteral("The settings file is not valid: line %1, the value of %2, holds the "
                                      "key %3 (a line break is missing)")
                    .arg(i + 1)
                    .arg(lines[i].left(eq), passwordKey.chopped(1));
        }
    }
    return {};
}

void checkPasswordKeysApart(const QStringList& lines)
{
    if (const QString problem = passwordKeysProblem(lines); !problem.isEmpty())
        throw Error(problem);
}

SettingsValues settingsValuesOfLines(const QStringList& lines)
{
    checkPasswordKeysApart(lines);
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
    const auto fail = [&](const QString& reason) {
        throw Error(QStringLiteral("Cannot open file \"%1\". %2")
                        .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), reason));
    };
    const QString notRegular = QStringLiteral("It is not a regular file (a device, a pipe or a socket), "
                                              "so it is not read as settings");
    const QString tooLarge = QStringLiteral("It is larger than a settings file may be (%1 bytes)")
                                 .arg(largestSettingsFile);
    // Looked at before it is opened: opening a pipe would wait for a writer.
    const QFileInfo info(path);
    if (info.isDir())
        fail(QStringLiteral("It is a folder, not a settings file"));
    if (info.exists() && !info.isFile())
        fail(notRegular);
    if (info.size() > largestSettingsFile)
        fail(tooLarge);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(file.errorString());
    if (file.isSequential())
        fail(notRegular);
    // At most one byte beyond the limit, in case the file grew since it was looked at.
    const QByteArray bytes = file.read(largestSettingsFile + 1);
    if (bytes.size() > largestSettingsFile)
        fail(tooLarge);
    return splitTextLines(decodeTextFile(bytes));
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
