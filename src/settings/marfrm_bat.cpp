#include "marfrm_bat.h"

#include "application_title.h"
#include "error.h"
#include "radio_group.h"
#include "settings_file.h"
#include "settings_paths.h"
#include "shell_link.h"
#include "taaform1.h"
#include "wizard_controls.h"

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

Tmarfrm_bat::Tmarfrm_bat()
    : chooseShortcutPath(askShortcutPath), programPath(QCoreApplication::applicationFilePath())
{
    setObjectName(QStringLiteral("marfrm_bat"));
    setWindowTitle(QStringLiteral("marfrm_bat"));
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(631, 329);

    buildMySqlGroup();
    buildOracleGroup();
    buildSettingsGroup();
    buildTableChoice();

    button1_ = new QPushButton(QStringLiteral("Create Shortcut File"), this);
    button1_->setObjectName(QStringLiteral("Button1"));
    button1_->setGeometry(244, 280, 142, 33);
    connect(button1_, &QPushButton::clicked, this, &Tmarfrm_bat::Button1Click);

    memo1_ = new QPlainTextEdit(this);
    memo1_->setObjectName(QStringLiteral("Memo1"));
    memo1_->hide();
}

QLineEdit* Tmarfrm_bat::addField(QWidget* group, int row, const QString& label, const char* name)
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

QCheckBox* Tmarfrm_bat::addCheckBox(QWidget* group, int row, const QString& caption, const char* name)
{
    auto* box = new QCheckBox(caption, group);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(12, 20 + row * 22, 270, 20);
    return box;
}

void Tmarfrm_bat::buildMySqlGroup()
{
    auto* group = groupBox(this, QStringLiteral("Connect Mysql Server"), "gpmysql", {13, 5, 297, 140});
    edtmysqlip_ = addField(group, 0, QStringLiteral("IP address or network name"), "edtmysqlip");
    edtmysqlport_ = addField(group, 1, QStringLiteral("MySQL Port"), "edtmysqlport");
    edtmysqldatabase_ = addField(group, 2, QStringLiteral("MySQL database name"), "edtmysqldatabase");
    edtmysqlusername_ = addField(group, 3, QStringLiteral("MySQL user name"), "edtmysqlusername");
    edtmysqlpassword_ = addField(group, 4, QStringLiteral("MySQL user password"), "edtmysqlpassword");
}

void Tmarfrm_bat::buildOracleGroup()
{
    auto* group = groupBox(this, QStringLiteral("Connect Oracle Server"), "gporacle", {320, 5, 297, 140});
    edtoracleservice_ = addField(group, 0, QStringLiteral("Oracle service name"), "edtoracleservice");
    edtoracleusername_ = addField(group, 1, QStringLiteral("Oracle user name"), "edtoracleusername");
    edtoraclepassword_ = addField(group, 2, QStringLiteral("Oracle user password"), "edtoraclepassword");
    edtoracleexits_ = addField(group, 3, QStringLiteral("Process existing tables"), "edtoracleexits");
    edtcharset_ = addField(group, 4, QStringLiteral("Character Set"), "edtcharset");
}

void Tmarfrm_bat::buildSettingsGroup()
{
    auto* group = groupBox(this, QStringLiteral("Conversion Settings."), "gpsettings", {13, 151, 297, 114});
    chktabledefi_ = addCheckBox(group, 0, QStringLiteral("Convert table definitions only"), "chktabledefi");
    chkskipindex_ = addCheckBox(group, 1, QStringLiteral("Skip converting indexes"), "chkskipindex");
    chkuppercase_ = addCheckBox(group, 2, QStringLiteral("Make names uppercase"), "chkuppercase");
    chkblobtotext_ = addCheckBox(group, 3, QStringLiteral("Convert BLOB to text"), "chkblobtotext");
}

