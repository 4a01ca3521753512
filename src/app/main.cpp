#include "app/command_line.h"
#include "wizard/application_title.h"
#include "wizard/screenshot_walk.h"
#include "wizard/settings_wiring.h"
#include "wizard/conversion_wizard.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // --help, --version and --headless run without the window.
    if (const std::optional<int> status = dovrelle::runCommandLineOptions(argc, argv))
        return *status;

    QApplication app(argc, argv);
    QApplication::setApplicationName(dovrelle::applicationTitle());

    dovrelle::ConversionWizard window;
    dovrelle::installSettings(window);
    window.start(QApplication::arguments());
    window.show();
    // DOVRELLE_SCREENSHOTS=<folder>: walk the pages and save a picture of each (scripts/screenshots).
    if (const QString folder = qEnvironmentVariable("DOVRELLE_SCREENSHOTS"); !folder.isEmpty())
        dovrelle::startScreenshotWalk(window, folder);
    return app.exec();
}
