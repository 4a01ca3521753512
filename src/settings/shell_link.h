#pragma once

#include <QString>

namespace dovrelle {

// Writes a shortcut at `shortcutPath` that starts `programPath` with `arguments` in the
// program's folder. On Windows a shell link (.lnk); elsewhere a freedesktop launcher (.desktop).
// Throws Error when the shortcut cannot be written.
void createShellLink(const QString& programPath, const QString& arguments, const QString& shortcutPath);

// The settings path as the shortcut's argument text: enclosed in double quotes (with the
// escapes a launcher's Exec line needs outside Windows).
QString quotedShortcutArgument(const QString& settingsPath);

// What the save dialog offers for the shortcut: its filter and the default extension.
QString shortcutFileFilter();
QString shortcutDefaultSuffix();

#ifndef Q_OS_WIN
// The launcher text: [Desktop Entry], Type=Application, Name= the shortcut's name, Exec= the
// program (quoted when it needs quoting) followed by `arguments`, Path= the program's folder.
// A non-empty `ociLibrary` starts the program through env with DOVRELLE_OCI_LIBRARY set to it, so
// a launcher made while that variable chose the Oracle library (oraemu) starts from a menu,
// which does not have it, the same way. createShellLink passes the variable's value.
QString desktopEntryText(const QString& programPath, const QString& arguments, const QString& name,
                         const QString& ociLibrary = {});

// `text` as one argument of an Exec line: in double quotes when it holds a character that the
// launcher format reserves (or always, with forceQuotes), with ", `, $ and \ escaped inside and
// % doubled.
QString desktopExecArgument(const QString& text, bool forceQuotes = false);
#endif

}  // namespace dovrelle
