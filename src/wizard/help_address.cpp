#include "wizard/help_address.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

namespace dovrelle {

namespace {

const QString kEnglishGuide = QStringLiteral("docs/index.html");
const QString kGuideFolder = QStringLiteral("docs/");

// Where a guide path may sit, most specific place first: an installed tree (bin/ beside
// share/doc/dovrelle/, where "docs/" is not repeated), a program started from its own folder, and
// a build of the source tree.
QStringList placesOf(const QString& relativePath, const QString& programFolder)
{
    QString installedName = relativePath;
    if (installedName.startsWith(kGuideFolder))
        installedName.remove(0, kGuideFolder.size());
    return {programFolder + QStringLiteral("/../share/doc/dovrelle/") + installedName,
            programFolder + u'/' + relativePath, programFolder + QStringLiteral("/../") + relativePath,
            QStringLiteral(DOVRELLE_SOURCE_DIR "/") + relativePath};
}

// The guide asked for, or else the English one, from the first place that holds either: an
// installed program never opens a guide of the tree it was built from.
QString findGuide(const QString& relativePath, const QString& programFolder)
{
    const QStringList wanted = placesOf(relativePath, programFolder);
    const QStringList english = placesOf(kEnglishGuide, programFolder);
    for (qsizetype place = 0; place < wanted.size(); ++place) {
        for (const QString& candidate : {wanted[place], english[place]}) {
            const QFileInfo file(candidate);
            if (file.isFile())
                return file.canonicalFilePath();
        }
    }
    return {};
}

}  // namespace

QUrl helpAddress(const QString& helpurl)
{
    return helpAddress(helpurl, QCoreApplication::applicationDirPath());
}

QUrl helpAddress(const QString& helpurl, const QString& programFolder)
{
    const QUrl given(helpurl);
    if (given.isValid() && given.scheme().size() > 1)  // one letter is a Windows drive
        return given;
    QString path = findGuide(helpurl, programFolder);
    if (path.isEmpty())
        path = QStringLiteral(DOVRELLE_SOURCE_DIR "/") + kEnglishGuide;
    return QUrl::fromLocalFile(path);
}

}  // namespace dovrelle