void Tmarfrm_bat::buildTableChoice()
{
    rgselecttable_ = new RadioGroup({QStringLiteral("Selected tables"), QStringLiteral("All database tables")}, this);
    rgselecttable_->setObjectName(QStringLiteral("rgselecttable"));
    rgselecttable_->setTitle(QStringLiteral("Select MySQL tables"));
    rgselecttable_->setGeometry(316, 151, 132, 114);

    mysqltableselect_ = new QListWidget(this);
    mysqltableselect_->setObjectName(QStringLiteral("mysqltableselect"));
    mysqltableselect_->setGeometry(452, 151, 169, 88);

    bttableselect_ = new QPushButton(QStringLiteral("Reselect tables"), this);
    bttableselect_->setObjectName(QStringLiteral("bttableselect"));
    bttableselect_->setGeometry(498, 242, 103, 25);

    connect(rgselecttable_, &RadioGroup::itemIndexChanged, this, &Tmarfrm_bat::rgselecttableClick);
    connect(bttableselect_, &QPushButton::clicked, this, &Tmarfrm_bat::bttableselectClick);
    rgselecttable_->setItemIndex(1);
    rgselecttableClick();
}

void Tmarfrm_bat::fillFromWizard(Taaform1& wizard)
{
    wizard_ = &wizard;
    const WizardControls c(wizard);
    edtmysqlip_->setText(c.accessmode->itemIndex() != 0 ? c.edthost->text() : QStringLiteral("localhost"));
    edtmysqlport_->setText(c.edtport->text());
    edtmysqldatabase_->setText(chosenListText(*c.mysqldblist));
    edtmysqlusername_->setText(c.edtname->text());
    edtmysqlpassword_->setText(c.edtpassword->text());
    edtoracleservice_->setText(c.edtservice->text());
    edtoracleusername_->setText(c.edtoracleusername->text());
    edtoraclepassword_->setText(c.edtoraclepassword->text());
    const QRadioButton* mode = c.processtable->button(c.processtable->itemIndex());
    edtoracleexits_->setText(mode ? mode->text() : QString());
    edtcharset_->setText(c.cbcharset->currentText());
    chktabledefi_->setChecked(c.chktabledefi->isChecked());
    chkuppercase_->setChecked(c.chkuppercase->isChecked());
    chkskipindex_->setChecked(c.chkskipindex->isChecked());
    chkblobtotext_->setChecked(c.chkblobtotext->isChecked());
    mysqltableselect_->clear();
    for (int row = 0; row < c.selecttables->count(); ++row)
        mysqltableselect_->addItem(c.selecttables->item(row)->text());
}

void Tmarfrm_bat::btcreatebatClick(Taaform1& wizard)
{
    fillFromWizard(wizard);
    exec();
}

void Tmarfrm_bat::rgselecttableClick()
{
    const bool listed = rgselecttable_->itemIndex() != 1;
    mysqltableselect_->setVisible(listed);
    bttableselect_->setVisible(listed);
}

void Tmarfrm_bat::bttableselectClick()
{
    if (wizard_) {
        wizard_->messageSeam().notify(this, QStringLiteral(
            "This form will be closed.\rAfter you finish your choice,please click the button "
            "\"Create Shortcut File\" to return to this form."));
    }
    reject();
}

void Tmarfrm_bat::writeSettingsFile(const QString& settingsPath)
{
    if (!wizard_)
        throw Error(QStringLiteral("The shortcut dialog has not been filled from the wizard"));
    const WizardControls c(*wizard_);
    SettingsFileContent content;
    content.accessmode = c.accessmode->itemIndex();
    content.mysqldatabase = edtmysqldatabase_->text();
    content.port = edtmysqlport_->text();
    content.mysqlu = edtmysqlusername_->text();
    content.mysqlp = edtmysqlpassword_->text();
    content.host = c.edthost->text();
    content.oracleh = edtoracleservice_->text();
    content.oracleu = edtoracleusername_->text();
    content.oraclep = edtoraclepassword_->text();
    content.processtable = c.processtable->itemIndex();
    content.character_set = edtcharset_->text();
    content.tabledefonly = chktabledefi_->isChecked();
    content.skipindex = chkskipindex_->isChecked();
    content.nameuppercase = chkuppercase_->isChecked();
    content.blobtotext = chkblobtotext_->isChecked();
    content.tableChoice = rgselecttable_->itemIndex();
    for (int row = 0; row < mysqltableselect_->count(); ++row)
        content.tables << mysqltableselect_->item(row)->text();

    const QStringList lines = settingsFileLines(content);
    memo1_->setPlainText(lines.join(QLatin1Char('\n')));
    saveSettingsFile(settingsPath, lines);
}

void Tmarfrm_bat::Button1Click()
{
    if (!wizard_)
        return;
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
