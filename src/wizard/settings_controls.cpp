#include "wizard/settings_controls.h"

#include "db/error.h"
#include "settings/settings_file_content.h"
#include "settings/whole_number.h"
#include "wizard/conversion_wizard.h"
#include "wizard/radio_group.h"
#include "wizard/wizard_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

namespace dovrelle {

namespace {

QString flagText(bool checked)
{
    return checked ? QStringLiteral("1") : QStringLiteral("0");
}

QStringList entries(const QListWidget& list)
{
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts.append(list.item(i)->text());
    return texts;
}

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

QWidget& settingControl(QWidget& window, const char* objectName)
{
    auto* control = window.findChild<QWidget*>(QLatin1String(objectName));
    if (!control)
        throw Error(QStringLiteral("The window has no control \"%1\"").arg(QLatin1String(objectName)));
    return *control;
}

QString fileValueOfControl(const QWidget& control)
{
    if (const auto* edit = qobject_cast<const QLineEdit*>(&control))
        return edit->text();
    if (const auto* box = qobject_cast<const QCheckBox*>(&control))
        return flagText(box->isChecked());
    if (const auto* group = qobject_cast<const RadioGroup*>(&control))
        return QString::number(group->itemIndex());
    if (const auto* combo = qobject_cast<const QComboBox*>(&control))
        return combo->currentText();
    if (const auto* list = qobject_cast<const QListWidget*>(&control))
        return chosenListText(*list);
    return {};
}

void putFileValue(QWidget& control, const QString& value)
{
    if (auto* edit = qobject_cast<QLineEdit*>(&control))
        edit->setText(value);
    else if (auto* box = qobject_cast<QCheckBox*>(&control))
        box->setChecked(value == QLatin1String("1"));
    else if (auto* group = qobject_cast<RadioGroup*>(&control))
        group->setItemIndex(toWholeNumber(value));
    else if (auto* combo = qobject_cast<QComboBox*>(&control))
        setCharacterSetText(*combo, value);
}

void putSettingDefaults(QWidget& window)
{
    for (const SettingRow& row : settingsSchema()) {
        if (row.kind != SettingKind::TableList)
            putFileValue(settingControl(window, row.control), QLatin1String(row.defaultText));
    }
}

QString wizardFileValue(QWidget& window, const SettingRow& row)
{
    return fileValueOfControl(settingControl(window, row.sourceControl ? row.sourceControl : row.control));
}

SettingsValues wizardFileValues(QWidget& window)
{
    SettingsValues values;
    for (const SettingRow& row : settingsSchema()) {
        if (row.kind != SettingKind::TableList)
            values.insert(QLatin1String(row.fileKey), wizardFileValue(window, row));
    }
    return values;
}

ConversionProfile profileFromControls(QWidget& window)
{
    ConversionProfile profile;
    for (const SettingRow& row : settingsSchema()) {
        if (row.kind != SettingKind::TableList)
            setProfileValue(profile, row, wizardFileValue(window, row));
    }
    const SettingRow& tables = tableListRow();
    profile.*std::get<QStringList ConversionProfile::*>(tables.member) =
        entries(*qobject_cast<QListWidget*>(&settingControl(window, tables.control)));
    return profile;
}

QString storedValueOfControl(const SettingRow& row, const QWidget& control)
{
    if (row.kind == SettingKind::Choice)
        return QString::number(chosenCharacterSetIndex(*qobject_cast<const QComboBox*>(&control)));
    return fileValueOfControl(control);
}

void putStoredValue(const SettingRow& row, QWidget& control, const StoredValue& value)
{
    const bool isText = value.kind == StoredValue::Kind::Text;
    switch (row.kind) {
    case SettingKind::WholeNumber:
        qobject_cast<RadioGroup*>(&control)->setItemIndex(
            isText ? parseWholeNumber(value.text).value_or(0) : 0);
        return;
    case SettingKind::Choice: {
        auto* combo = qobject_cast<QComboBox*>(&control);
        const int entry = isText ? parseWholeNumber(value.text).value_or(0) : 0;
        if (entry != combo->currentIndex())
            combo->setCurrentIndex(entry >= 0 && entry < combo->count() ? entry : -1);
        return;
    }
    case SettingKind::Text:
    case SettingKind::CheckBox:
        if (value.kind == StoredValue::Kind::OtherType)
            throw Error(QStringLiteral("Invalid data type for '%1'").arg(QLatin1String(row.storeName)));
        putFileValue(control, value.text);
        return;
    case SettingKind::TableList:
        return;
    }
}

void applySettingsFile(ConversionWizard& window)
{
    const SettingsValues& values = window.settingsFile.values();
    const auto apply = [&](const SettingRow& row) {
        const QString value = values.value(QLatin1String(row.fileKey));
        checkSettingsFileValue(row, value);
        putFileValue(settingControl(window, row.control), value);
    };
    for (const SettingRow* row : rememberedRows())
        apply(*row);
    for (const SettingRow& row : settingsSchema()) {
        if (!row.storeName && row.kind != SettingKind::TableList)
            apply(row);
    }
}

QString selectSettingsTables(ConversionWizard& window)
{
    const SettingsFileContent& settings = window.settingsFile;
    const WizardControls c(window);
    const QStringList available = entries(*c.availableTablesList);
    const QString none = settings.noTableToConvertMessage(available, chosenListText(*c.databaseList));
    if (!none.isEmpty())
        return none;
    if (settings.choosesAllTables()) {
        window.addAllTables();
        return {};
    }
    for (const QString& name : settings.chosenTables(available)) {
        if (selectAvailableTable(*c.availableTablesList, name))
            window.addSelectedTables();
        else
            c.chosenTablesList->addItem(name);  // the run logs it as a table the database lacks
    }
    return {};
}

}  // namespace dovrelle
