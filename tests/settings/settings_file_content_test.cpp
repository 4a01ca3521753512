// A settings file read once into one value: its values, its profile and its table choice, and a
// file whose lines ran together refused with the same error as when its lines are read directly.
#include "db/error.h"
#include "settings/settings_file.h"
#include "settings/settings_file_content.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace dovrelle;

namespace {

const QStringList available{"customers", "items", "orders", "Orders"};

struct ChoiceCase {
    const char* name;
    QStringList lines;
    bool all;
    QStringList chosen;
    bool noTable;  // the no-table message instead of the empty text
};

void PrintTo(const ChoiceCase& c, std::ostream* out)
{
    *out << c.name;
}

class SettingsFileTableChoice : public testing::TestWithParam<ChoiceCase> {};

TEST_P(SettingsFileTableChoice, ChoosesAllOrTheListedTablesOnce)
{
    const ChoiceCase& c = GetParam();
    const SettingsFileContent content(c.lines);
    EXPECT_EQ(content.choosesAllTables(), c.all);
    EXPECT_EQ(content.chosenTables(available), c.chosen);
    const QString none = content.noTableToConvertMessage(available, QStringLiteral("shop"));
    EXPECT_EQ(none.contains("No table to convert"), c.noTable) << none.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsFileTableChoice,
    testing::Values(
        ChoiceCase{"all_wins_over_listed", {"alltables=1", "tables1=items"}, true, available, false},
        ChoiceCase{"all_key_in_any_case", {"ALLTABLES=1"}, true, available, false},
        ChoiceCase{"all_only_for_exactly_1", {"alltables= 1", "tables1=items"}, false, {"items"}, false},
        ChoiceCase{"listed_once_in_file_order",
                   {"alltables=0", "tables1=Orders", "tables2=ghosts", "tables3=items", "tables4=Orders"},
                   false, {"Orders", "ghosts", "items"}, false},
        ChoiceCase{"only_missing_ones", {"alltables=0", "tables1=ghosts"}, false, {"ghosts"}, true},
        ChoiceCase{"none_listed", {"alltables=0"}, false, {}, true}),
    [](const testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name); });

TEST(SettingsFileContent, GivesTheValuesAndProfileOfTheLines)
{
    const QStringList lines{"accessmode=1", "host=db.example", "mysqldatabase=shop", "oraclep=p=w",
                            "processtable=1", "alltables=0", "tables1=items"};
    const SettingsFileContent content(lines);
    EXPECT_EQ(content.values(), settingsValuesOfLines(lines));
    const ConversionProfile profile = content.profile();
    EXPECT_EQ(profile.host, "db.example");
    EXPECT_EQ(profile.oraclep, "p=w");
    EXPECT_EQ(profile.processtable, ExistingTableAction::Merge);
    EXPECT_TRUE(profile.tables.isEmpty());
}

// Lines that ran together are refused where the values are used, with the error reading the
// lines gives; the table choice can still be asked for.
TEST(SettingsFileContent, LinesRunTogetherFailWhereTheValuesAreUsed)
{
    const QStringList lines{"accessmode=0", "port=1 mysqlp=secret", "alltables=1"};
    const QString expected = QStringLiteral(
        "The settings file is not valid: line 2, the value of port, holds the key mysqlp (a line break is missing)");
    const SettingsFileContent content(lines);
    EXPECT_TRUE(content.choosesAllTables());
    for (const auto& use : std::initializer_list<std::function<void()>>{[&] { content.values(); },
                                                                         [&] { content.profile(); },
                                                                         [&] { settingsValuesOfLines(lines); }}) {
        try {
            use();
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.message(), expected);
        }
    }
}

TEST(SettingsFileContent, ReadsTheFileItWasSavedTo)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("nightly.qelt");
    const QStringList lines{"accessmode=1", "mysqldatabase=shop", "alltables=0", "tables1=orders", "tables2=items"};
    saveSettingsFile(path, lines);
    const SettingsFileContent content = SettingsFileContent::read(path);
    EXPECT_EQ(content.values(), settingsValuesOfLines(lines));
    EXPECT_EQ(content.chosenTables(available), (QStringList{"orders", "items"}));
    try {
        SettingsFileContent::read(dir.filePath("missing.qelt"));
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_TRUE(e.message().startsWith("Cannot open file \"")) << e.message().toStdString();
    }
}

}  // namespace
