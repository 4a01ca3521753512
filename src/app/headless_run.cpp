#include "app/headless_run.h"

#include "app/headless_messages.h"
#include "app/headless_progress.h"
#include "app/termination_signals.h"
#include "db/error.h"
#include "engine/conversion_job.h"
#include "engine/run_log.h"
#include "engine/run_report.h"
#include "settings/settings_file_content.h"
#include "settings/settings_page_checks.h"
#include "settings/settings_paths.h"
#include "texts/application_title.h"
#include "texts/caption_tables.h"
#include "texts/error_box_text.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#define STDERR_FILENO 2
#else
#include <unistd.h>
#endif

namespace dovrelle {

namespace {

// A message that ends the run before the conversion starts: the notice or the error box text
// the wizard's walk would have halted on.
struct Halt {
    QString message;
};

// One headless run: the settings file, the checks of the wizard's pages, the conversion job.
class HeadlessRun {
public:
    HeadlessRun(const QString& settingsPath, const QString& languageCode);
    int exec();

private:
    int convert();
    ConversionProfile preparedProfile(const SettingsFileContent& settings);
    void checkPoint();
    int endHalted(const QString& message, int status);
    void saveLog();
    void printError(const QString& text) const { printErrorLine(log_.masked(text)); }
    void writeReport();

