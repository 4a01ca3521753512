#pragma once

// The wizard's controls as the settings schema sees them: each row of the schema names the
// control that shows its value. Everything here walks the schema; nothing names a setting.
#include "engine/conversion_profile.h"
#include "settings/settings_schema.h"
#include "settings/settings_store.h"

#include <QString>

class QWidget;

namespace dovrelle {

class ConversionWizard;

// The control of a row in `window` (or the dialog), found by its objectName. Throws Error
// naming a control that is missing.
QWidget& settingControl(QWidget& window, const char* objectName);

// A control's value as the settings file holds it: a line edit's text, "1"/"0" for a check box,
// a radio group's entry in decimal, the character-set box's text, a list's chosen entry.
QString fileValueOfControl(const QWidget& control);
// Puts a settings-file value into a control. A radio group throws Error
// "''<text>'' is not a valid integer value" for a value that is no whole number.
void putFileValue(QWidget& control, const QString& value);

// Gives every control of a row its default (a new window's state).
void putSettingDefaults(QWidget& window);

// The value of a row as the wizard's controls hold it (from its source control when it has one).
QString wizardFileValue(QWidget& window, const SettingRow& row);
// Every row's value as the settings file would hold it; the table list is left out.
SettingsValues wizardFileValues(QWidget& window);

// The settings of one conversion as the controls hold them: the database is the entry chosen in
// mysqldblist (empty with none chosen), the tables are the entries of selecttables.
ConversionProfile profileFromControls(QWidget& window);

// A control's value as the remembered store holds it (the character-set box: its entry index).
QString storedValueOfControl(const SettingRow& row, const QWidget& control);
// Puts a remembered value into a control: a choice that is missing, empty, no number or no
// text becomes entry 0; a missing text the empty text. Throws Error
// "Invalid data type for '<name>'" for a text or check-box value that is not text.
void putStoredValue(const SettingRow& row, QWidget& control, const StoredValue& value);

// Puts the values of the window's settings file into its controls in the store's order (the
// access mode first, the text fields and the character set, the way to treat existing tables,
// the check boxes), each checked first by checkSettingsFileValue: a radio group's value that is
// no whole number throws Error "''<text>'' is not a valid integer value", an out-of-range way to
// treat existing tables or a port that is no port number throws an Error naming the key; the
// values before it stay applied. Lines of the file that ran together throw before any is applied.
void applySettingsFile(ConversionWizard& window);

// Chooses the tables on page 5 from the window's settings file: all available tables for alltables=1,
// otherwise each listed name in file order, once: moved from availabletables when it is there
// (letter case counting), else put into selecttables as it is, so that the run logs it as a
// table the database lacks. Returns, without choosing anything, the no-table message
// (SettingsFileContent::noTableToConvertMessage) when no table the database has would be chosen; else the empty text.
QString selectSettingsTables(ConversionWizard& window);

}  // namespace dovrelle
