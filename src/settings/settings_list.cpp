#include "settings_list.h"

#include "radio_group.h"
#include "settings_file.h"
#include "taaform1.h"
#include "whole_number.h"
#include "wizard_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

namespace dovrelle {

namespace {

// Puts the caret on the first entry equal to name and selects it; false when there is none.
bool selectAvailableTable(QListWidget& list, const QString& name)
{
    for (int row = 0; row < list.count(); ++row) {
        QListWidgetItem* item = list.item(row);
        if (item->text() == name) {
            list.setCurrentItem(item, QItemSelectionModel::NoUpdate);
            item->setSelected(true);
            return true;
        }
    }
    return false;
}

}  // namespace

void applySettingsList(Taaform1& window)
{
    const WizardControls c(window);
    const QStringList& lines = window.valueListEditorbat;
    const auto value = [&](const char* key) { return settingValue(lines, QLatin1String(key)); };
    const auto flag = [&](const char* key) { return value(key) == QLatin1String("1"); };

    c.accessmode->setItemIndex(toWholeNumber(value("accessmode")));
    c.edtdatabase->setText(value("mysqldatabase"));
    c.edtname->setText(value("mysqlu"));
    c.edtpassword->setText(value("mysqlp"));
    c.edthost->setText(value("host"));
    c.edtport->setText(value("port"));
    c.edtservice->setText(value("oracleh"));
    c.edtoracleusername->setText(value("oracleu"));
    c.edtoraclepassword->setText(value("oraclep"));
    setCharacterSetText(*c.cbcharset, value("character_set"));
    c.processtable->setItemIndex(toWholeNumber(value("processtable")));
    c.chktabledefi->setChecked(flag("tabledefonly"));
    c.chkuppercase->setChecked(flag("nameuppercase"));
    c.chkskipindex->setChecked(flag("skipindex"));
    c.chkblobtotext->setChecked(flag("blobtotext"));
}

void selectSettingsTables(Taaform1& window)
{
    const QStringList& lines = window.valueListEditorbat;
    if (settingsChooseAllTables(lines)) {
        window.Button2Click();
        return;
    }
    const WizardControls c(window);
    for (const QString& name : settingsTableNames(lines)) {
        if (selectAvailableTable(*c.availabletables, name))
            window.Button1Click();
    }
}

}  // namespace dovrelle
