#include "app/command_line.h"

#include "app/headless_check.h"
#include "app/headless_run.h"
#include "wizard/language_choice.h"

#include <QString>
#include <QStringList>

#include <cstdio>

namespace dovrelle {

std::optional<int> runCommandLineOptions(int argc, char** argv)
{
    QStringList commandLine;
    for (int i = 0; i < argc; ++i)
        commandLine << QString::fromLocal8Bit(argv[i]);
    // --language may stand anywhere; what is left decides what runs.
    const LanguageChoice language = chooseLanguage(commandLine);
    const QStringList arguments = language.otherArguments;
    if (arguments.size() < 2)
        return std::nullopt;
    const QString& option = arguments[1];
    if (option == u"--help" || option == u"-h") {
        std::fputs(headlessUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (option == u"--version") {
        std::printf("Dovrelle %s\n", DOVRELLE_VERSION);
        return 0;
    }
    if (option == u"--headless") {
        if (!language.error.isEmpty()) {
            std::fprintf(stderr, "dovrelle: %s\n", language.error.toLocal8Bit().constData());
            return HeadlessExit::CouldNotRun;
        }
        if (arguments.size() < 3) {
            std::fputs("dovrelle: --headless needs the path of a settings file\n", stderr);
            std::fputs(headlessUsage().toLocal8Bit().constData(), stderr);
            return HeadlessExit::CouldNotRun;
        }
        return runHeadless(argc, argv, arguments[2], language.code);
    }
    if (option == u"--check") {
        if (arguments.size() < 3) {
            std::fputs("dovrelle: --check needs the path of a settings file\n", stderr);
            return CheckExit::CouldNotCheck;
        }
        return runHeadlessCheck(argc, argv, arguments[2]);
    }
    return std::nullopt;
}

}  // namespace dovrelle
