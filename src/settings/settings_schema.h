#pragma once

// The settings schema: every setting of a conversion, declared once.
//
// The settings-file reader and writer, the remembered store, the shortcut dialog, the wizard's
// fill-from and read-into controls and the headless run all walk this table; none of them names a
// setting itself.
//
// How to add an option (a check box on page 4, say "keepviews"):
//   1. Give ConversionProfile (engine/conversion_profile.h) a member for it, off by default:
//        bool keepviews = false;
//   2. Append one row to the table in settings_schema.cpp:
//        {.fileKey = "keepviews", .storeName = "keepviews", .kind = SettingKind::CheckBox,
//         .member = &ConversionProfile::keepviews, .defaultText = "0", .control = "chkkeepviews"},
//      storeName nullptr keeps it out of the remembered store; the settings file always has it.
//   3. Build its control with that objectName on page 4: addOptionCheckBox() in the wizard's
//      layout (wizard/conversion_wizard_layout.cpp), and give it its captions in
//      texts/caption_tables.cpp.
// That is all: the file writes and reads the key (a missing key reads as off, so old files keep
// working), the store remembers it, the shortcut dialog writes the wizard's state of it, and the
// wizard's run and the headless run pass it on to the engine in the ConversionProfile.

#include "engine/conversion_profile.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <variant>

namespace dovrelle {

// What a value is and how its control holds it.
enum class SettingKind {
    Text,         // a line edit; the value exactly as typed
    WholeNumber,  // a radio group: the index of its chosen entry in decimal
    CheckBox,     // "1" checked; anything else, the empty text included, unchecked
    Choice,       // the character-set box: its text in the file, its entry index in the store
    TableList,    // alltables plus the tables lines; chosen on page 5, never remembered
};

using SettingMember = std::variant<QString ConversionProfile::*, int ConversionProfile::*,
                                   bool ConversionProfile::*, ExistingTableAction ConversionProfile::*,
                                   QStringList ConversionProfile::*>;

// What a settings file may hold for a value beyond its kind's own rule.
enum class ValueRule {
    Any,           // whatever the kind accepts
    EntryInRange,  // a radio group whose value must choose one of its entries (0 to entries - 1)
    PortNumber,    // empty, or a decimal port number from 1 to 65535 (blanks around it allowed)
};

struct SettingRow {
    const char* fileKey;    // the key in the settings file
    const char* storeName;  // the value name in the remembered store; nullptr: not remembered
    SettingKind kind;
    SettingMember member;   // where the ConversionProfile holds it
    const char* defaultText;  // the value of a new window's control, as the file would hold it
    const char* control;    // objectName of the wizard control that shows it
    // Where the conversion and the settings file take the value from, when not from `control`
    // (the database: the entry chosen in page 4's list, while page 2's field is what is applied
    // and remembered).
    const char* sourceControl = nullptr;
    // The shortcut dialog's field that shows the value and that the file is written from; the
    // wizard's control when nullptr.
    const char* dialogField = nullptr;
    int entries = 0;        // WholeNumber: how many entries the radio group has
    // Position among the remembered values (the store's order); new rows keep the default and
    // follow the fifteen first ones in row order.
    int storeRank = 1000;
    ValueRule valueRule = ValueRule::Any;
};

// The rows in the order of the settings file's lines; the table list comes last.
const QList<SettingRow>& settingsSchema();
// The rows the store remembers, in its order. Applying a settings file to the controls follows
// this order too (a value that is no number stops applying there).
QList<const SettingRow*> rememberedRows();
// The row of a ConversionProfile member (to name its control, for instance).
const SettingRow& settingRowOf(SettingMember member);
// The row of the table list, and the key prefix of its table lines.
const SettingRow& tableListRow();
QString tableLinePrefix();

// Values by settings-file key, each as the settings file holds it.
using SettingsValues = QHash<QString, QString>;

// A row's value put into a profile. A WholeNumber value that is no number throws Error
// "''<text>'' is not a valid integer value"; a number beyond the entries chooses the last one,
// -1 or less none. Does nothing for the table list.
void setProfileValue(ConversionProfile& profile, const SettingRow& row, const QString& value);
// Checks a value that a settings file gives for a row before it is applied. A WholeNumber value
// that is no number throws Error "''<text>'' is not a valid integer value"; a value against the
// row's ValueRule throws Error "Invalid value of <key> in the settings file: ''<text>'' (...)".
// Rejected values are shown as quotedRejectedValue shows them, or not at all when they hold
// another setting's text.
void checkSettingsFileValue(const SettingRow& row, const QString& value);
// The profile of the values of a settings file, checked and applied in the store's order (the
// first value that checkSettingsFileValue refuses throws).
// The table list is left empty.
ConversionProfile profileFromValues(const SettingsValues& values);
// The values of a profile; alltables is "0" (the profile's tables are the listed ones).
SettingsValues valuesFromProfile(const ConversionProfile& profile);

}  // namespace dovrelle
