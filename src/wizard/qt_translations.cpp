#include "wizard/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace dovrelle {

bool installQtTranslations(const QString& languageCode)
{
    if (languageCode != u"cn")
        return false;
    // Owned by the application object; it lives as long as the program.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace dovrelle
