#include "settings/settings_paths.h"

#include <algorithm>

namespace dovrelle {

namespace {

qsizetype fileNameStart(const QString& path)
{
    qsizetype start = path.lastIndexOf(QLatin1Char('/')) + 1;
#ifdef Q_OS_WIN
    start = std::max({start, path.lastIndexOf(QLatin1Char('\\')) + 1, path.lastIndexOf(QLatin1Char(':')) + 1});
#endif
    return start;
}

}  // namespace

QString changeExtension(const QString& path, const QString& extension)
{
    const qsizetype nameStart = fileNameStart(path);
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot > nameStart)
        return path.left(dot) + extension;
    return path + extension;
}

QString logPathForSettings(const QString& settingsPath)
{
    return changeExtension(settingsPath, QStringLiteral(".log"));
}

QString settingsPathForShortcut(const QString& shortcutPath)
{
    return changeExtension(shortcutPath, QStringLiteral(".qelt"));
}

QString logPathForShortcut(const QString& shortcutPath)
{
    return changeExtension(shortcutPath, QStringLiteral(".log"));
}

}  // namespace dovrelle
