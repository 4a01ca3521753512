// Shortcuts outside Windows: a freedesktop launcher file that starts the program.
#include "settings/shell_link.h"

#ifndef Q_OS_WIN

#include "db/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace dovrelle {

namespace {

// A value of a launcher file: backslashes and line breaks escaped as the format asks.
QString entryValue(const QString& text)
{
    QString out;
    for (QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else if (c == QLatin1Char('\t'))
            out += QStringLiteral("\\t");
        else
            out += c;
    }
    return out;
}

}  // namespace

QString desktopExecArgument(const QString& text, bool forceQuotes)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = forceQuotes || text.isEmpty();
    for (QChar c : text)
        needsQuotes = needsQuotes || reserved.contains(c);
    QString arg = text;
    arg.replace(QLatin1Char('%'), QStringLiteral("%%"));
    if (!needsQuotes)
        return arg;
    QString quoted = QStringLiteral("\"");
    for (QChar c : arg) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}

QString desktopEntryText(const QString& programPath, const QString& arguments, const QString& name,
                         const QString& ociLibrary)
{
    const QString folder = QFileInfo(programPath).absolutePath() + QLatin1Char('/');
    QString command = desktopExecArgument(programPath) + QLatin1Char(' ') + arguments;
    if (!ociLibrary.isEmpty())
        command = QStringLiteral("env ") + desktopExecArgument(QStringLiteral("DOVRELLE_OCI_LIBRARY=") + ociLibrary)
                  + QLatin1Char(' ') + command;
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=%1\n"
                          "Exec=%2\n"
                          "Path=%3\n"
                          "Terminal=false\n")
        .arg(entryValue(name), entryValue(command), entryValue(folder));
}

void createShellLink(const QString& programPath, const QString& arguments, const QString& shortcutPath)
{
    const QByteArray text =
        desktopEntryText(programPath, arguments, QFileInfo(shortcutPath).completeBaseName(),
                         qEnvironmentVariable("DOVRELLE_OCI_LIBRARY"))
            .toUtf8();
    // Desktops start only launchers that are marked executable.
    const auto mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                      QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                      QFileDevice::ExeOther;
    QFile file(shortcutPath);
    const auto fail = [&] {
        throw Error(QStringLiteral("Cannot create file \"%1\". %2")
                        .arg(QDir::toNativeSeparators(QFileInfo(shortcutPath).absoluteFilePath()),
                             file.errorString()));
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate, mode))
        fail();
    file.setPermissions(mode);
    if (file.write(text) != text.size() || !file.flush())
        fail();
}

QString quotedShortcutArgument(const QString& settingsPath)
{
    return desktopExecArgument(settingsPath, true);
}

QString shortcutFileFilter()
{
    return QStringLiteral("desktop (*.desktop)");
}

QString shortcutDefaultSuffix()
{
    return QStringLiteral("desktop");
}

}  // namespace dovrelle

#endif
