#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

namespace dovrelle {

// The place where the user's last settings survive between runs: the registry key
// SOFTWARE\Korvane\Dovrelle under HKEY_CURRENT_USER on Windows, a text store elsewhere.
struct StoredValue {
    enum class Kind { Missing, Text, OtherType };  // OtherType: a registry value that is not text
    Kind kind = Kind::Missing;
    QString text;
};

using StoredValues = QHash<QString, StoredValue>;

// The named values, or nothing when the store does not exist or cannot be opened for reading.
std::optional<StoredValues> readSettingsStore(const QStringList& names);

// Writes the values in order, creating the store when it is missing. Returns without writing
// when the store can be neither opened nor created; throws Error
// "Failed to set data for '<name>'" when a value cannot be written.
void writeSettingsStore(const QList<std::pair<QString, QString>>& values);

#ifndef Q_OS_WIN
// The text store: $XDG_CONFIG_HOME (default ~/.config) + "/Korvane/Dovrelle.conf".
QString settingsStorePath();

// The store's text form: one "name=value" line each, with backslash, CR and LF escaped.
QByteArray encodeSettingsStore(const QList<std::pair<QString, QString>>& values);
QHash<QString, QString> decodeSettingsStore(const QByteArray& bytes);
#endif

}  // namespace dovrelle
