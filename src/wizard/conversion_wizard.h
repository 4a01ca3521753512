#pragma once

#include "engine/conversion_profile.h"
#include "engine/conversion_run.h"
#include "settings/settings_file_content.h"
#include "wizard/message_seam.h"

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QTimer;

namespace dovrelle {

// What a page action leaves Next to do: go on to the next page, or stay on this one (after the
// action showed its own message, or after a run the user stopped).
enum class PageOutcome { MoveOn, Stay };

class MySqlConnection;
class MySqlQuery;
class OracleConnection;
class RadioGroup;
class RunLog;
class RunLogView;
class RunProgressPanel;

// The wizard window "aaform1": six pages, the step panel on the left, the button row below.
// Every control carries its name as objectName, so callers find it with
// findChild<QLineEdit*>("edtname") and the like.
//
// Start-up: construct, set the hooks below, then call start(). Destroying the window calls
// saveRememberedSettings.
class ConversionWizard : public QWidget {
    Q_OBJECT
public:
    explicit ConversionWizard(QWidget* parent = nullptr);
    ~ConversionWizard() override;

    // --- Hooks that main() (the settings code) fills in before start() ---
    std::function<void()> loadRememberedSettings;  // start(), after the captions
    std::function<void()> saveRememberedSettings;  // the destructor
    std::function<void()> unattendedStart;         // start(), only when unattended
    std::function<void()> unattendedContinuation;  // end of next, only when unattended
    std::function<void()> openShortcutDialog;      // createShortcutFile
    // Log file of an unattended run (the settings path with ".log"); empty: the data folder.
    QString unattendedLogPath;
    // Opens the help address; QDesktopServices::openUrl unless replaced (tests record it).
    std::function<bool(const QUrl&)> openUrl;
    // Called at every check point of a run, after pending events were delivered.
    std::function<void()> eventsLetThrough;

    // The start-up sequence. commandLine is the full argument list, program first; any further
    // argument makes the start unattended, the first of them being the settings path.
    void start(const QStringList& commandLine);

    // --- Wizard state ---
    int currentStep() const { return currentStep_; }
    bool stopRequested = false;
    bool unattended() const { return unattended_; }
    QString settingsPath() const;  // first command-line argument, or empty
    QString languageCode = QStringLiteral("en");
    // The caption language start() applies ("en" unless main() chose another, see LanguageChoice).
    QString startLanguage = QStringLiteral("en");

    // Caption tables: lines "name=caption".
    QStringList englishCaptions;
    QStringList chineseCaptions;
    // The settings file the window was started with, as read.
    SettingsFileContent settingsFile;

    RunLog& runLog() { return *runLog_; }
    // The outcome of the last run that reached its end (none before the first, or when a run
    // ended with an error).
    const std::optional<RunResult>& lastRunResult() const { return lastRunResult_; }
    MessageSeam& messageSeam() { return *seam_; }
    void setMessageSeam(std::unique_ptr<MessageSeam> seam);

    // One-shot, 1000 ms, stopped; started by the unattended start. When it fires it stops and
    // performs Next.
    QTimer* unattendedTimer() const { return unattendedTimer_; }

    // --- Actions ---
    void showPage(int n);
    void next();   // Next / Finish; errors show in the error box
    void performNext() { next(); }  // Next regardless of the button's state
    void back();
    void confirmClose();
    void confirmStop();
    void showHelp();
    RunProgressPanel& runProgressPanel() { return *runProgress_; }
    void logoClicked() { showHelp(); }
    void closeWindow();   // closes without a question, like the title-bar close box
    void applyCaptions();

    // Page actions; a failure throws Error, which Next shows in the error box.
    void accessModeChanged();
    PageOutcome connectToMySql();
    void connectToOracle();
    void listTables();
    PageOutcome startConversion();
    void finish();
    void clearTableLists();
    void addSelectedTables();
    void addAllTables();
    void removeSelectedTables();
    void removeAllTables();
    void createShortcutFile();
    // "Check tables..." on page 5: the check of the chosen tables under the page 4 options, its
    // report written into the data folder and opened; "Open report" on page 6 opens the run's.
    void checkChosenTables();
    void openRunReport();
    // The report "Check tables..." wrote last (empty before).
    const QString& lastCheckReport() const { return lastCheckReport_; }

