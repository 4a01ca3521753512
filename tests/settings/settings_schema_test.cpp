// The settings schema: one row per setting, and the values and profile it converts between.
#include "db/error.h"
#include "settings/settings_file.h"
#include "settings/settings_schema.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace dovrelle;

namespace {

TEST(SettingsSchema, EveryKeyStoreNameAndMemberIsDeclaredOnce)
{
    QSet<QString> keys;
    QSet<QString> storeNames;
    for (const SettingRow& row : settingsSchema()) {
        EXPECT_FALSE(keys.contains(QLatin1String(row.fileKey))) << row.fileKey;
        keys.insert(QLatin1String(row.fileKey));
        if (row.storeName) {
            EXPECT_FALSE(storeNames.contains(QLatin1String(row.storeName))) << row.storeName;
            storeNames.insert(QLatin1String(row.storeName));
        }
        EXPECT_EQ(&settingRowOf(row.member), &row) << row.fileKey;
        EXPECT_EQ(row.kind == SettingKind::WholeNumber, row.entries > 0) << row.fileKey;
    }
    EXPECT_EQ(settingsSchema().last().kind, SettingKind::TableList);
    EXPECT_EQ(&tableListRow(), &settingsSchema().last());
}

TEST(SettingsSchema, RememberedRowsFollowTheStoresOrder)
{
    QStringList names;
    for (const SettingRow* row : rememberedRows())
        names << QLatin1String(row->storeName);
    EXPECT_EQ(names, (QStringList{"accessmode", "mysqldatabase", "mysqlu", "mysqlp", "host", "port",
                                  "Character Set", "oracleh", "oraclep", "oracleu", "processtable",
                                  "tabledefonly", "nameuppercase", "skipindex", "blobtotext",
                                  "fullschema", "verifyrows"}));
}

TEST(SettingsSchema, TheDefaultsAreThoseOfANewProfile)
{
    SettingsValues defaults;
    for (const SettingRow& row : settingsSchema())
        defaults.insert(QLatin1String(row.fileKey), QLatin1String(row.defaultText));
    defaults.insert(QLatin1String(tableListRow().fileKey), QStringLiteral("0"));
    EXPECT_EQ(valuesFromProfile(ConversionProfile()), defaults);
}

struct ProfileCase {
    const char* name;
    QStringList lines;
    std::function<void(const ConversionProfile&)> check;
};

void PrintTo(const ProfileCase& c, std::ostream* out)
{
    *out << c.name;
}

class ProfileFromFile : public testing::TestWithParam<ProfileCase> {};

TEST_P(ProfileFromFile, ReadsTheValuesAsTheWizardWouldHoldThem)
{
    GetParam().check(profileFromValues(settingsValuesOfLines(GetParam().lines)));
}

const ProfileCase profileCases[] = {
    {"texts_as_they_stand", {"accessmode=0", "processtable=0", "mysqlp= a=b ", "HOST=db", "oracleu=SCOTT", "character_set=utf8"},
     [](const ConversionProfile& p) {
         EXPECT_EQ(p.mysqlp, " a=b ");
         EXPECT_EQ(p.host, "db");
         EXPECT_EQ(p.oracleu, "SCOTT");
         EXPECT_EQ(p.character_set, "utf8");
         EXPECT_EQ(p.port, "");  // a missing text is empty, as applying a file leaves it
     }},
    {"check_boxes_only_on_one", {"accessmode=0", "processtable=0", "tabledefonly=1", "skipindex=true"},
     [](const ConversionProfile& p) {
         EXPECT_TRUE(p.tabledefonly);
         EXPECT_FALSE(p.skipindex);
         EXPECT_FALSE(p.nameuppercase);  // missing: off
         EXPECT_FALSE(p.verifyrows);     // missing: off, as in files written before the option
     }},
    {"verify_rows_on", {"accessmode=0", "processtable=0", "VerifyRows=1"},
     [](const ConversionProfile& p) { EXPECT_TRUE(p.verifyrows); }},
    {"verify_rows_off", {"accessmode=0", "processtable=0", "verifyrows=0"},
     [](const ConversionProfile& p) { EXPECT_FALSE(p.verifyrows); }},
    {"access_mode_beyond_the_last_chooses_it", {"accessmode=5", "processtable=2"},
     [](const ConversionProfile& p) {
         EXPECT_EQ(p.accessmode, 1);
         EXPECT_EQ(p.processtable, ExistingTableAction::Skip);
     }},
    {"access_mode_below_zero_chooses_none", {"accessmode=-3", "processtable=1"},
     [](const ConversionProfile& p) {
         EXPECT_EQ(p.accessmode, -1);
         EXPECT_EQ(p.processtable, ExistingTableAction::Merge);
     }},
    {"port_with_blanks_around_it", {"accessmode=0", "processtable=0", "port= 3307 "},
     [](const ConversionProfile& p) { EXPECT_EQ(p.port, " 3307 "); }},
    {"hexadecimal_entry", {"accessmode=0", "processtable=$0"},
     [](const ConversionProfile& p) { EXPECT_EQ(p.processtable, ExistingTableAction::Overwrite); }},
};

INSTANTIATE_TEST_SUITE_P(Cases, ProfileFromFile, testing::ValuesIn(profileCases),
                         [](const testing::TestParamInfo<ProfileCase>& info) { return std::string(info.param.name); });

TEST(ProfileFromFile, AValueThatIsNoNumberFailsAsApplyingTheFileDoes)
{
    for (const auto& [lines, message] :
         {std::pair{QStringList{"processtable=0"}, QStringLiteral("'''' is not a valid integer value")},
          std::pair{QStringList{"accessmode=1", "processtable=Skip"},
                    QStringLiteral("''Skip'' is not a valid integer value")}}) {
        try {
            profileFromValues(settingsValuesOfLines(lines));
            ADD_FAILURE() << "no error for " << lines.join(',').toStdString();
        } catch (const Error& e) {
            EXPECT_EQ(e.message(), message);
        }
    }
}

struct RejectedCase {
    const char* name;
    QStringList lines;
    QString message;
};

void PrintTo(const RejectedCase& c, std::ostream* out)
{
    *out << c.name;
}

class RejectedSettingsValue : public testing::TestWithParam<RejectedCase> {};

// A value the file may not hold stops reading it with an error that names the key and shows at
// most 40 characters of the value, or none of it when it holds another setting's text.
TEST_P(RejectedSettingsValue, NamesTheKeyAndShowsLittleOfTheValue)
{
    try {
        profileFromValues(settingsValuesOfLines(GetParam().lines));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), GetParam().message);
        EXPECT_FALSE(e.message().contains("secret")) << e.message().toStdString();
    }
}

