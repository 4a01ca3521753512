#pragma once

#include <QString>
#include <QStringList>

namespace dovrelle {

// One conversion set-up as the shortcut dialog hands it to the settings-file writer.
struct SettingsFileContent {
    int accessmode = 0;
    QString mysqldatabase;
    QString port;
    QString mysqlu;
    QString mysqlp;
    QString host;
    QString oracleh;
    QString oracleu;
    QString oraclep;
    int processtable = 0;
    QString character_set;
    bool tabledefonly = false;
    bool skipindex = false;
    bool nameuppercase = false;
    bool blobtotext = false;
    int tableChoice = 1;  // 0 the listed tables, 1 all tables of the database
    QStringList tables;   // written only when tableChoice is 0
};

// The lines of a settings file in the writer's key order; table lines "tables1=" ... follow
// "alltables" only for the listed-tables choice.
QStringList settingsFileLines(const SettingsFileContent& content);

// Saves lines as a settings file (CR LF, 8-bit text, owner-only). Throws Error
// "Cannot create file "<path>". <reason>".
void saveSettingsFile(const QString& path, const QStringList& lines);

// Reads a settings file into its lines. Throws Error "Cannot open file "<path>". <reason>".
QStringList loadSettingsFile(const QString& path);

// The value of the first line whose text before its first "=" equals `key` regardless of letter
// case: everything after that "=", untrimmed. The empty text when no line matches.
QString settingValue(const QStringList& lines, const QString& key);

// True exactly when the value of "alltables" is "1".
bool settingsChooseAllTables(const QStringList& lines);

// Table names of the lines that start with "tables" (letter case counting), in file order: the
// text after the first "=", with blanks and control characters trimmed; empty names left out.
QStringList settingsTableNames(const QStringList& lines);

}  // namespace dovrelle
