#include "app/command_line.h"
#include "app/core_dumps.h"
#include "texts/application_title.h"
#include "wizard/conversion_wizard.h"
#include "texts/language_choice.h"
#include "wizard/qt_translations.h"
#include "wizard/screenshot_walk.h"
#include "wizard/settings_wiring.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    // Before any setting (and its passwords) is read.
    dovrelle::disableCoreDumps();
    // --help, --version and --headless run without the window.
    if (const std::optional<int> status = dovrelle::runCommandLineOptions(argc, argv))
        return *status;

    QApplication app(argc, argv);
    QApplication::setApplicationName(dovrelle::applicationTitle());

    const dovrelle::LanguageChoice language = dovrelle::chooseLanguage(QApplication::arguments());
    if (!language.error.isEmpty()) {
        std::fprintf(stderr, "dovrelle: %s\n", qUtf8Printable(language.error));
        return 2;
    }

    dovrelle::installQtTranslations(language.code);
    dovrelle::ConversionWizard window;
    dovrelle::installSettings(window);
    window.startLanguage = language.code;
    window.start(language.otherArguments);
    window.show();
    // DOVRELLE_SCREENSHOTS=<folder>: walk the pages and save a picture of each (scripts/screenshots).
    if (const QString folder = qEnvironmentVariable("DOVRELLE_SCREENSHOTS"); !folder.isEmpty())
        dovrelle::startScreenshotWalk(window, folder);
    return app.exec();
}
