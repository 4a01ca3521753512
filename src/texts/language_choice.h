#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

namespace dovrelle {

// The caption language the window starts with: "cn" when the system's user-interface language
// is Chinese, "en" otherwise; `--language cn|en` on the command line wins.
struct LanguageChoice {
    QString code;                 // "cn" or "en"
    QStringList otherArguments;   // the command line without the --language option
    QString error;                // set when --language lacks a value or names another language
};

// The language of the system's first user-interface language ("cn" for any Chinese variant).
QString languageOfSystem(const QLocale& system = QLocale::system());

// Takes `--language VALUE` or `--language=VALUE` out of the command line (program first).
LanguageChoice chooseLanguage(const QStringList& commandLine, const QLocale& system = QLocale::system());

}  // namespace dovrelle
