#include "wizard/remembered_settings.h"

#include "settings/settings_schema.h"
#include "settings/settings_store.h"
#include "wizard/settings_controls.h"

#include <QLineEdit>

namespace dovrelle {

namespace {

QStringList storeNames(const QList<const SettingRow*>& rows)
{
    QStringList names;
    for (const SettingRow* row : rows)
        names << QLatin1String(row->storeName);
    return names;
}

// A text field that is empty gets the default of its row.
void fillEmptyTextsWithDefaults(QWidget& window)
{
    for (const SettingRow& row : settingsSchema()) {
        if (row.kind != SettingKind::Text || !*row.defaultText)
            continue;
        auto* field = qobject_cast<QLineEdit*>(&settingControl(window, row.control));
        if (field && field->text().isEmpty())
            field->setText(QLatin1String(row.defaultText));
    }
}

}  // namespace

void loadRememberedSettings(QWidget& window)
{
    const QList<const SettingRow*> rows = rememberedRows();
    if (const auto values = readSettingsStore(storeNames(rows))) {
        for (const SettingRow* row : rows)
            putStoredValue(*row, settingControl(window, row->control), values->value(QLatin1String(row->storeName)));
    }
    fillEmptyTextsWithDefaults(window);
}

void saveRememberedSettings(QWidget& window)
{
    QList<std::pair<QString, QString>> values;
    for (const SettingRow* row : rememberedRows())
        values.append({QLatin1String(row->storeName), storedValueOfControl(*row, settingControl(window, row->control))});
    writeSettingsStore(values);
}

}  // namespace dovrelle