const QString lostLineBreaks = QStringLiteral("1\u2028mysqldatabase=shop\u2028mysqlp=secret\u2028oraclep=secret");

const RejectedCase rejectedCases[] = {
    {"way_below_zero", {"accessmode=0", "processtable=-1"},
     "Invalid value of processtable in the settings file: ''-1'' (a whole number from 0 to 2)"},
    {"way_three", {"accessmode=0", "processtable=3"},
     "Invalid value of processtable in the settings file: ''3'' (a whole number from 0 to 2)"},
    {"way_99", {"accessmode=0", "processtable=99"},
     "Invalid value of processtable in the settings file: ''99'' (a whole number from 0 to 2)"},
    {"way_no_number", {"accessmode=0", "processtable=2x"}, "''2x'' is not a valid integer value"},
    {"port_nul_and_junk", {"accessmode=0", QStringLiteral("port=48167") + QChar(0) + "junk", "processtable=0"},
     "Invalid value of port in the settings file: ''48167\\x00junk'' (a port number from 1 to 65535, or nothing)"},
    {"port_letters", {"accessmode=0", "port=48167abc", "processtable=0"},
     "Invalid value of port in the settings file: ''48167abc'' (a port number from 1 to 65535, or nothing)"},
    {"port_zero", {"accessmode=0", "port=0", "processtable=0"},
     "Invalid value of port in the settings file: ''0'' (a port number from 1 to 65535, or nothing)"},
    {"port_too_large", {"accessmode=0", "port=65536", "processtable=0"},
     "Invalid value of port in the settings file: ''65536'' (a port number from 1 to 65535, or nothing)"},
    {"long_value_cut_to_40", {"accessmode=0", "port=1234567890abcdefghij1234567890ABCDEFGHIJsecret"},
     "Invalid value of port in the settings file: ''1234567890abcdefghij1234567890ABCDEFGHIJ...'' "
     "(a port number from 1 to 65535, or nothing)"},
    // A password key's text in a value makes the whole file invalid, before any value is read.
    {"lines_run_together_not_shown", {"accessmode=" + lostLineBreaks},
     "The settings file is not valid: line 1, the value of accessmode, holds the key mysqlp (a line "
     "break is missing)"},
    {"table_line_text_not_shown", {"accessmode=0", "processtable=7 TABLES2=secret"},
     "The value is not a valid integer value; it is not shown, as it holds the text \"TABLES2=\" "
     "of another setting"},
    {"port_with_key_text_not_shown", {"accessmode=0", "port=1 mysqlp=secret"},
     "The settings file is not valid: line 2, the value of port, holds the key mysqlp (a line break "
     "is missing)"},
    {"oraclep_in_other_case_not_shown", {"accessmode=0", "oracleu=scott", "mysqlu=rootORACLEP=secret"},
     "The settings file is not valid: line 3, the value of mysqlu, holds the key oraclep (a line break "
     "is missing)"},
};

