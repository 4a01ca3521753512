#include "settings/settings_paths.h"

#include <QDir>
#include <QFileInfo>

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

QString logOverSettingsProblem(const QString& settingsPath, const QString& logPath)
{
#ifdef Q_OS_WIN
    constexpr Qt::CaseSensitivity pathCase = Qt::CaseInsensitive;
#else
    constexpr Qt::CaseSensitivity pathCase = Qt::CaseSensitive;
#endif
    const QString settings = QFileInfo(settingsPath).absoluteFilePath();
    if (settings.compare(QFileInfo(logPath).absoluteFilePath(), pathCase) != 0)
        return {};
    return QStringLiteral("The log of this run would be written over its settings file \"%1\": the run "
                          "is refused. Give the settings file another extension than \".log\", "
                          "such as \".qelt\".")
        .arg(QDir::toNativeSeparators(settings));
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
