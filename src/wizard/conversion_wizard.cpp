// The wizard window: start-up, the frame (step panel, page area, button row) and navigation.
#include "wizard/conversion_wizard.h"
#include "wizard/settings_controls.h"

#include "texts/application_title.h"
#include "texts/caption_tables.h"
#include "texts/control_texts.h"
#include "engine/conversion_job.h"
#include "engine/data_folder.h"
#include "db/error.h"
#include "wizard/help_address.h"
#include "db/mysql_connection.h"
#include "db/mysql_query.h"
#include "db/oracle_connection.h"
#include "wizard/qt_message_seam.h"
#include "wizard/radio_group.h"
#include "engine/run_log.h"
#include "engine/secret_mask.h"
#include "engine/run_report.h"
#include "wizard/run_log_view.h"
#include "wizard/run_progress_panel.h"
#include "wizard/window_font.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScreen>
#include <QStackedWidget>
#include <QTimer>

namespace dovrelle {

ConversionWizard::ConversionWizard(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint),
      seam_(std::make_unique<QtMessageSeam>()),
      runLog_(new RunLog(this)),
      unattendedTimer_(new QTimer(this)),
      catalog_(std::make_unique<MySqlConnection>()),
      oracle_(std::make_unique<OracleConnection>()),
      oracleData_(std::make_unique<OracleConnection>())
{
    setObjectName(QStringLiteral("aaform1"));
    openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    setFont(windowFont());
    setFixedSize(594, 425);
    buildFrame();
    buildHiddenValues();
    setTabOrders();
    putSettingDefaults(*this);
    englishCaptions = englishCaptionTable();
    chineseCaptions = chineseCaptionTable();

    unattendedTimer_->setObjectName(QStringLiteral("Timer1"));
    unattendedTimer_->setSingleShot(true);
    unattendedTimer_->setInterval(1000);
    connect(unattendedTimer_, &QTimer::timeout, this, [this] {
        unattendedTimer_->stop();
        performNext();
    });

    // The frame of page 1 until start has run.
    showPage(1);
}

// FormDestroy: the remembered settings are written whichever way the program ends.
ConversionWizard::~ConversionWizard()
{
    if (!saveRememberedSettings)
        return;
    try {
        saveRememberedSettings();
    } catch (const Error& error) {
        showErrorBox(error.message());
    }
}

void ConversionWizard::setMessageSeam(std::unique_ptr<MessageSeam> seam)
{
    if (seam)
        seam_ = std::move(seam);
}

QString ConversionWizard::settingsPath() const
{
    return commandLine_.value(1);
}

void ConversionWizard::start(const QStringList& commandLine)
{
    commandLine_ = commandLine;
    findChild<QWidget*>(QStringLiteral("Image1"))->show();
    ensureDataFolder();  // a failure shows up when the log file is written
    unattended_ = commandLine.size() > 1;
    languageCode = startLanguage;
    applyCaptions();
    stopRequested = false;
    cancelAction_ = CancelAction::Close;
    setWindowTitle(applicationTitle());
    try {
        if (loadRememberedSettings)
            loadRememberedSettings();
        if (unattended_ && unattendedStart)
            unattendedStart();
    } catch (const Error& error) {
        showErrorBox(error.message());
        return;
    }
    currentStep_ = 1;
    showPage(1);
}

void ConversionWizard::showPage(int n)
{
    backButton_->setEnabled(true);
    nextButton_->setEnabled(true);
    nextButton_->setText(controlText(QStringLiteral("Next >"), languageCode));
    cancelButton_->setEnabled(true);
    helpButton_->setEnabled(true);
    if (n == 1)
        backButton_->setEnabled(false);
    if (n == 6) {
        backButton_->setEnabled(false);
        nextButton_->setText(controlText(QStringLiteral("Finish"), languageCode));
        cancelButton_->setEnabled(false);
        helpButton_->setEnabled(false);
    }
    pages_->setCurrentIndex(n - 1);
    showReportButton(n);
    for (int i = 0; i < 6; ++i) {
        QFont font = stepLabels_[i]->font();
        font.setBold(i == n - 1);
        stepLabels_[i]->setFont(font);
    }
    if (currentStep_ == 5)
        nextButton_->setEnabled(chosenTablesList_->count() > 0);

    QWidget* focus = nullptr;
    switch (n) {
    case 2: focus = databaseEdit_; break;
    case 3: focus = oracleServiceEdit_; break;
    case 4: focus = databaseList_; break;
    case 5: focus = availableTablesList_; break;
    default: break;
    }
    if (focus)
        focus->setFocus();
}

void ConversionWizard::next()
{
    PageOutcome outcome = PageOutcome::MoveOn;
    try {
        switch (currentStep_) {
        case 2: outcome = connectToMySql(); break;
        case 3: connectToOracle(); break;
        case 4: listTables(); break;
        case 5: outcome = startConversion(); break;
        case 6: finish(); break;
        default: break;
        }
    } catch (const Error& error) {
        showErrorBox(error.message());
        return;
    }
    if (outcome == PageOutcome::Stay)
        return;

    if (stopRequested) {
        // A stop confirmed too late to end the run, or after a run that failed.
        stopRequested = false;
    } else if (currentStep_ < 6) {
        ++currentStep_;
        showPage(currentStep_);
    }
    if (unattended_ && unattendedContinuation)
        unattendedContinuation();
}

void ConversionWizard::back()
{
    if (currentStep_ == 5)
        clearTableLists();
    --currentStep_;
    showPage(currentStep_);
}

void ConversionWizard::cancel()
{
    if (cancelAction_ == CancelAction::Stop)
        confirmStop();
    else
        confirmClose();
}

void ConversionWizard::confirmClose()
{
    const QString question = findChild<QLabel*>(QStringLiteral("queryclose"))->text();
    if (seam_->ask(this, QStringLiteral("Information"), question) == MessageSeam::Answer::Yes)
        close();
}

void ConversionWizard::confirmStop()
{
    // The run waits while the question is open: its progress clocks leave that time out.
    QElapsedTimer questionOpen;
    questionOpen.start();
    const MessageSeam::Answer answer = seam_->ask(this, QStringLiteral("Info"), QStringLiteral("Stop"));
    stopQuestionMilliseconds_ += questionOpen.elapsed();
    if (answer == MessageSeam::Answer::No) {
        stopRequested = false;
        return;
    }
    stopRequested = true;
    backButton_->setEnabled(true);
    cancelButton_->setText(controlText(QStringLiteral("Close"), languageCode));
    cancelAction_ = CancelAction::Close;
}

PageOutcome ConversionWizard::startConversion()
{
    RunHooks hooks{.letEventsThrough = [this] { letEventsThrough(); },
                   .stopRequested = [this] { return stopRequested; },
                   .clearStopRequest = [this] { stopRequested = false; },
                   .runStarted = [this] { runStarted(); },
                   .progressChanged = [this](const RunProgress& progress) { runProgress_->showProgress(progress, languageCode); },
                   .pausedMilliseconds = [this] { return stopQuestionMilliseconds_; },
                   .completedCaption = captionOf(QStringLiteral("Label29")),
                   .successCaption = captionOf(QStringLiteral("Label30")),
                   .finishCaption = captionOf(QStringLiteral("Label32")),
                   .logFilePath = unattended_ ? unattendedLogPath : QString()};

    lastRunResult_.reset();
    runUnderWay_ = false;
    const auto runOver = qScopeGuard([this] { runProgress_->runEnded(); });
    ConversionJob job(dovrelle::profileFromControls(*this), std::move(hooks));
    RunResult result;
    try {
        result = job.run(*runLog_);
    } catch (const Error&) {
        saveUnfinishedRunLog();
        throw;
    }
    lastRunResult_ = result;
    if (result.outcome == RunOutcome::Stopped) {
        saveUnfinishedRunLog();
        return PageOutcome::Stay;
    }
    noteSavedLog(result.logFile);
    // The run is over: the button that read "Stop" is the Close button again (page 6 disables it).
    cancelButton_->setText(controlText(QStringLiteral("Close"), languageCode));
    cancelAction_ = CancelAction::Close;
    if (unattended_)
        close();
    return PageOutcome::MoveOn;
}

// A run that was stopped or ended by an error keeps its log too: saved where a completed run
// saves it (a run that never began, its connections refused, has no log of its own).
void ConversionWizard::saveUnfinishedRunLog()
{
    if (!runUnderWay_)
        return;
    const bool stopped = lastRunResult_ && lastRunResult_->outcome == RunOutcome::Stopped;
    const QString summary = stopped ? QStringLiteral("The run was stopped")
                                    : QStringLiteral("The run ended with an error: ") + runLog_->lastLine();
    try {
        const QString path =
            saveRunLog(*runLog_, unattended_ ? unattendedLogPath : QString(), QDateTime::currentDateTime());
        noteSavedLog(path);
        // The report beside the log; one that cannot be written leaves the log page as it is.
        writeRunReport(path, profileFromControls(*this), lastRunResult_ ? lastRunResult_->tables : QList<TableRunRecord>{},
                       summary, QDateTime(), QDateTime::currentDateTime());
    } catch (const Error& error) {
        runLog_->append(error.message());
    }
}

// The page's last line names the log file (the file itself ends before this line).
void ConversionWizard::noteSavedLog(const QString& path)
{
    runLog_->append(QStringLiteral("Log saved to ") + QDir::toNativeSeparators(path));
}

// The run shows its log at once, while the step stays 5, and turns Close into Stop.
void ConversionWizard::runStarted()
{
    runUnderWay_ = true;
    pages_->setCurrentIndex(5);
    backButton_->setEnabled(false);
    nextButton_->setEnabled(false);
    cancelButton_->setText(controlText(QStringLiteral("Stop"), languageCode));
    cancelButton_->setEnabled(true);
    cancelAction_ = CancelAction::Stop;
    stopRequested = false;
}

void ConversionWizard::letEventsThrough()
{
    QCoreApplication::processEvents();
    if (eventsLetThrough)
        eventsLetThrough();
}

void ConversionWizard::finish()
{
    runLog_->clear();
    chosenTablesList_->clear();
    close();
}

void ConversionWizard::showHelp()
{
    const QUrl guide = helpAddress(captionOf(QStringLiteral("helpurl")));
    // Without a program to open it (no desktop URL handler), the user learns where the guide is.
    if (openUrl && !openUrl(guide)) {
        const QString where = guide.isLocalFile() ? QDir::toNativeSeparators(guide.toLocalFile()) : guide.toString();
        seam_->notify(this, QStringLiteral("The user guide could not be opened: no program is set up to open it.\n"
                                           "You find it here:\n") + where);
    }
}

void ConversionWizard::closeWindow()
{
    close();
}

// The title-bar close box closes at once, without the close question, also during a run: the
// run goes on and the program ends once the Next action holding it has returned.
void ConversionWizard::closeEvent(QCloseEvent* event)
{
    event->accept();
}

// A server's message may hold a password ("Access denied for user ..."): the box shows "***".
void ConversionWizard::showErrorBox(const QString& message)
{
    QStringList secrets;
    for (const QLineEdit* edit : {mysqlPasswordEdit_, oraclePasswordEdit_})
        if (edit)
            secrets.append(edit->text());
    seam_->showError(this, maskSecrets(message, secrets));
}

QString ConversionWizard::captionOf(const QString& name) const
{
    const QLabel* label = findChild<QLabel*>(name);
    return label ? label->text() : QString();
}

void ConversionWizard::applyCaptions()
{
    const QStringList* table = nullptr;
    if (languageCode == u"en")
        table = &englishCaptions;
    else if (languageCode == u"cn")
        table = &chineseCaptions;
    else
        return;

    for (QWidget* widget : findChildren<QWidget*>()) {
        const QString caption = captionFromTable(*table, widget->objectName());
        if (auto* label = qobject_cast<QLabel*>(widget))
            label->setText(caption);
        else if (auto* box = qobject_cast<QGroupBox*>(widget))
            box->setTitle(caption);
        else if (auto* check = qobject_cast<QCheckBox*>(widget))
            check->setText(caption);
    }

    applyControlTexts();
}

// The controls the caption tables leave open: the buttons and the radio groups' entries.
void ConversionWizard::applyControlTexts()
{
    // The buttons whose text stays the same on every page, by their English text.
    static const std::pair<const char*, const char*> fixedButtons[] = {
        {"btback", "< Back"},       {"bthelp", "Help"},         {"Button1", "Add >"},
        {"Button2", "Add all >"},   {"Button3", "< Remove"},    {"Button4", "< Remove all"},
        {"btcreatebat", "Create Shortcut File"}, {"btcheck", "Check tables\u2026"},
        {"btopenreport", "Open report"},
    };
    for (const auto& [name, english] : fixedButtons)
        findChild<QPushButton*>(QLatin1String(name))->setText(controlText(QString::fromUtf8(english), languageCode));
    nextButton_->setText(controlText(currentStep_ == 6 ? QStringLiteral("Finish") : QStringLiteral("Next >"), languageCode));
    cancelButton_->setText(controlText(QStringLiteral("Close"), languageCode));
    for (const RadioGroup* group : findChildren<RadioGroup*>()) {
        for (int i = 0; i < group->count(); ++i)
            group->button(i)->setText(controlText(group->items()[i], languageCode));
    }
}

void ConversionWizard::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (centred_)
        return;
    centred_ = true;
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

}  // namespace dovrelle
