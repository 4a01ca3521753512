#include "wizard/shortcut_dialog.h"

#include "db/error.h"
#include "settings/settings_file.h"
#include "settings/settings_paths.h"
#include "settings/shell_link.h"
#include "wizard/conversion_wizard.h"
#include "wizard/radio_group.h"
#include "wizard/settings_controls.h"
#include "wizard/window_font.h"
#include "wizard/wizard_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace dovrelle {

namespace {

QString askShortcutPath(QWidget* parent)
{
    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("SaveDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(shortcutFileFilter());
    dialog.setDefaultSuffix(shortcutDefaultSuffix());
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QGroupBox* groupBox(QWidget* parent, const QString& title, const char* name, QRect geometry)
{
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(QLatin1String(name));
    group->setGeometry(geometry);
    return group;
}

}  // namespace

ShortcutDialog::ShortcutDialog()
    : chooseShortcutPath(askShortcutPath), programPath(QCoreApplication::applicationFilePath())
{
    setObjectName(QStringLiteral("marfrm_bat"));
    setWindowTitle(QStringLiteral("marfrm_bat"));
    setWindowModality(Qt::ApplicationModal);
    // The wizard's font: the pixel positions below were made for it, so no caption is cut.
    setFont(windowFont());
    setFixedSize(631, 329);

    buildMySqlGroup();
    buildOracleGroup();
    buildSettingsGroup();
    buildTableChoice();

    createButton_ = new QPushButton(QStringLiteral("Create Shortcut File"), this);
    createButton_->setObjectName(QStringLiteral("Button1"));
    createButton_->setGeometry(244, 280, 142, 33);
    connect(createButton_, &QPushButton::clicked, this, &ShortcutDialog::createShortcut);

    settingsTextView_ = new QPlainTextEdit(this);
    settingsTextView_->setObjectName(QStringLiteral("Memo1"));
    settingsTextView_->hide();
}

QLineEdit* ShortcutDialog::addField(QWidget* group, int row, const QString& label, const char* name)
{
    const int y = 20 + row * 23;
    auto* caption = new QLabel(label, group);
    caption->setGeometry(8, y + 2, 140, 17);
    auto* field = new QLineEdit(group);
    field->setObjectName(QLatin1String(name));
    field->setReadOnly(true);
    field->setGeometry(150, y, 137, 21);
    return field;
}

QCheckBox* ShortcutDialog::addCheckBox(QWidget* group, int row, const QString& caption, const char* name)
{
    auto* box = new QCheckBox(caption, group);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(12, 20 + row * 22, 270, 20);
    return box;
}

void ShortcutDialog::buildMySqlGroup()
{
    auto* group = groupBox(this, QStringLiteral("Connect Mysql Server"), "gpmysql", {13, 5, 297, 140});
    mysqlHostField_ = addField(group, 0, QStringLiteral("IP address or network name"), "edtmysqlip");
    addField(group, 1, QStringLiteral("MySQL Port"), "edtmysqlport");
    addField(group, 2, QStringLiteral("MySQL database name"), "edtmysqldatabase");
    addField(group, 3, QStringLiteral("MySQL user name"), "edtmysqlusername");
    addField(group, 4, QStringLiteral("MySQL user password"), "edtmysqlpassword")->setEchoMode(QLineEdit::Password);
}

void ShortcutDialog::buildOracleGroup()
{
    auto* group = groupBox(this, QStringLiteral("Connect Oracle Server"), "gporacle", {320, 5, 297, 140});
    addField(group, 0, QStringLiteral("Oracle service name"), "edtoracleservice");
    addField(group, 1, QStringLiteral("Oracle user name"), "edtoracleusername");
    addField(group, 2, QStringLiteral("Oracle user password"), "edtoraclepassword")->setEchoMode(QLineEdit::Password);
    existingTablesField_ = addField(group, 3, QStringLiteral("Process existing tables"), "edtoracleexits");
    addField(group, 4, QStringLiteral("Character Set"), "edtcharset");
}

void ShortcutDialog::buildSettingsGroup()
{
    auto* group = groupBox(this, QStringLiteral("Conversion Settings."), "gpsettings", {13, 151, 297, 114});
    addCheckBox(group, 0, QStringLiteral("Convert table definitions only"), "chktabledefi");
    addCheckBox(group, 1, QStringLiteral("Skip converting indexes"), "chkskipindex");
    addCheckBox(group, 2, QStringLiteral("Make names uppercase"), "chkuppercase");
    addCheckBox(group, 3, QStringLiteral("Convert BLOB to text"), "chkblobtotext");
}

void ShortcutDialog::buildTableChoice()
{
    tableChoice_ = new RadioGroup({QStringLiteral("Selected tables"), QStringLiteral("All database tables")}, this);
    tableChoice_->setObjectName(QStringLiteral("rgselecttable"));
    tableChoice_->setTitle(QStringLiteral("Select MySQL tables"));
    tableChoice_->setGeometry(316, 151, 132, 114);

    tableList_ = new QListWidget(this);
    tableList_->setObjectName(QStringLiteral("mysqltableselect"));
    tableList_->setGeometry(452, 151, 169, 88);

    reselectButton_ = new QPushButton(QStringLiteral("Reselect tables"), this);
    reselectButton_->setObjectName(QStringLiteral("bttableselect"));
    reselectButton_->setGeometry(498, 242, 103, 25);

    connect(tableChoice_, &RadioGroup::itemIndexChanged, this, &ShortcutDialog::tableChoiceChanged);
    connect(reselectButton_, &QPushButton::clicked, this, &ShortcutDialog::reselectTables);
    tableChoice_->setItemIndex(1);
    tableChoiceChanged();
}

void ShortcutDialog::fillFromWizard(ConversionWizard& wizard)
{
    wizard_ = &wizard;
    const WizardControls c(wizard);
    mysqlHostField_->setText(c.accessMode->itemIndex() != 0 ? c.hostEdit->text() : QStringLiteral("localhost"));
    existingTablesField_->setText(c.existingTableChoice->items().value(c.existingTableChoice->itemIndex()));
    for (const SettingRow& row : settingsSchema()) {
        if (row.dialogField)
            putFileValue(settingControl(*this, row.dialogField), wizardFileValue(wizard, row));
    }
    tableList_->clear();
    for (int row = 0; row < c.chosenTablesList->count(); ++row)
        tableList_->addItem(c.chosenTablesList->item(row)->text());
}

void ShortcutDialog::openFor(ConversionWizard& wizard)
{
    fillFromWizard(wizard);
    exec();
}

void ShortcutDialog::tableChoiceChanged()
{
    const bool listed = tableChoice_->itemIndex() != 1;
    tableList_->setVisible(listed);
    reselectButton_->setVisible(listed);
}

void ShortcutDialog::reselectTables()
{
    if (wizard_) {
        wizard_->messageSeam().notify(this, QStringLiteral(
            "This form will be closed.\rAfter you finish your choice,please click the button "
            "\"Create Shortcut File\" to return to this form."));
    }
    reject();
}

// The values the wizard holds, replaced by those the dialog shows (and lets the user change).
void ShortcutDialog::writeSettingsFile(const QString& settingsPath)
{
    if (!wizard_)
        throw Error(QStringLiteral("The shortcut dialog has not been filled from the wizard"));
    SettingsValues values = wizardFileValues(*wizard_);
    for (const SettingRow& row : settingsSchema()) {
        if (row.dialogField)
            values.insert(QLatin1String(row.fileKey), fileValueOfControl(settingControl(*this, row.dialogField)));
    }
    values.insert(QLatin1String(tableListRow().fileKey), QString::number(tableChoice_->itemIndex()));
    QStringList tables;
    for (int row = 0; row < tableList_->count(); ++row)
        tables << tableList_->item(row)->text();

    const QStringList lines = settingsFileLines(values, tables);
    settingsTextView_->setPlainText(lines.join(QLatin1Char('\n')));
    saveSettingsFile(settingsPath, lines);
}

void ShortcutDialog::createShortcut()
{
    if (!wizard_)
        return;
    // A file that lists no table would make its unattended run convert nothing.
    if (tableChoice_->itemIndex() == 0 && tableList_->count() == 0) {
        wizard_->messageSeam().warn(this, QStringLiteral(
            "No table is selected. Choose the tables on page 5 (\"Reselect tables\") or choose \"All database tables\"."));
        return;
    }
    QString shortcutPath = chooseShortcutPath(this);
    if (shortcutPath.isEmpty())
        return;
    if (QFileInfo(shortcutPath).suffix().isEmpty())
        shortcutPath += QLatin1Char('.') + shortcutDefaultSuffix();
    const QString settingsPath = settingsPathForShortcut(shortcutPath);
    const QString logPath = logPathForShortcut(shortcutPath);
    try {
        writeSettingsFile(settingsPath);
        createShellLink(programPath, quotedShortcutArgument(settingsPath), shortcutPath);
    } catch (const Error& e) {
        wizard_->showErrorBox(e.message());
        return;
    }
    wizard_->messageSeam().notify(
        this, QStringLiteral("Success to create \"%1\".\rCreate setting file \"%2\" OK.\r"
                             "It will build a log file \"%3\" after running with this Shortcut File.")
                  .arg(QDir::toNativeSeparators(shortcutPath), QDir::toNativeSeparators(settingsPath),
                       QDir::toNativeSeparators(logPath)));
    accept();
}

}  // namespace dovrelle