    // The error box: the message with the full stop rule, through the seam.
    void showErrorBox(const QString& message);

    // --- The window's connections ---
    MySqlConnection& catalogConnection() { return *catalog_; }
    OracleConnection& oracleConnection() { return *oracle_; }
    OracleConnection& oracleDataConnection() { return *oracleData_; }

    // Whether availabletables keeps alphabetical order (from the first move back on).
    bool availableTablesSorted() const { return availableSorted_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    enum class CancelAction { Close, Stop };
    std::optional<RunResult> lastRunResult_;

    void applyControlTexts();
    void buildFrame();
    void buildPage1(QWidget* page);
    void buildPage2(QWidget* page);
    void buildPage3(QWidget* page);
    void buildPage4(QWidget* page);
    QCheckBox* addOptionCheckBox(QWidget* page, const char* name);
    void buildPage5(QWidget* page);
    void buildPage6(QWidget* page);
    void buildHiddenValues();
    void setTabOrders();
    void cancel();
    void runStarted();
    void letEventsThrough();
    void saveUnfinishedRunLog();
    void noteSavedLog(const QString& path);
    void updateNextForTables();
    void addAvailableTable(const QString& name);
    void sortAvailableTables();
    QString captionOf(const QString& name) const;

    void showReportButton(int page);

    int currentStep_ = 1;
    QString lastCheckReport_;
    bool unattended_ = false;
    bool availableSorted_ = false;
    bool centred_ = false;
    int optionCheckBoxes_ = 0;
    QStringList commandLine_;
    CancelAction cancelAction_ = CancelAction::Close;

    std::unique_ptr<MessageSeam> seam_;
    RunLog* runLog_;
    QTimer* unattendedTimer_;

    std::unique_ptr<MySqlConnection> catalog_;
    std::unique_ptr<OracleConnection> oracle_;
    std::unique_ptr<OracleConnection> oracleData_;

    // Frame
    QStackedWidget* pages_ = nullptr;
    QLabel* stepLabels_[6] = {};
    QPushButton* backButton_ = nullptr;
    QPushButton* nextButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* helpButton_ = nullptr;
    // Page 2
    RadioGroup* accessMode_ = nullptr;
    QLineEdit* databaseEdit_ = nullptr;
    QLineEdit* mysqlUserEdit_ = nullptr;
    QLineEdit* mysqlPasswordEdit_ = nullptr;
    QLineEdit* hostEdit_ = nullptr;
    QLineEdit* portEdit_ = nullptr;
    // Page 3
    QLineEdit* oracleServiceEdit_ = nullptr;
    QLineEdit* oracleUserEdit_ = nullptr;
    QLineEdit* oraclePasswordEdit_ = nullptr;
    // Page 4
    QListWidget* databaseList_ = nullptr;
    RadioGroup* existingTableChoice_ = nullptr;
    QCheckBox* tableDefinitionsOnlyBox_ = nullptr;
    QCheckBox* skipIndexesBox_ = nullptr;
    QCheckBox* upperCaseNamesBox_ = nullptr;
    QCheckBox* blobToTextBox_ = nullptr;
    QCheckBox* fullSchemaBox_ = nullptr;
    QComboBox* characterSetBox_ = nullptr;
    // Page 5
    QListWidget* availableTablesList_ = nullptr;
    QListWidget* chosenTablesList_ = nullptr;
    // Page 6
    RunLogView* runLogView_ = nullptr;
    RunProgressPanel* runProgress_ = nullptr;  // in the step panel, shown while a run goes
    bool runUnderWay_ = false;
    qint64 stopQuestionMilliseconds_ = 0;  // how long the Stop question has been open, in all
};

}  // namespace dovrelle
