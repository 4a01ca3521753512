// The wizard window: start-up, the frame (step panel, page area, button row) and navigation.
#include "taaform1.h"

#include "application_title.h"
#include "caption_tables.h"
#include "engine/conversion_job.h"
#include "data_folder.h"
#include "error.h"
#include "help_address.h"
#include "mysql_connection.h"
#include "mysql_query.h"
#include "oracle_connection.h"
#include "qt_message_seam.h"
#include "run_log.h"
#include "run_log_view.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTimer>

namespace dovrelle {

Taaform1::Taaform1(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint),
      seam_(std::make_unique<QtMessageSeam>()),
      runLog_(new RunLog(this)),
      timer1_(new QTimer(this)),
      mysqlconnect_(std::make_unique<MySqlConnection>()),
      xtb_(std::make_unique<MySqlQuery>(*mysqlconnect_)),
      oracleconn_(std::make_unique<OracleConnection>()),
      oracledata_(std::make_unique<OracleConnection>())
{
    setObjectName(QStringLiteral("aaform1"));
    openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
#ifdef Q_OS_WIN
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
#else
    setFont(platformLayoutFont());
#endif
    setFixedSize(594, 425);
    buildFrame();
    buildHiddenValues();
    setTabOrders();
    english = englishCaptionTable();
    chn = chineseCaptionTable();

    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setSingleShot(true);
    timer1_->setInterval(1000);
    connect(timer1_, &QTimer::timeout, this, [this] {
        timer1_->stop();
        performNext();
    });

    // The frame of page 1 until formCreate has run.
    showPage(1);
}

// FormDestroy: the remembered settings are written whichever way the program ends.
Taaform1::~Taaform1()
{
    if (!saveRegistrySettings)
        return;
    try {
        saveRegistrySettings();
    } catch (const Error& error) {
        showErrorBox(error.message());
    }
}

void Taaform1::setMessageSeam(std::unique_ptr<MessageSeam> seam)
{
    if (seam)
        seam_ = std::move(seam);
}

QString Taaform1::settingsPath() const
{
    return commandLine_.value(1);
}

void Taaform1::formCreate(const QStringList& commandLine)
{
    commandLine_ = commandLine;
    findChild<QWidget*>(QStringLiteral("Image1"))->show();
    ensureDataFolder();  // a failure shows up when the log file is written
    unattended_ = commandLine.size() > 1;
    languageCode = QStringLiteral("en");
    applyCaptions();
    stopRequested = false;
    cancelAction_ = CancelAction::Close;
    setWindowTitle(applicationTitle());
    try {
        if (loadRegistrySettings)
            loadRegistrySettings();
        if (unattended_ && unattendedStart)
            unattendedStart();
    } catch (const Error& error) {
        showErrorBox(error.message());
        return;
    }
    currentStep_ = 1;
    showPage(1);
}

void Taaform1::showPage(int n)
{
    btback_->setEnabled(true);
    btnext_->setEnabled(true);
    btnext_->setText(QStringLiteral("Next >"));
    btcancel_->setEnabled(true);
    bthelp_->setEnabled(true);
    if (n == 1)
        btback_->setEnabled(false);
    if (n == 6) {
        btback_->setEnabled(false);
        btnext_->setText(QStringLiteral("Finish"));
        btcancel_->setEnabled(false);
        bthelp_->setEnabled(false);
    }
    pg_->setCurrentIndex(n - 1);
    for (int i = 0; i < 6; ++i) {
        QFont font = stepLabels_[i]->font();
        font.setBold(i == n - 1);
        stepLabels_[i]->setFont(font);
    }
    if (currentStep_ == 5)
        btnext_->setEnabled(selecttables_->count() > 0);

    QWidget* focus = nullptr;
    switch (n) {
    case 2: focus = edtdatabase_; break;
    case 3: focus = edtservice_; break;
    case 4: focus = mysqldblist_; break;
    case 5: focus = availabletables_; break;
    default: break;
    }
    if (focus)
        focus->setFocus();
}

void Taaform1::btnextClick()
{
    try {
        switch (currentStep_) {
        case 2: step2Click(); break;
        case 3: step3Click(); break;
        case 4: step4Click(); break;
        case 5: step5Click(); break;
        case 6: step6Click(); break;
        default: break;
        }
    } catch (const Error& error) {
        showErrorBox(error.message());
        return;
    } catch (const SilentAbort&) {
        return;
    }

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

void Taaform1::btbackClick()
{
    if (currentStep_ == 5)
        bkstep5Click();
    --currentStep_;
    showPage(currentStep_);
}

void Taaform1::btcancelClick()
{
    if (cancelAction_ == CancelAction::Stop)
        confirmStop();
    else
        confirmClose();
}

void Taaform1::confirmClose()
{
    const QString question = findChild<QLabel*>(QStringLiteral("queryclose"))->text();
    if (seam_->ask(this, QStringLiteral("Information"), question) == MessageSeam::Answer::Yes)
        close();
}

void Taaform1::confirmStop()
{
    if (seam_->ask(this, QStringLiteral("Info"), QStringLiteral("Stop")) == MessageSeam::Answer::No) {
        stopRequested = false;
        return;
    }
    stopRequested = true;
    btback_->setEnabled(true);
    btcancel_->setText(QStringLiteral("Close"));
    cancelAction_ = CancelAction::Close;
}

void Taaform1::step5Click()
{
    RunHooks hooks{.letEventsThrough = [this] { letEventsThrough(); },
                   .stopRequested = [this] { return stopRequested; },
                   .clearStopRequest = [this] { stopRequested = false; },
                   .runStarted = [this] { runStarted(); },
                   .completedCaption = captionOf(QStringLiteral("Label29")),
                   .successCaption = captionOf(QStringLiteral("Label30")),
                   .finishCaption = captionOf(QStringLiteral("Label32")),
                   .logFilePath = unattended_ ? unattendedLogPath : QString()};

    lastRunResult_.reset();
    ConversionJob job(profileFromControls(), std::move(hooks));
    const RunResult result = job.run(*runLog_);
    lastRunResult_ = result;
    if (result.outcome == RunOutcome::Stopped)
        throw SilentAbort();
    // The run is over: the button that read "Stop" is the Close button again (page 6 disables it).
    btcancel_->setText(QStringLiteral("Close"));
    cancelAction_ = CancelAction::Close;
    if (unattended_)
        close();
}

// The run shows its log at once, while the step stays 5, and turns Close into Stop.
void Taaform1::runStarted()
{
    pg_->setCurrentIndex(5);
    btback_->setEnabled(false);
    btnext_->setEnabled(false);
    btcancel_->setText(QStringLiteral("Stop"));
    btcancel_->setEnabled(true);
    cancelAction_ = CancelAction::Stop;
    stopRequested = false;
}

void Taaform1::letEventsThrough()
{
    QCoreApplication::processEvents();
    if (eventsLetThrough)
        eventsLetThrough();
}

void Taaform1::step6Click()
{
    runLog_->clear();
    selecttables_->clear();
    close();
}

void Taaform1::bthelpClick()
{
    const QString address = captionOf(QStringLiteral("helpurl"));
    if (openUrl)
        openUrl(helpAddress(address));
}

void Taaform1::closeWindow()
{
    close();
}

// The title-bar close box closes at once, without the close question, also during a run: the
// run goes on and the program ends once the Next action holding it has returned.
void Taaform1::closeEvent(QCloseEvent* event)
{
    event->accept();
}

void Taaform1::showErrorBox(const QString& message)
{
    seam_->showError(this, message);
}

QString Taaform1::captionOf(const QString& name) const
{
    const QLabel* label = findChild<QLabel*>(name);
    return label ? label->text() : QString();
}

void Taaform1::applyCaptions()
{
    const QStringList* table = nullptr;
    if (languageCode == u"en")
        table = &english;
    else if (languageCode == u"cn")
        table = &chn;
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

    auto* btcreatebat = findChild<QPushButton*>(QStringLiteral("btcreatebat"));
    if (languageCode == u"en") {
        btcreatebat->setText(QStringLiteral("Create Shortcut File"));
        return;
    }
    btcreatebat->setText(QStringLiteral("创建快捷方式"));
    findChild<QPushButton*>(QStringLiteral("Button1"))->setText(QStringLiteral("添加>"));
    findChild<QPushButton*>(QStringLiteral("Button2"))->setText(QStringLiteral("添加全部>"));
    findChild<QPushButton*>(QStringLiteral("Button3"))->setText(QStringLiteral("<去除"));
    findChild<QPushButton*>(QStringLiteral("Button4"))->setText(QStringLiteral("<去除全部"));
    bthelp_->setText(QStringLiteral("帮助"));
}

void Taaform1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (centred_)
        return;
    centred_ = true;
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

}  // namespace dovrelle
