#pragma once

#include "settings/settings_schema.h"

#include <QString>
#include <QStringList>

namespace dovrelle {

// The lines of a settings file: every row of the settings schema in its order as "key=value"
// (a missing value as the empty text), alltables last; the table lines tables1=... follow
// only when alltables is "0".
QStringList settingsFileLines(const SettingsValues& values, const QStringList& tables);

// The value of every row of the schema in the lines (the table list's alltables included).
// Throws what checkPasswordKeysApart throws.
SettingsValues settingsValuesOfLines(const QStringList& lines);

// Throws Error when a line's value holds the text of a password key ("mysqlp=" or "oraclep=", any
// letter case): a lost line break glued a password onto another setting, which would then show
// it in a message. The error names the line number and both keys, never the value.
void checkPasswordKeysApart(const QStringList& lines);
// The message checkPasswordKeysApart throws; the empty text when the keys stand apart.
QString passwordKeysProblem(const QStringList& lines);

// Saves lines as a settings file (CR LF, 8-bit text, owner-only). Throws Error
// "Cannot create file "<path>". <reason>".
void saveSettingsFile(const QString& path, const QStringList& lines);

// The largest settings file that is read (16 MB); a real one holds a few hundred bytes.
inline constexpr qint64 largestSettingsFile = 16 * 1024 * 1024;

// Reads a settings file into its lines. Throws Error "Cannot open file "<path>". <reason>",
// also, without waiting or reading, for a folder, anything that is no regular file (a pipe, a
// device such as /dev/zero, a socket, or a link to one) and a file larger than
// largestSettingsFile.
QStringList loadSettingsFile(const QString& path);

// The value of the first line whose text before its first "=" equals `key` regardless of letter
// case: everything after that "=", untrimmed. The empty text when no line matches.
QString settingValue(const QStringList& lines, const QString& key);

// True exactly when the value of the table list's key (alltables) is "1".
bool settingsChooseAllTables(const QStringList& lines);

// Table names of the lines that start with the table-line prefix tables (letter case
// counting), in file order: the text after the first "=", with blanks and control characters
// trimmed; empty names left out.
QStringList settingsTableNames(const QStringList& lines);

// The lines' forms of SettingsFileContent::chosenTables and noTableToConvertMessage (see there).
QStringList settingsChosenTables(const QStringList& lines, const QStringList& available);
QString noTableToConvertMessage(const QStringList& lines, const QStringList& available,
                                const QString& database);

}  // namespace dovrelle