    QString settingsPath_;
    // What the report beside the log shows; the run writes it itself when it completes.
    ConversionProfile profile_;
    QList<TableRunRecord> tables_;
    QString reportPath_;
    QDateTime start_ = QDateTime::currentDateTime();
    QString logPath_;
    QStringList captions_;
    RunLog log_;
    HeadlessProgress progress_;
    TerminationSignals signals_;
    bool stopped_ = false;
};

HeadlessRun::HeadlessRun(const QString& settingsPath, const QString& languageCode)
    : settingsPath_(settingsPath),
      logPath_(logPathForSettings(settingsPath)),
      captions_(languageCode == u"cn" ? chineseCaptionTable() : englishCaptionTable()),
      progress_(log_, isatty(STDERR_FILENO) != 0, languageCode)
{
    QObject::connect(&signals_, &TerminationSignals::received, &signals_, [this](int signalNumber) {
        progress_.printLine(QStringLiteral("Signal %1: stopping at the next check point").arg(signalNumber));
        stopped_ = true;
    });
}

int HeadlessRun::exec()
{
    const int status = convert();
    progress_.finish();
    if (!reportPath_.isEmpty())
        std::fputs((QStringLiteral("Report: ") + reportPath_ + u'\n').toLocal8Bit().constData(), stdout);
    return status;
}

int HeadlessRun::convert()
{
    // Nothing runs, and nothing is written, when the log would replace the settings file or
    // there is no settings file to write it beside.
    if (const QString problem = logOverSettingsProblem(settingsPath_, logPath_); !problem.isEmpty()) {
        printError(problem);
        return HeadlessExit::CouldNotRun;
    }
    SettingsFileContent settings;
    try {
        settings = SettingsFileContent::read(settingsPath_);
    } catch (const Error& error) {
        if (!QFileInfo::exists(settingsPath_) && !QFileInfo(settingsPath_).isSymLink()) {
            printErrorLine(error.message());
            return HeadlessExit::CouldNotRun;
        }
        log_.append(error.message());
        saveLog();
        return HeadlessExit::CouldNotRun;
    }
    try {
        RunHooks hooks;
        hooks.letEventsThrough = [] { QCoreApplication::processEvents(); };
        hooks.stopRequested = [this] { return stopped_; };
        // A stop seen while the last table is copied ends the run as a stop, not as a completion.
        hooks.stopInLastTableEndsRun = true;
        hooks.progressChanged = [this](const RunProgress& progress) { progress_.showProgress(progress); };
        hooks.logFilePath = logPath_;
        // The closing lines in the caption language, as the wizard's labels give them.
        hooks.completedCaption = captionFromTable(captions_, QStringLiteral("Label29"));
        hooks.successCaption = captionFromTable(captions_, QStringLiteral("Label30"));
        hooks.finishCaption = captionFromTable(captions_, QStringLiteral("Label32"));
        profile_ = preparedProfile(settings);
        ConversionJob job(profile_, std::move(hooks));
        const RunResult result = job.run(log_);
        tables_ = result.tables;
        reportPath_ = result.reportFile;
        if (!result.reportError.isEmpty())
            printError(QStringLiteral("Error: ") + result.reportError);
        if (result.outcome == RunOutcome::Stopped)
            return endHalted(QString(), HeadlessExit::WithErrors);
        return result.outcome == RunOutcome::Completed ? HeadlessExit::Succeeded : HeadlessExit::WithErrors;
    } catch (const Halt& halt) {
        return endHalted(halt.message, stopped_ ? HeadlessExit::WithErrors : HeadlessExit::CouldNotRun);
    } catch (const Error& error) {
        return endHalted(errorBoxText(error.message()), HeadlessExit::CouldNotRun);
    }
}

// The settings of the file, checked page by page as the wizard's walk would check them
// (checkSettingsPages), with a check point after each page; a notice ends the run here.
ConversionProfile HeadlessRun::preparedProfile(const SettingsFileContent& settings)
{
    const ConversionProfile profile = settings.profile();
    // From here on a message may hold a password (a server's "Access denied for user ..."): the
    // log and standard error show "***" instead.
    log_.setSecrets({profile.mysqlp, profile.oraclep});
    profile_ = profile;
    checkPoint();
    const SettingsPagesChecked checked =
        checkSettingsPages(settings, profile, {.logOnToOracle = true, .pageChecked = [this] { checkPoint(); }});
    if (!checked.notice.isEmpty())
        throw Halt{checked.notice};
    return checked.profile;
}

// Lets a termination signal in; a stop before the conversion ends the run here.
void HeadlessRun::checkPoint()
{
    QCoreApplication::processEvents();
    if (stopped_)
        throw Halt{};
}

// The message that halted the run goes into the log (a stop says so), which is saved beside the
// settings file.
int HeadlessRun::endHalted(const QString& message, int status)
{
    if (stopped_)
        log_.append(QStringLiteral("The run was stopped."));
    else if (!message.isEmpty() && log_.lastLine() != message)
        log_.append(message);
    saveLog();
    return status;
}

void HeadlessRun::saveLog()
{
    try {
        log_.saveToFile(logPath_);
    } catch (const Error& error) {
        printError(error.message());
        return;
    }
    writeReport();
}

// The report of a run that did not complete: the tables it handled and the line it ended on.
void HeadlessRun::writeReport()
{
    const WrittenReport written =
        writeRunReport(logPath_, profile_, tables_, log_.lastLine(), start_, QDateTime::currentDateTime());
    if (!written.error.isEmpty())
        printError(QStringLiteral("Error: ") + written.error);
    reportPath_ = written.path;
}

}  // namespace

QString headlessUsage()
{
    return QStringLiteral(
        "Usage: dovrelle [--language cn|en] [SETTINGS]\n"
        "       dovrelle --headless SETTINGS [--language cn|en]\n"
        "       dovrelle --check SETTINGS\n"
        "       dovrelle --help | --version\n"
        "\n"
        "Without arguments the wizard opens. With the path of a settings file (.qelt) the wizard\n"
        "runs that conversion by itself, saves the log beside the file (same name, .log) and closes.\n"
        "\n"
        "--language cn|en     shows the wizard's captions in Chinese or English (without it:\n"
        "                     Chinese when the system's language is Chinese, else English);\n"
        "                     with --headless, the language of the log's closing lines.\n"
        "--headless SETTINGS  runs the same conversion without a display: messages go to stderr,\n"
        "                     the log is saved beside the settings file, SIGINT or SIGTERM stops\n"
        "                     the run at its next check point; an HTML report goes beside the log\n"
        "                     and its path is printed last.\n"
        "--check SETTINGS     examines the chosen tables without writing to Oracle: what would not\n"
        "                     arrive exactly or would fail; findings go to stdout, then the path\n"
        "                     of the HTML report beside the settings file (<name>-check.html).\n"
        "\n"
        "Exit status of --headless:\n"
        "  0  every step of every table succeeded\n"
        "  1  the run completed with errors, or was stopped\n"
        "  2  the run could not start, or ended with an error\n"
        "Exit status of --check: 0 nothing found, 1 findings, 2 could not check\n");
}

int runHeadless(int argc, char** argv, const QString& settingsPath, const QString& languageCode)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(applicationTitle());
    HeadlessRun run(settingsPath, languageCode);
    return run.exec();
}

}  // namespace dovrelle
