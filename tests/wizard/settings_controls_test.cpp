// Applying a loaded settings file to the wizard's controls and choosing its tables on page 5.
#include "db/error.h"
#include "wizard/radio_group.h"
#include "wizard/settings_controls.h"
#include "wizard/shortcut_dialog.h"
#include "settings/settings_schema.h"
#include "wizard/conversion_wizard.h"
#include "wizard/wizard_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <gtest/gtest.h>

#include <functional>

using namespace dovrelle;

namespace {

// A complete file as the writer makes it; cases change or add lines.
QStringList baseLines()
{
    return {"accessmode=0",     "mysqldatabase=shop", "port=3306",         "mysqlu=ann",
            "mysqlp=secret",    "host=",              "oracleh=ORCL",      "oracleu=SCOTT",
            "oraclep=tiger",    "processtable=0",     "character_set=Default", "tabledefonly=0",
            "skipindex=0",      "nameuppercase=1",    "blobtotext=0",      "alltables=0"};
}

QStringList withLine(QStringList lines, const QString& key, const QString& line)
{
    for (QString& l : lines)
        if (l.startsWith(key + QLatin1Char('='))) {
            l = line;
            return lines;
        }
    lines << line;
    return lines;
}

QStringList without(QStringList lines, const QString& key)
{
    lines.removeIf([&](const QString& l) { return l.startsWith(key + QLatin1Char('=')); });
    return lines;
}

struct ApplyCase {
    const char* name;
    QStringList lines;
    const char* error;  // nullptr: applying succeeds
    std::function<void(const WizardControls&)> check;
};

void PrintTo(const ApplyCase& c, std::ostream* out)
{
    *out << c.name;
}

class ApplySettings : public testing::TestWithParam<ApplyCase> {};

TEST_P(ApplySettings, PutsTheValuesIntoTheControls)
{
    ConversionWizard window;
    const WizardControls c(window);
    c.databaseEdit->setText("before");
    c.skipIndexesBox->setChecked(true);
    window.settingsFile = SettingsFileContent(GetParam().lines);
    if (GetParam().error) {
        try {
            applySettingsFile(window);
            FAIL() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.message(), QString::fromUtf8(GetParam().error));
        }
    } else {
        applySettingsFile(window);
    }
    GetParam().check(c);
}

