#include "settings_file.h"

#include "error.h"
#include "file_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace dovrelle {

namespace {

QString flagLine(const char* key, bool checked)
{
    return QLatin1String(key) + (checked ? QStringLiteral("=1") : QStringLiteral("=0"));
}

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

QStringList settingsFileLines(const SettingsFileContent& c)
{
    QStringList lines{
        QStringLiteral("accessmode=%1").arg(c.accessmode),
        QStringLiteral("mysqldatabase=") + c.mysqldatabase,
        QStringLiteral("port=") + c.port,
        QStringLiteral("mysqlu=") + c.mysqlu,
        QStringLiteral("mysqlp=") + c.mysqlp,
        QStringLiteral("host=") + c.host,
        QStringLiteral("oracleh=") + c.oracleh,
        QStringLiteral("oracleu=") + c.oracleu,
        QStringLiteral("oraclep=") + c.oraclep,
        QStringLiteral("processtable=%1").arg(c.processtable),
        QStringLiteral("character_set=") + c.character_set,
        flagLine("tabledefonly", c.tabledefonly),
        flagLine("skipindex", c.skipindex),
        flagLine("nameuppercase", c.nameuppercase),
        flagLine("blobtotext", c.blobtotext),
        QStringLiteral("alltables=%1").arg(c.tableChoice),
    };
    if (c.tableChoice == 0) {
        for (qsizetype i = 0; i < c.tables.size(); ++i)
            lines << QStringLiteral("tables%1=").arg(i + 1) + c.tables[i];
    }
    return lines;
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
    return settingValue(lines, QStringLiteral("alltables")) == QLatin1String("1");
}

QStringList settingsTableNames(const QStringList& lines)
{
    QStringList names;
    for (const QString& line : lines) {
        if (!line.startsWith(QLatin1String("tables"), Qt::CaseSensitive))
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
