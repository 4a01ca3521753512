// The caption tables, applyCaptions and the text of the error box.
#include "wizard_fixture.h"

#include "texts/caption_tables.h"
#include "wizard/radio_group.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace wizardtest {
namespace {

using dovrelle::captionFromTable;
using dovrelle::tableHasRow;

QString rowName(const QString& row)
{
    return row.left(row.indexOf(u'='));
}

// The caption a label, group box (radio groups included) or check box shows; null for others.
QString captionOf(QWidget* widget, bool* captioned)
{
    *captioned = true;
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* box = qobject_cast<QGroupBox*>(widget))
        return box->title();
    if (auto* check = qobject_cast<QCheckBox*>(widget))
        return check->text();
    *captioned = false;
    return {};
}

TEST(CaptionTables, BothTablesHoldTheSame46NamesInTheSameOrder)
{
    const QStringList en = dovrelle::englishCaptionTable();
    const QStringList cn = dovrelle::chineseCaptionTable();
    ASSERT_EQ(en.size(), 46);
    ASSERT_EQ(cn.size(), 46);
    for (int i = 0; i < 46; ++i)
        EXPECT_EQ(rowName(en[i]), rowName(cn[i])) << i;
}

TEST_F(WizardTest, EnglishGivesEveryCaptionedControlItsRowAndNoneLacksARow)
{
    int captioned = 0;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        bool hasCaption = false;
        const QString caption = captionOf(widget, &hasCaption);
        if (!hasCaption)
            continue;
        ++captioned;
        const QString name = widget->objectName();
        EXPECT_TRUE(tableHasRow(window->englishCaptions, name)) << "no row for " << name.toStdString();
        EXPECT_EQ(caption, captionFromTable(window->englishCaptions, name)) << name.toStdString();
    }
    EXPECT_EQ(captioned, 46);  // and every row names one control
}

