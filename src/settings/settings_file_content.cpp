#include "settings/settings_file_content.h"

#include "db/error.h"
#include "engine/log_names.h"
#include "settings/settings_file.h"

namespace dovrelle {

SettingsFileContent::SettingsFileContent(const QStringList& lines)
    : linesProblem_(passwordKeysProblem(lines)),
      allTables_(settingsChooseAllTables(lines)),
      listedTables_(settingsTableNames(lines))
{
    if (linesProblem_.isEmpty())
        values_ = settingsValuesOfLines(lines);
}

SettingsFileContent SettingsFileContent::read(const QString& path)
{
    return SettingsFileContent(loadSettingsFile(path));
}

const SettingsValues& SettingsFileContent::values() const
{
    if (!linesProblem_.isEmpty())
        throw Error(linesProblem_);
    return values_;
}

ConversionProfile SettingsFileContent::profile() const
{
    return profileFromValues(values());
}

QStringList SettingsFileContent::chosenTables(const QStringList& available) const
{
    if (allTables_)
        return available;
    QStringList chosen;
    for (const QString& name : listedTables_) {
        if (!chosen.contains(name))
            chosen << name;
    }
    return chosen;
}

QString SettingsFileContent::noTableToConvertMessage(const QStringList& available, const QString& database) const
{
    QStringList missing;
    for (const QString& name : chosenTables(available)) {
        if (available.contains(name))
            return {};
        missing << tableNotFoundLine(name, database);
    }
    if (allTables_)
        return QStringLiteral("No table to convert: the MySQL database %1 has no tables.").arg(nameForLog(database));
    if (missing.isEmpty())
        return QStringLiteral("No table to convert: the settings file lists no table (no line tables1=..., "
                              "and alltables is not 1).");
    missing << QStringLiteral("No table to convert: none of the tables the settings file lists is in the "
                              "MySQL database %1.")
                   .arg(nameForLog(database));
    return missing.join(u'\n');
}

// The lines' forms of the table choice, for callers that hold the lines themselves.

QStringList settingsChosenTables(const QStringList& lines, const QStringList& available)
{
    return SettingsFileContent(lines).chosenTables(available);
}

QString noTableToConvertMessage(const QStringList& lines, const QStringList& available, const QString& database)
{
    return SettingsFileContent(lines).noTableToConvertMessage(available, database);
}

}  // namespace dovrelle