const ApplyCase applyCases[] = {
    {"whole_file", baseLines(), nullptr,
     [](const WizardControls& c) {
         EXPECT_EQ(c.accessMode->itemIndex(), 0);
         EXPECT_EQ(c.databaseEdit->text(), "shop");
         EXPECT_EQ(c.mysqlUserEdit->text(), "ann");
         EXPECT_EQ(c.mysqlPasswordEdit->text(), "secret");
         EXPECT_EQ(c.oracleServiceEdit->text(), "ORCL");
         EXPECT_EQ(c.oracleUserEdit->text(), "SCOTT");
         EXPECT_EQ(c.oraclePasswordEdit->text(), "tiger");
         EXPECT_EQ(c.characterSetBox->currentText(), "Default");
         EXPECT_TRUE(c.upperCaseNamesBox->isChecked());
         EXPECT_FALSE(c.skipIndexesBox->isChecked());
     }},
    {"key_case_ignored", withLine(baseLines(), "port", "PORT=3307"), nullptr,
     [](const WizardControls& c) { EXPECT_EQ(c.portEdit->text(), "3307"); }},
    {"value_blanks_kept", withLine(baseLines(), "port", "port= 3306"), nullptr,
     [](const WizardControls& c) { EXPECT_EQ(c.portEdit->text(), " 3306"); }},
    {"password_with_equals", withLine(baseLines(), "mysqlp", "mysqlp=a=b=c"), nullptr,
     [](const WizardControls& c) { EXPECT_EQ(c.mysqlPasswordEdit->text(), "a=b=c"); }},
    {"first_line_wins", QStringList{"mysqlu=first"} + baseLines(), nullptr,
     [](const WizardControls& c) { EXPECT_EQ(c.mysqlUserEdit->text(), "first"); }},
    {"flag_true_unchecks", withLine(baseLines(), "nameuppercase", "nameuppercase=true"), nullptr,
     [](const WizardControls& c) { EXPECT_FALSE(c.upperCaseNamesBox->isChecked()); }},
    {"missing_flag_unchecks", without(baseLines(), "nameuppercase"), nullptr,
     [](const WizardControls& c) { EXPECT_FALSE(c.upperCaseNamesBox->isChecked()); }},
    {"missing_text_empties", without(baseLines(), "oracleh"), nullptr,
     [](const WizardControls& c) { EXPECT_EQ(c.oracleServiceEdit->text(), ""); }},
    {"accessmode_5_is_remote", withLine(baseLines(), "accessmode", "accessmode=5"), nullptr,
     [](const WizardControls& c) {
         EXPECT_EQ(c.accessMode->itemIndex(), 1);
         EXPECT_TRUE(c.hostEdit->isEnabled());
     }},
    {"accessmode_hex", withLine(baseLines(), "accessmode", "accessmode=0x1"), nullptr,
     [](const WizardControls& c) { EXPECT_EQ(c.accessMode->itemIndex(), 1); }},
    {"processtable_9_is_refused", withLine(baseLines(), "processtable", "processtable=9"),
     "Invalid value of processtable in the settings file: ''9'' (a whole number from 0 to 2)",
     [](const WizardControls& c) {
         EXPECT_EQ(c.existingTableChoice->itemIndex(), 0);
         EXPECT_EQ(c.oraclePasswordEdit->text(), "tiger");  // the values before it stay applied
         EXPECT_TRUE(c.skipIndexesBox->isChecked());        // the check boxes come after it
     }},
    {"processtable_minus_1_is_refused", withLine(baseLines(), "processtable", "processtable=-1"),
     "Invalid value of processtable in the settings file: ''-1'' (a whole number from 0 to 2)",
     [](const WizardControls& c) { EXPECT_EQ(c.existingTableChoice->itemIndex(), 0); }},
    {"port_with_junk_is_refused", withLine(baseLines(), "port", "port=48167abc"),
     "Invalid value of port in the settings file: ''48167abc'' (a port number from 1 to 65535, or nothing)",
     [](const WizardControls& c) {
         EXPECT_EQ(c.databaseEdit->text(), "shop");  // applied before the port
         EXPECT_EQ(c.oracleServiceEdit->text(), "");       // comes after it
     }},
    {"charset_entry_chosen", withLine(baseLines(), "character_set", "character_set=utf8"), nullptr,
     [](const WizardControls& c) {
         EXPECT_EQ(c.characterSetBox->currentIndex(), 36);
         EXPECT_EQ(c.characterSetBox->currentText(), "utf8");
     }},
    {"charset_unknown_stays_as_text", withLine(baseLines(), "character_set", "character_set=utf8mb4"), nullptr,
     [](const WizardControls& c) {
         EXPECT_EQ(c.characterSetBox->currentIndex(), -1);
         EXPECT_EQ(c.characterSetBox->currentText(), "utf8mb4");
     }},
    {"accessmode_empty_applies_nothing", withLine(baseLines(), "accessmode", "accessmode="),
     "'''' is not a valid integer value",
     [](const WizardControls& c) {
         EXPECT_EQ(c.databaseEdit->text(), "before");
         EXPECT_TRUE(c.skipIndexesBox->isChecked());
     }},
    {"accessmode_missing_applies_nothing", without(baseLines(), "accessmode"),
     "'''' is not a valid integer value",
     [](const WizardControls& c) { EXPECT_EQ(c.databaseEdit->text(), "before"); }},
    {"processtable_bad_keeps_earlier_values", withLine(baseLines(), "processtable", "processtable=Skip"),
     "''Skip'' is not a valid integer value",
     [](const WizardControls& c) {
         EXPECT_EQ(c.databaseEdit->text(), "shop");
         EXPECT_EQ(c.oraclePasswordEdit->text(), "tiger");
         EXPECT_TRUE(c.skipIndexesBox->isChecked());  // the check boxes come after it
     }},
    {"processtable_trailing_blank_is_no_number", withLine(baseLines(), "processtable", "processtable=1 "),
     "''1 '' is not a valid integer value", [](const WizardControls&) {}},
};

INSTANTIATE_TEST_SUITE_P(Cases, ApplySettings, testing::ValuesIn(applyCases),
                         [](const testing::TestParamInfo<ApplyCase>& info) { return std::string(info.param.name); });

struct TableCase {
    const char* name;
    QStringList lines;
    QStringList chosen;
    bool noTable = false;  // the message that there is no table to convert, and nothing chosen
};

void PrintTo(const TableCase& c, std::ostream* out)
{
    *out << c.name;
}

class SelectSettingsTables : public testing::TestWithParam<TableCase> {};