INSTANTIATE_TEST_SUITE_P(Cases, RejectedSettingsValue, testing::ValuesIn(rejectedCases),
                         [](const testing::TestParamInfo<RejectedCase>& info) { return std::string(info.param.name); });

TEST(ProfileFromFile, AProfileComesBackFromTheLinesWrittenForIt)
{
    ConversionProfile profile;
    profile.accessmode = 1;
    profile.host = QStringLiteral("db.example");
    profile.mysqldatabase = QStringLiteral("shop");
    profile.oraclep = QStringLiteral("p=w");
    profile.processtable = ExistingTableAction::Merge;
    profile.character_set = QStringLiteral("latin1");
    profile.skipindex = true;
    profile.nameuppercase = false;
    profile.verifyrows = true;
    profile.tables = {QStringLiteral("orders"), QStringLiteral("items")};

    const QStringList lines = settingsFileLines(valuesFromProfile(profile), profile.tables);
    EXPECT_EQ(valuesFromProfile(profileFromValues(settingsValuesOfLines(lines))),
              valuesFromProfile(profile));
    EXPECT_EQ(settingsTableNames(lines), profile.tables);
}

TEST(SettingsChosenTables, AllOrEveryListedNameInFileOrderOnceSoTheRunLogsTheMissingOnes)
{
    const QStringList available{"customers", "items", "orders", "Orders"};
    EXPECT_EQ(settingsChosenTables({"alltables=1", "tables1=items"}, available), available);
    EXPECT_EQ(settingsChosenTables({"alltables=0", "tables1=Orders", "tables2=ghosts", "tables3=items",
                                    "tables4=Orders", "tables5=ORDERS"},
                                   available),
              (QStringList{"Orders", "ghosts", "items", "ORDERS"}));
    EXPECT_EQ(settingsChosenTables({"tables1=items"}, {}), QStringList{"items"});
}

struct NoTableCase {
    const char* name;
    QStringList lines;
    QStringList available;
    QString message;  // empty: there is a table to convert
};

void PrintTo(const NoTableCase& c, std::ostream* out)
{
    *out << c.name;
}

class NoTableToConvert : public testing::TestWithParam<NoTableCase> {};

TEST_P(NoTableToConvert, SaysWhyAndNamesEveryMissingTable)
{
    EXPECT_EQ(noTableToConvertMessage(GetParam().lines, GetParam().available, QStringLiteral("shop")),
              GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NoTableToConvert,
    testing::Values(
        NoTableCase{"one_listed_exists", {"tables1=zzz", "tables2=b"}, {"a", "b"}, {}},
        NoTableCase{"all_of_a_database_with_tables", {"alltables=1"}, {"a"}, {}},
        NoTableCase{"only_missing_ones",
                    {"tables1=zzz", "tables2=B", "tables3=zzz"},
                    {"a", "b"},
                    "Table zzz was not found in the MySQL database shop\n"
                    "Table B was not found in the MySQL database shop\n"
                    "No table to convert: none of the tables the settings file lists is in the MySQL "
                    "database shop."},
        NoTableCase{"table_lines_lost",
                    {"TABLES1=a", "tables1=", "alltables=0"},
                    {"a"},
                    "No table to convert: the settings file lists no table (no line tables1=..., and "
                    "alltables is not 1)."},
        NoTableCase{"all_of_an_empty_database", {"alltables=1"}, {},
                    "No table to convert: the MySQL database shop has no tables."}),
    [](const testing::TestParamInfo<NoTableCase>& info) { return std::string(info.param.name); });

}  // namespace
