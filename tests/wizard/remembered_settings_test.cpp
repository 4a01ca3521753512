// The remembered settings: first start, the read rules, and what an exit writes.
#include "wizard/radio_group.h"
#include "wizard/remembered_settings.h"
#include "settings/settings_store.h"
#include "wizard/conversion_wizard.h"
#include "wizard/wizard_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

using namespace dovrelle;

namespace {

using Values = QList<std::pair<QString, QString>>;

class RememberedSettings : public testing::Test {
protected:
    void SetUp() override
    {
        QFile::remove(settingsStorePath());
        ASSERT_TRUE(settingsStorePath().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")))
            << "the store must lie in the test's own folder";
    }

    static void writeStore(const Values& values)
    {
        QDir().mkpath(QFileInfo(settingsStorePath()).absolutePath());
        QFile file(settingsStorePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(encodeSettingsStore(values));
    }

    static QHash<QString, QString> readStore()
    {
        QFile file(settingsStorePath());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return decodeSettingsStore(file.readAll());
    }
};

TEST_F(RememberedSettings, FirstStartKeepsTheInitialStateAndExitWritesAllSeventeenValues)
{
    {
        ConversionWizard window;
        loadRememberedSettings(window);
        const WizardControls c(window);
        EXPECT_EQ(c.portEdit->text(), QStringLiteral("3306"));
        EXPECT_EQ(c.characterSetBox->currentIndex(), 0);
        EXPECT_EQ(c.characterSetBox->currentText(), QStringLiteral("Default"));
        EXPECT_EQ(c.accessMode->itemIndex(), 0);
        EXPECT_EQ(c.existingTableChoice->itemIndex(), 0);
        EXPECT_TRUE(c.upperCaseNamesBox->isChecked());
        EXPECT_FALSE(c.tableDefinitionsOnlyBox->isChecked());
        EXPECT_FALSE(QFile::exists(settingsStorePath()));
        saveRememberedSettings(window);
    }
    QFile file(settingsStorePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    struct stat info = {};
    ASSERT_EQ(::stat(QFile::encodeName(settingsStorePath()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    QStringList names;
    for (const QByteArray& line : text.split('\n'))
        if (line.contains('=') && !line.startsWith('#'))
            names << QString::fromUtf8(line.left(line.indexOf('=')));
    EXPECT_EQ(names, (QStringList{"accessmode", "mysqldatabase", "mysqlu", "mysqlp", "host", "port",
                                  "Character Set", "oracleh", "oraclep", "oracleu", "processtable",
                                  "tabledefonly", "nameuppercase", "skipindex", "blobtotext",
                                  "fullschema", "verifyrows"}));
    const auto stored = decodeSettingsStore(text);
    EXPECT_EQ(stored.value("accessmode"), "0");
    EXPECT_EQ(stored.value("port"), "3306");
    EXPECT_EQ(stored.value("Character Set"), "0");
    EXPECT_EQ(stored.value("mysqlp"), "");
    EXPECT_EQ(stored.value("processtable"), "0");
    EXPECT_EQ(stored.value("nameuppercase"), "1");
    EXPECT_EQ(stored.value("blobtotext"), "0");
}

struct ReadCase {
    const char* name;
    Values stored;
    std::function<void(const WizardControls&)> check;
};

void PrintTo(const ReadCase& c, std::ostream* out)
{
    *out << c.name;
}

class RememberedSettingsRead : public RememberedSettings, public testing::WithParamInterface<ReadCase> {};

TEST_P(RememberedSettingsRead, FollowsTheReadRules)
{
    writeStore(GetParam().stored);
    ConversionWizard window;
    loadRememberedSettings(window);
    GetParam().check(WizardControls(window));
}

const ReadCase readCases[] = {
    {"nameuppercase_missing_unchecks", {{"port", "3310"}},
     [](const WizardControls& c) {
         EXPECT_FALSE(c.upperCaseNamesBox->isChecked());
         EXPECT_EQ(c.portEdit->text(), "3310");
     }},
    {"empty_port_becomes_3306", {{"port", ""}, {"nameuppercase", "1"}},
     [](const WizardControls& c) {
         EXPECT_EQ(c.portEdit->text(), "3306");
         EXPECT_TRUE(c.upperCaseNamesBox->isChecked());
     }},
    {"charset_36_is_utf8", {{"Character Set", "36"}},
     [](const WizardControls& c) {
         EXPECT_EQ(c.characterSetBox->currentIndex(), 36);
         EXPECT_EQ(c.characterSetBox->currentText(), "utf8");
     }},
    {"charset_not_a_number_is_default", {{"Character Set", "abc"}},
     [](const WizardControls& c) { EXPECT_EQ(c.characterSetBox->currentText(), "Default"); }},
    {"charset_empty_is_default", {{"Character Set", ""}},
     [](const WizardControls& c) { EXPECT_EQ(c.characterSetBox->currentIndex(), 0); }},
    {"charset_beyond_list_leaves_box_empty", {{"Character Set", "99"}},
     [](const WizardControls& c) {
         EXPECT_EQ(c.characterSetBox->currentIndex(), -1);
         EXPECT_EQ(c.characterSetBox->currentText(), "");
     }},
    {"charset_minus_one_leaves_box_empty", {{"Character Set", "-1"}},
     [](const WizardControls& c) {
         EXPECT_EQ(c.characterSetBox->currentIndex(), -1);
         EXPECT_EQ(c.characterSetBox->currentText(), "");
     }},
    {"accessmode_beyond_last_is_remote", {{"accessmode", "7"}},
     [](const WizardControls& c) {
         EXPECT_EQ(c.accessMode->itemIndex(), 1);
         EXPECT_TRUE(c.hostEdit->isEnabled());
     }},
    {"accessmode_not_a_number_is_local", {{"accessmode", "remote"}},
     [](const WizardControls& c) {
         EXPECT_EQ(c.accessMode->itemIndex(), 0);
         EXPECT_FALSE(c.hostEdit->isEnabled());
     }},
    {"processtable_negative_chooses_none", {{"processtable", "-5"}},
     [](const WizardControls& c) { EXPECT_EQ(c.existingTableChoice->itemIndex(), -1); }},
    {"processtable_hex_and_blanks", {{"processtable", "  $1"}},
     [](const WizardControls& c) { EXPECT_EQ(c.existingTableChoice->itemIndex(), 1); }},
    {"processtable_missing_is_overwrite", {{"accessmode", "1"}},
     [](const WizardControls& c) { EXPECT_EQ(c.existingTableChoice->itemIndex(), 0); }},
    {"flags_only_one_checks",
     {{"tabledefonly", "1"}, {"skipindex", "true"}, {"nameuppercase", " 1"}, {"blobtotext", "1"}},
     [](const WizardControls& c) {
         EXPECT_TRUE(c.tableDefinitionsOnlyBox->isChecked());
         EXPECT_FALSE(c.skipIndexesBox->isChecked());
         EXPECT_FALSE(c.upperCaseNamesBox->isChecked());
         EXPECT_TRUE(c.blobToTextBox->isChecked());
     }},
    {"texts_come_back_whole",
     {{"mysqldatabase", "shop"}, {"mysqlu", "ann"}, {"mysqlp", "a=b\\c"}, {"host", "db.example"},
      {"oracleh", "ORCL"}, {"oracleu", "SCOTT"}, {"oraclep", " tiger "}},
     [](const WizardControls& c) {
         EXPECT_EQ(c.databaseEdit->text(), "shop");
         EXPECT_EQ(c.mysqlUserEdit->text(), "ann");
         EXPECT_EQ(c.mysqlPasswordEdit->text(), "a=b\\c");
         EXPECT_EQ(c.hostEdit->text(), "db.example");
         EXPECT_EQ(c.oracleServiceEdit->text(), "ORCL");
         EXPECT_EQ(c.oracleUserEdit->text(), "SCOTT");
         EXPECT_EQ(c.oraclePasswordEdit->text(), " tiger ");
     }},
};

INSTANTIATE_TEST_SUITE_P(Cases, RememberedSettingsRead, testing::ValuesIn(readCases),
                         [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST_F(RememberedSettings, AnExitStoresTheControlsAndTheNextStartReadsThemBack)
{
    {
        ConversionWizard window;
        loadRememberedSettings(window);
        const WizardControls c(window);
        c.accessMode->setItemIndex(1);
        c.hostEdit->setText("db.example");
        c.portEdit->setText("3307");
        c.databaseEdit->setText("shop");
        c.mysqlPasswordEdit->setText("line\\nnot a break");
        c.characterSetBox->setCurrentIndex(25);
        c.existingTableChoice->setItemIndex(2);
        c.upperCaseNamesBox->setChecked(false);
        c.skipIndexesBox->setChecked(true);
        saveRememberedSettings(window);
    }
    EXPECT_EQ(readStore().value("Character Set"), "25");
    ConversionWizard window;
    loadRememberedSettings(window);
    const WizardControls c(window);
    EXPECT_EQ(c.accessMode->itemIndex(), 1);
    EXPECT_EQ(c.hostEdit->text(), "db.example");
    EXPECT_EQ(c.portEdit->text(), "3307");
    EXPECT_EQ(c.databaseEdit->text(), "shop");
    EXPECT_EQ(c.mysqlPasswordEdit->text(), "line\\nnot a break");
    EXPECT_EQ(c.characterSetBox->currentText(), "latin1");
    EXPECT_EQ(c.existingTableChoice->itemIndex(), 2);
    EXPECT_FALSE(c.upperCaseNamesBox->isChecked());
    EXPECT_TRUE(c.skipIndexesBox->isChecked());
}

TEST_F(RememberedSettings, ATypedCharacterSetIsStoredAsNoEntryAndComesBackEmpty)
{
    {
        ConversionWizard window;
        loadRememberedSettings(window);
        WizardControls(window).characterSetBox->setEditText("klingon");
        saveRememberedSettings(window);
    }
    EXPECT_EQ(readStore().value("Character Set"), "-1");
    ConversionWizard window;
    loadRememberedSettings(window);
    EXPECT_EQ(WizardControls(window).characterSetBox->currentText(), "");
    EXPECT_EQ(WizardControls(window).characterSetBox->currentIndex(), -1);
}

TEST_F(RememberedSettings, AStoreThatCannotBeOpenedForWritingIsPassedOverSilently)
{
    // A folder in the store's place cannot be opened as a file, whoever runs the test.
    const QString path = settingsStorePath();
    ASSERT_TRUE(QDir().mkpath(path));
    {
        ConversionWizard window;
        loadRememberedSettings(window);
        EXPECT_NO_THROW(saveRememberedSettings(window));
    }
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_TRUE(QDir().rmdir(path));
}

}  // namespace
