#pragma once

#include <QString>

namespace dovrelle {

// The path with the extension of its file name replaced by `extension` (which starts with "."),
// or with `extension` appended when the file name has none. A name that only starts with a dot
// (".nightly") has no extension.
QString changeExtension(const QString& path, const QString& extension);

// The log of an unattended run: the settings path with ".log".
QString logPathForSettings(const QString& settingsPath);

// The message that refuses a run whose log would be written over its own settings file (a
// settings file whose extension is already ".log"); the empty text when the two paths differ.
QString logOverSettingsProblem(const QString& settingsPath, const QString& logPath);

// The settings file and the log written beside a shortcut (launcher) chosen in the save dialog.
QString settingsPathForShortcut(const QString& shortcutPath);
QString logPathForShortcut(const QString& shortcutPath);

}  // namespace dovrelle
