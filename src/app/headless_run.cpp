#include "app/headless_run.h"

#include "db/error.h"
#include "app/headless_messages.h"
#include "app/headless_progress.h"
#include "engine/run_log.h"
#include "wizard/settings_wiring.h"
#include "wizard/conversion_wizard.h"
#include "app/termination_signals.h"
#include "wizard/unattended_run.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <memory>

#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#define STDERR_FILENO 2
#else
#include <unistd.h>
#endif

namespace dovrelle {

namespace {

// One headless run: the window with its settings parts, printing boxes, the stop signals.
class HeadlessRun {
public:
    HeadlessRun(int argc, char** argv, const QString& settingsPath);
    int exec();

private:
    void walkReturned();
    void stopBySignal(int signalNumber);
    void endHalted(int status);
    bool runSucceeded() const;
    void saveLog();

    QString lastMessage_;  // outlives the window, whose destruction may still show a box
    std::unique_ptr<ConversionWizard> window_;
    SettingsWiring* settings_ = nullptr;
    std::unique_ptr<HeadlessProgress> progress_;
    TerminationSignals signals_;
    QStringList commandLine_;
    bool stopped_ = false;
    int status_ = HeadlessExit::CouldNotRun;
};

HeadlessRun::HeadlessRun(int argc, char** argv, const QString& settingsPath)
    : window_(std::make_unique<ConversionWizard>())
{
    Q_UNUSED(argc);
    commandLine_ = {QString::fromLocal8Bit(argv[0]), settingsPath};
    window_->setMessageSeam(std::make_unique<PrintingMessageSeam>(&lastMessage_));
    settings_ = &installSettings(*window_);
    progress_ = std::make_unique<HeadlessProgress>(window_->runLog(), isatty(STDERR_FILENO) != 0);
    // Runs after the window's own handler, that is after the whole walk has returned.
    QObject::connect(window_->unattendedTimer(), &QTimer::timeout, window_.get(), [this] { walkReturned(); });
    QObject::connect(&signals_, &TerminationSignals::received, window_.get(),
                     [this](int signalNumber) { stopBySignal(signalNumber); });
}

int HeadlessRun::exec()
{
    window_->start(commandLine_);
    if (settings_->unattended().startFailed()) {
        progress_->finish();
        return HeadlessExit::CouldNotRun;
    }
    if (!window_->unattendedTimer()->isActive()) {
        endHalted(HeadlessExit::CouldNotRun);  // a value of the file could not be applied
        return status_;
    }
    window_->show();
    status_ = QApplication::exec();
    progress_->finish();
    window_.reset();  // writes the remembered settings
    return status_;
}

void HeadlessRun::walkReturned()
{
    if (window_->isVisible()) {
        endHalted(stopped_ ? HeadlessExit::WithErrors : HeadlessExit::CouldNotRun);
        return;
    }
    const int status = !stopped_ && runSucceeded() ? HeadlessExit::Succeeded : HeadlessExit::WithErrors;
    QApplication::exit(status);
}

// A walk that a person would have to take over: its last message goes into the log, which is
// saved beside the settings file.
void HeadlessRun::endHalted(int status)
{
    RunLog& log = window_->runLog();
    if (stopped_)
        log.append(QStringLiteral("The run was stopped."));
    else if (!lastMessage_.isEmpty() && log.lastLine() != lastMessage_)
        log.append(lastMessage_);
    saveLog();
    status_ = status;
    QApplication::exit(status);
}

void HeadlessRun::saveLog()
{
    try {
        window_->runLog().saveToFile(window_->unattendedLogPath);
    } catch (const Error& error) {
        printErrorLine(QStringLiteral("Error: ") + error.message());
    }
}

void HeadlessRun::stopBySignal(int signalNumber)
{
    printErrorLine(QStringLiteral("Signal %1: stopping at the next check point").arg(signalNumber));
    stopped_ = true;
    window_->stopRequested = true;
    if (window_->unattendedTimer()->isActive()) {  // the walk has not begun
        window_->unattendedTimer()->stop();
        endHalted(HeadlessExit::WithErrors);
    }
}

bool HeadlessRun::runSucceeded() const
{
    const auto& result = window_->lastRunResult();
    return result && result->outcome == RunOutcome::Completed;
}

}  // namespace

QString headlessUsage()
{
    return QStringLiteral(
        "Usage: dovrelle [--language cn|en] [SETTINGS]\n"
        "       dovrelle --headless SETTINGS\n"
        "       dovrelle --help | --version\n"
        "\n"
        "Without arguments the wizard opens. With the path of a settings file (.qelt) the wizard\n"
        "runs that conversion by itself, saves the log beside the file (same name, .log) and closes.\n"
        "\n"
        "--language cn|en     shows the wizard's captions in Chinese or English (without it:\n"
        "                     Chinese when the system's language is Chinese, else English).\n"
        "--headless SETTINGS  runs the same conversion without a display: messages go to stderr,\n"
        "                     the log is saved beside the settings file, SIGINT or SIGTERM stops\n"
        "                     the run at its next check point.\n"
        "\n"
        "Exit status of --headless:\n"
        "  0  every step of every table succeeded\n"
        "  1  the run completed with errors, or was stopped\n"
        "  2  the run could not start, or ended with an error\n");
}

int runHeadless(int argc, char** argv, const QString& settingsPath)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Dovrelle 4.0"));
    // The run ends the program itself, with its exit status, once the walk has returned.
    QApplication::setQuitOnLastWindowClosed(false);
    HeadlessRun run(argc, argv, settingsPath);
    return run.exec();
}

}  // namespace dovrelle
