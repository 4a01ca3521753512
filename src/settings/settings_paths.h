#pragma once

#include <QString>

namespace dovrelle {

// The path with the extension of its file name replaced by `extension` (which starts with "."),
// or with `extension` appended when the file name has none. A name that only starts with a dot
// (".nightly") has no extension.
QString changeExtension(const QString& path, const QString& extension);

// The log of an unattended run: the settings path with ".log".
QString logPathForSettings(const QString& settingsPath);

// The settings file and the log written beside a shortcut (launcher) chosen in the save dialog.
QString settingsPathForShortcut(const QString& shortcutPath);
QString logPathForShortcut(const QString& shortcutPath);

}  // namespace dovrelle
