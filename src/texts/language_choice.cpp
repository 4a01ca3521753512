#include "texts/language_choice.h"

namespace dovrelle {

namespace {

const QString kOption = QStringLiteral("--language");

bool isKnownLanguage(const QString& code)
{
    return code == u"cn" || code == u"en";
}

}  // namespace

QString languageOfSystem(const QLocale& system)
{
    const QStringList languages = system.uiLanguages();
    const QLocale first = languages.isEmpty() ? system : QLocale(languages.first());
    return first.language() == QLocale::Chinese ? QStringLiteral("cn") : QStringLiteral("en");
}

LanguageChoice chooseLanguage(const QStringList& commandLine, const QLocale& system)
{
    LanguageChoice choice{languageOfSystem(system), {}, {}};
    for (int i = 0; i < commandLine.size(); ++i) {
        const QString& argument = commandLine[i];
        QString value;
        if (i > 0 && argument == kOption) {
            if (i + 1 >= commandLine.size()) {
                choice.error = QStringLiteral("--language needs cn or en");
                continue;
            }
            value = commandLine[++i];
        } else if (i > 0 && argument.startsWith(kOption + u'=')) {
            value = argument.mid(kOption.size() + 1);
        } else {
            choice.otherArguments << argument;
            continue;
        }
        if (isKnownLanguage(value))
            choice.code = value;
        else
            choice.error = QStringLiteral("--language needs cn or en, not \"%1\"").arg(value);
    }
    return choice;
}

}  // namespace dovrelle