TEST_P(SelectSettingsTables, ChoosesTheFilesTablesInFileOrder)
{
    const QStringList available{"customers", "items", "orders", "Orders", "payments"};
    ConversionWizard window;
    const WizardControls c(window);
    c.availableTablesList->addItems(available);
    window.settingsFile = SettingsFileContent(GetParam().lines);
    const QString none = selectSettingsTables(window);
    QStringList chosen;
    for (int i = 0; i < c.chosenTablesList->count(); ++i)
        chosen << c.chosenTablesList->item(i)->text();
    EXPECT_EQ(chosen, GetParam().chosen);
    EXPECT_EQ(none.startsWith("No table to convert") || none.contains("\nNo table to convert"),
              GetParam().noTable)
        << none.toStdString();
    // A table the database has moved from one list to the other; a missing one was only added.
    for (const QString& name : available) {
        const bool inAvailable = !c.availableTablesList->findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive).isEmpty();
        EXPECT_NE(inAvailable, chosen.contains(name)) << name.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SelectSettingsTables,
    testing::Values(
        TableCase{"all_tables", {"alltables=1", "tables1=items"}, {"customers", "items", "orders", "Orders", "payments"}},
        TableCase{"all_needs_exact_one", {"alltables= 1", "tables1=items"}, {"items"}},
        TableCase{"yes_means_listed", {"alltables=yes", "tables1=payments", "tables2=customers"}, {"payments", "customers"}},
        TableCase{"missing_alltables_means_listed", {"tables5=orders"}, {"orders"}},
        TableCase{"file_order_not_numbers", {"tables2=items", "tables1=customers"}, {"items", "customers"}},
        TableCase{"names_trimmed", {"tables7= orders\t"}, {"orders"}},
        TableCase{"name_case_counts", {"tables3=ORDERS", "tables4=Orders"}, {"ORDERS", "Orders"}},
        TableCase{"prefix_case_counts", {"Tables1=orders", "TABLES2=items"}, {}, true},
        TableCase{"plain_and_odd_prefixes", {"tables=items", "tablesX=orders"}, {"items", "orders"}},
        TableCase{"twice_chosen_once", {"tables1=items", "tables2=items"}, {"items"}},
        TableCase{"unknown_kept_for_the_run_to_log", {"tables1=ghosts", "tables2=payments"}, {"ghosts", "payments"}},
        TableCase{"only_unknown_ones_choose_nothing", {"tables1=ghosts", "tables2=PAYMENTS"}, {}, true},
        TableCase{"empty_name_skipped", {"tables1=", "tables2=  "}, {}, true}),
    [](const testing::TestParamInfo<TableCase>& info) { return std::string(info.param.name); });

}  // namespace

namespace {

TEST(SettingsControls, EveryRowHasItsControlsAndANewWindowShowsTheDefaults)
{
    ConversionWizard window;
    ShortcutDialog dialog;
    for (const SettingRow& row : settingsSchema()) {
        EXPECT_NO_THROW(settingControl(window, row.control)) << row.fileKey;
        if (row.sourceControl) {
            EXPECT_NO_THROW(settingControl(window, row.sourceControl)) << row.fileKey;
        }
        if (row.dialogField) {
            EXPECT_NO_THROW(settingControl(dialog, row.dialogField)) << row.fileKey;
        }
    }
    EXPECT_EQ(valuesFromProfile(profileFromControls(window)), valuesFromProfile(ConversionProfile()));
}

TEST(SettingsControls, TheProfileIsWhatTheControlsHold)
{
    ConversionWizard window;
    const WizardControls c(window);
    c.accessMode->setItemIndex(1);
    c.hostEdit->setText("db.example");
    c.databaseEdit->setText("typed");
    c.databaseList->addItems({"shop", "typed"});
    c.databaseList->setCurrentRow(0);
    c.existingTableChoice->setItemIndex(-1);
    c.blobToTextBox->setChecked(true);
    c.characterSetBox->setEditText("utf8mb4");
    c.chosenTablesList->addItems({"orders", "items"});

    const ConversionProfile p = profileFromControls(window);
    EXPECT_EQ(p.accessmode, 1);
    EXPECT_EQ(p.host, "db.example");
    EXPECT_EQ(p.mysqldatabase, "shop");  // the database chosen on page 4
    EXPECT_EQ(p.processtable, ExistingTableAction::Merge);
    EXPECT_TRUE(p.blobtotext);
    EXPECT_EQ(p.character_set, "utf8mb4");
    EXPECT_EQ(p.tables, (QStringList{"orders", "items"}));
}

}  // namespace
