#include "wizard/help_address.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

namespace dovrelle {

namespace {

const QString kEnglishGuide = QStringLiteral("docs/index.html");

QStringList searchFolders()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    return {programFolder, programFolder + QStringLiteral("/.."),
            programFolder + QStringLiteral("/../share/dovrelle"),
            programFolder + QStringLiteral("/../share/doc/dovrelle"),
            QStringLiteral(DOVRELLE_SOURCE_DIR)};
}

QString findFile(const QString& relativePath)
{
    for (const QString& folder : searchFolders()) {
        const QFileInfo file(folder + u'/' + relativePath);
        if (file.isFile())
            return file.canonicalFilePath();
    }
    return {};
}

}  // namespace

QUrl helpAddress(const QString& helpurl)
{
    const QUrl given(helpurl);
    if (given.isValid() && given.scheme().size() > 1)  // one letter is a Windows drive
        return given;
    QString path = findFile(helpurl);
    if (path.isEmpty())
        path = findFile(kEnglishGuide);
    if (path.isEmpty())
        path = QStringLiteral(DOVRELLE_SOURCE_DIR "/") + kEnglishGuide;
    return QUrl::fromLocalFile(path);
}

}  // namespace dovrelle
