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
class Taaform1;

// The shortcut dialog "marfrm_bat": shows the wizard's set-up, lets the user change the four
// conversion options and choose between the tables chosen on page 5 and all tables, and writes
// a settings file plus a shortcut (launcher) that starts the program with it. Created once and
// reused; the table choice carries over between openings.
class Tmarfrm_bat : public QDialog {
    Q_OBJECT
public:
    Tmarfrm_bat();

    // Chooses the shortcut path (the save dialog); the empty text when the user cancels.
    std::function<QString(QWidget* parent)> chooseShortcutPath;
    // The program the shortcut starts: this executable unless replaced.
    QString programPath;

    // Fills every field, the check boxes and the table list from the wizard (btcreatebatClick
    // does this, then shows the dialog modally).
    void fillFromWizard(Taaform1& wizard);
    void btcreatebatClick(Taaform1& wizard);

    void rgselecttableClick();
    void bttableselectClick();
    void Button1Click();
    // Writes the settings file at settingsPath from the dialog's fields; throws Error.
    void writeSettingsFile(const QString& settingsPath);

private:
    void buildMySqlGroup();
    void buildOracleGroup();
    void buildSettingsGroup();
    void buildTableChoice();
    QLineEdit* addField(QWidget* group, int row, const QString& label, const char* name);
    QCheckBox* addCheckBox(QWidget* group, int row, const QString& caption, const char* name);

    QPointer<Taaform1> wizard_;

    QLineEdit* edtmysqlip_ = nullptr;
    QLineEdit* edtmysqlport_ = nullptr;
    QLineEdit* edtmysqldatabase_ = nullptr;
    QLineEdit* edtmysqlusername_ = nullptr;
    QLineEdit* edtmysqlpassword_ = nullptr;
    QLineEdit* edtoracleservice_ = nullptr;
    QLineEdit* edtoracleusername_ = nullptr;
    QLineEdit* edtoraclepassword_ = nullptr;
    QLineEdit* edtoracleexits_ = nullptr;
    QLineEdit* edtcharset_ = nullptr;
    QCheckBox* chktabledefi_ = nullptr;
    QCheckBox* chkskipindex_ = nullptr;
    QCheckBox* chkuppercase_ = nullptr;
    QCheckBox* chkblobtotext_ = nullptr;
    RadioGroup* rgselecttable_ = nullptr;
    QListWidget* mysqltableselect_ = nullptr;
    QPushButton* bttableselect_ = nullptr;
    QPushButton* button1_ = nullptr;
    QPlainTextEdit* memo1_ = nullptr;
};

}  // namespace dovrelle
