#include "app/command_line.h"

#include "app/headless_check.h"
#include "app/headless_run.h"
#include "texts/language_choice.h"

#include <QString>
#include <QStringList>

#include <cstdio>

namespace dovrelle {

namespace {

// What an option's action gets: the raw command line (for the application object), the
// argument after the option when it takes one, and the chosen caption language.
struct OptionCall {
    int argc;
    char** argv;
    QString value;
    const LanguageChoice& language;
};

// One option of the command line. --language is taken out before (chooseLanguage), as it may
// stand anywhere.
struct CommandLineOption {
    QStringView name;
    QStringView alias;
    const char* valueName;  // nullptr: the option takes no value
    int (*run)(const OptionCall&);
};

void printUsage(std::FILE* stream)
{
    std::fputs(headlessUsage().toLocal8Bit().constData(), stream);
}

int showHelp(const OptionCall&)
{
    printUsage(stdout);
    return 0;
}

int showVersion(const OptionCall&)
{
    std::printf("Dovrelle %s\n", DOVRELLE_VERSION);
    return 0;
}

int runHeadlessOption(const OptionCall& call)
{
    return runHeadless(call.argc, call.argv, call.value, call.language.code);
}

int runCheckOption(const OptionCall& call)
{
    return runHeadlessCheck(call.argc, call.argv, call.value);
}

constexpr CommandLineOption options[] = {
    {u"--help", u"-h", nullptr, showHelp},
    {u"--version", u"", nullptr, showVersion},
    {u"--headless", u"", "SETTINGS", runHeadlessOption},
    {u"--check", u"", "SETTINGS", runCheckOption},
};

const CommandLineOption* findOption(const QString& argument)
{
    for (const CommandLineOption& option : options) {
        if (argument == option.name || (!option.alias.isEmpty() && argument == option.alias))
            return &option;
    }
    return nullptr;
}

bool looksLikeOption(const QString& argument)
{
    return argument.size() > 1 && argument.startsWith(QLatin1Char('-'));
}

int refuse(const QString& message)
{
    std::fprintf(stderr, "dovrelle: %s\n", message.toLocal8Bit().constData());
    printUsage(stderr);
    return HeadlessExit::CouldNotRun;
}

}  // namespace

std::optional<int> runCommandLineOptions(int argc, char** argv)
{
    QStringList commandLine;
    for (int i = 0; i < argc; ++i)
        commandLine << QString::fromLocal8Bit(argv[i]);
    // --language may stand anywhere; what is left decides what runs.
    const LanguageChoice language = chooseLanguage(commandLine);
    const QStringList arguments = language.otherArguments;
    if (!language.error.isEmpty())
        return refuse(language.error);
    if (arguments.size() < 2)
        return std::nullopt;
    for (const QString& argument : arguments.mid(1)) {
        if (looksLikeOption(argument) && !findOption(argument))
            return refuse(QStringLiteral("unknown option %1").arg(argument));
    }
    // Without an option, the first argument is a settings file for the window.
    const CommandLineOption* option = findOption(arguments[1]);
    if (!option)
        return std::nullopt;
    const qsizetype needed = option->valueName ? 3 : 2;
    if (arguments.size() < needed)
        return refuse(QStringLiteral("%1 needs %2").arg(option->name.toString(),
                                                          QString::fromLatin1(option->valueName)));
    if (arguments.size() > needed)
        return refuse(QStringLiteral("unexpected argument %1").arg(arguments[needed]));
    return option->run({argc, argv, option->valueName ? arguments[2] : QString(), language});
}

}  // namespace dovrelle
