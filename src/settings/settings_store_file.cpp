// The settings store outside Windows: a small owner-only text file under $XDG_CONFIG_HOME.
#include "settings/settings_store.h"

#ifndef Q_OS_WIN

#include "db/error.h"
#include "settings/file_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace dovrelle {

namespace {

QString escaped(const QString& text)
{
    QString out;
    for (QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out;
}

QString unescaped(QStringView text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\\') || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const QChar next = text[++i];
        out += next == QLatin1Char('n') ? QChar(u'\n') : next == QLatin1Char('r') ? QChar(u'\r') : next;
    }
    return out;
}

}  // namespace

QString settingsStorePath()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config + QStringLiteral("/Korvane/Dovrelle.conf");
}

QByteArray encodeSettingsStore(const QList<std::pair<QString, QString>>& values)
{
    QString text = QStringLiteral("# Dovrelle: the last settings of this user\n");
    for (const auto& [name, value] : values)
        text += name + QLatin1Char('=') + escaped(value) + QLatin1Char('\n');
    return text.toUtf8();
}

QHash<QString, QString> decodeSettingsStore(const QByteArray& bytes)
{
    QHash<QString, QString> values;
    for (const QString& line : splitTextLines(QString::fromUtf8(bytes))) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (line.startsWith(QLatin1Char('#')) || eq < 0)
            continue;
        const QString name = line.left(eq);
        if (!values.contains(name))
            values.insert(name, unescaped(QStringView(line).mid(eq + 1)));
    }
    return values;
}

std::optional<StoredValues> readSettingsStore(const QStringList& names)
{
    QFile file(settingsStorePath());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QHash<QString, QString> stored = decodeSettingsStore(file.readAll());
    StoredValues values;
    for (const QString& name : names) {
        const auto it = stored.constFind(name);
        if (it != stored.constEnd())
            values.insert(name, StoredValue{StoredValue::Kind::Text, *it});
    }
    return values;
}

void writeSettingsStore(const QList<std::pair<QString, QString>>& values)
{
    const QString path = settingsStorePath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return;  // like a registry key that can be neither opened nor created
    // A store that cannot be written (no right to write the folder or the file, say) is passed
    // over silently as well; only a failure while writing is reported. The store is replaced in
    // one rename, so a symbolic link in its place is replaced too, never followed.
    const QFileInfo store(path);
    if (!QFileInfo(store.absolutePath()).isWritable())
        return;
    if (store.exists() && !store.isSymLink() && (store.isDir() || !store.isWritable()))
        return;
    writeOwnerOnlyFile(path, encodeSettingsStore(values));
}

}  // namespace dovrelle

#endif
