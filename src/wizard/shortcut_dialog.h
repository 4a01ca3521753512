#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <functional>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace dovrelle {

class RadioGroup;
class ConversionWizard;

// The shortcut dialog (objectName "marfrm_bat", titled "Create Shortcut File"): shows the wizard's
// set-up (passwords masked, in the wizard's font), lets the user change the four conversion
// options and choose between the tables chosen on page 5 and all tables, and writes a settings
// file plus a shortcut (launcher) that starts the program with it. "Selected tables" with an
// empty list is refused with a warning before anything is written. Created once and reused; the
// table choice carries over between openings.
class ShortcutDialog : public QDialog {
    Q_OBJECT
public:
    ShortcutDialog();

    // Chooses the shortcut path (the save dialog); the empty text when the user cancels.
    std::function<QString(QWidget* parent)> chooseShortcutPath;
    // The program the shortcut starts: this executable unless replaced.
    QString programPath;

    // Fills every field, the check boxes and the table list from the wizard (openFor
    // does this, then shows the dialog modally).
    void fillFromWizard(ConversionWizard& wizard);
    void openFor(ConversionWizard& wizard);

    void tableChoiceChanged();
    void reselectTables();
    void createShortcut();
    // Writes the settings file at settingsPath from the dialog's fields; throws Error.
    void writeSettingsFile(const QString& settingsPath);

private:
    void buildMySqlGroup();
    void buildOracleGroup();
    void buildSettingsGroup();
    void buildTableChoice();
    QLineEdit* addField(QWidget* group, int row, const QString& label, const char* name);
    QCheckBox* addCheckBox(QWidget* group, int row, const QString& caption, const char* name);

    QPointer<ConversionWizard> wizard_;

    QLineEdit* mysqlHostField_ = nullptr;
    QLineEdit* existingTablesField_ = nullptr;
    RadioGroup* tableChoice_ = nullptr;
    QListWidget* tableList_ = nullptr;
    QPushButton* reselectButton_ = nullptr;
    QPushButton* createButton_ = nullptr;
    QPlainTextEdit* settingsTextView_ = nullptr;
};

}  // namespace dovrelle