TEST_F(WizardTest, EnglishCaptionsAreTheWizardsTexts)
{
    struct Case {
        const char* control;
        const char* caption;
    };
    const Case cases[] = {
        {"Label9", "This wizard helps you move Mysql database to Oracle  server."},
        {"Label10", "Click 'Next' to continue."},
        {"edtport111", "Port number:"},
        {"Label21", "&Service:"},
        {"queryclose", "Close this Wizard ?"},
        {"Label30", "Wizard has migrated your MySQL database to Oracle server successfully."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(control<QLabel>(c.control)->text(), c.caption) << c.control;
    EXPECT_EQ(control<dovrelle::RadioGroup>("accessmode")->title(), "Access mode");
    EXPECT_EQ(control<dovrelle::RadioGroup>("processtable")->title(), "How to process existing tables:");
    EXPECT_EQ(control<QGroupBox>("GroupBox2")->title(), "Remote settings");
    EXPECT_EQ(control<QCheckBox>("chkuppercase")->text(), "Make names uppercase");
    EXPECT_EQ(control<QCheckBox>("chkverifyrows")->text(), "Verify copied rows");
    EXPECT_EQ(control<QPushButton>("btcreatebat")->text(), "Create Shortcut File");
}

TEST_F(WizardTest, ChineseShowsItsValuesAndGivesTheButtonsChineseTexts)
{
    window->languageCode = "cn";
    window->applyCaptions();
    EXPECT_EQ(control<QLabel>("Label1")->text(), QStringLiteral("欢迎"));
    EXPECT_EQ(control<QLabel>("Label8")->text(), "");  // rows with an empty caption empty it
    EXPECT_EQ(control<QLabel>("Label19")->text(), "");
    EXPECT_EQ(control<QLabel>("queryclose")->text(), QStringLiteral("退出向导 ?"));
    EXPECT_EQ(control<QGroupBox>("authorization")->title(), QStringLiteral("登陆设置"));
    EXPECT_EQ(control<QCheckBox>("chkskipindex")->text(), QStringLiteral("选中则不处理索引"));
    EXPECT_EQ(control<QCheckBox>("chkverifyrows")->text(), QStringLiteral("校验已复制的行"));
    EXPECT_EQ(control<QPushButton>("btcreatebat")->text(), QStringLiteral("创建快捷方式"));
    EXPECT_EQ(control<QPushButton>("Button1")->text(), QStringLiteral("添加>"));
    EXPECT_EQ(control<QPushButton>("Button4")->text(), QStringLiteral("<去除全部"));
    EXPECT_EQ(control<QPushButton>("bthelp")->text(), QStringLiteral("帮助"));
    // The buttons that the caption table leaves open get Chinese texts of their own.
    EXPECT_EQ(control<QPushButton>("btnext")->text(), QStringLiteral("下一步 >"));
    EXPECT_EQ(control<QPushButton>("btback")->text(), QStringLiteral("< 上一步"));
    EXPECT_EQ(control<QPushButton>("btcancel")->text(), QStringLiteral("关闭"));
    window->languageCode = "en";
    window->applyCaptions();
    EXPECT_EQ(control<QPushButton>("btnext")->text(), "Next >");
    EXPECT_EQ(control<QPushButton>("btback")->text(), "< Back");
    EXPECT_EQ(control<QPushButton>("btcancel")->text(), "Close");
    EXPECT_EQ(control<QPushButton>("bthelp")->text(), "Help");
    // A radio group's choices are not captions of the table.
    EXPECT_EQ(control<dovrelle::RadioGroup>("accessmode")->button(1)->text(), "&Romote");
}

// The radio groups' entries and the buttons the caption tables leave open get Chinese texts, and
// English ones again when the language changes back.
TEST_F(WizardTest, ChineseGivesTheControlsOutsideTheCaptionTablesChineseTexts)
{
    struct Case {
        const char* control;
        int entry;  // the radio group's entry; -1: the control is a push button
        QString chinese;
        QString english;
    };
    const Case cases[] = {
        {"accessmode", 0, QStringLiteral("本地(&L)"), "&Local"},
        {"accessmode", 1, QStringLiteral("远程(&R)"), "&Romote"},
        {"processtable", 0, QStringLiteral("覆盖"), "Overwrite"},
        {"processtable", 1, QStringLiteral("合并"), "Merge"},
        {"processtable", 2, QStringLiteral("跳过"), "Skip"},
        {"Button2", -1, QStringLiteral("添加全部>"), "Add all >"},
        {"Button3", -1, QStringLiteral("<去除"), "< Remove"},
        {"btcheck", -1, QStringLiteral("检查表\u2026"), QStringLiteral("Check tables\u2026")},
        {"btopenreport", -1, QStringLiteral("打开报告"), "Open report"},
    };
    const auto text = [this](const Case& c) {
        return c.entry < 0 ? control<QPushButton>(c.control)->text()
                           : control<dovrelle::RadioGroup>(c.control)->button(c.entry)->text();
    };
    for (const char* language : {"cn", "en"}) {
        window->languageCode = language;
        window->applyCaptions();
        for (const Case& c : cases)
            EXPECT_EQ(text(c), window->languageCode == "cn" ? c.chinese : c.english) << c.control << " " << language;
    }
}

TEST_F(WizardTest, NamesMatchWithoutCaseAndAControlWithoutARowIsEmptied)
{
    auto* sameNameOtherCase = new QLabel("old", window.get());
    sameNameOtherCase->setObjectName("LABEL7");
    auto* unknown = new QCheckBox("old", window.get());
    unknown->setObjectName("chkunknown");
    window->applyCaptions();
    EXPECT_EQ(sameNameOtherCase->text(), "Welcome to the Database");
    EXPECT_EQ(unknown->text(), "");
}

TEST_F(WizardTest, AnUnknownLanguageCodeChangesNothing)
{
    window->languageCode = "de";
    window->applyCaptions();
    EXPECT_EQ(control<QLabel>("Label1")->text(), "Welcome");
}

TEST(ErrorBox, AddsAFullStopOnlyAfterACharacterThatSortsAfterIt)
{
    struct Case {
        QString message;
        QString shown;
    };
    const Case cases[] = {
        {"Access denied", "Access denied."},
        {"ORA-01017: invalid username/password; logon denied", "ORA-01017: invalid username/password; logon denied."},
        {"List index out of bounds (-1)", "List index out of bounds (-1)"},  // ')' sorts before '.'
        {"Ends with a stop.", "Ends with a stop."},
        {"Ends with a dash -", "Ends with a dash -"},
        {"Ends with a slash /", "Ends with a slash /."},
        {"Version 5", "Version 5."},
        {"Quoted 'name'", "Quoted 'name'"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dovrelle::errorBoxText(c.message), c.shown) << c.message.toStdString();
}

}  // namespace
}  // namespace wizardtest
