#include "engine/file_replacement.h"

#include "db/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace dovrelle {

namespace {

constexpr auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// The temporary file reports no reason of its own when it cannot be made; the folder tells.
QString reasonFolderRefuses(const QString& path, const QString& fallback)
{
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (!folder.exists())
        return QStringLiteral("No such file or directory");
    if (!folder.isDir())
        return QStringLiteral("Not a directory");
    if (!folder.isWritable())
        return QStringLiteral("Permission denied");
    return fallback;
}

}  // namespace

void replaceFileContent(const QString& path, const QByteArray& bytes, const QString& shownPath)
{
    const auto fail = [&](const char* what, const QString& reason) {
        throw Error(QStringLiteral("%1 \"%2\". %3").arg(QLatin1String(what), shownPath, reason));
    };
    // QSaveFile writes through a symbolic link to its target; the link goes first, so the new
    // file takes its place instead.
    const QFileInfo existing(path);
    if (existing.isSymLink()) {
        if (!QFile::remove(path))
            fail("Cannot create file", QStringLiteral("The symbolic link cannot be replaced"));
    } else if (existing.isDir()) {
        fail("Cannot create file", QStringLiteral("Is a directory"));
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail("Cannot create file", reasonFolderRefuses(path, file.errorString()));
    // The temporary file takes the old file's mode; narrow it before anything is written.
    file.setPermissions(ownerOnly);
    if (file.write(bytes) != bytes.size())
        fail("Cannot write file", file.errorString());
    if (!file.commit())
        fail("Cannot write file", file.errorString());
}

}  // namespace dovrelle
