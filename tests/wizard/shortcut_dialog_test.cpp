// The shortcut dialog: filled from the wizard, writing the settings file and the launcher.
#include "wizard/shortcut_dialog.h"
#include "wizard/radio_group.h"
#include "recording_seam.h"
#include "settings/settings_file.h"
#include "wizard/settings_wiring.h"
#include "settings/shell_link.h"
#include "wizard/conversion_wizard.h"
#include "wizard/wizard_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace dovrelle;

namespace {

QString programPath()
{
    return QStringLiteral(DOVRELLE_BUILD_DIR "/bin/dovrelle");
}

QString fieldText(ShortcutDialog& dialog, const char* name)
{
    auto* field = dialog.findChild<QLineEdit*>(QLatin1String(name));
    EXPECT_NE(field, nullptr) << name;
    return field ? field->text() : QString();
}

QStringList listTexts(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

QString readText(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(file.readAll());
}

class ShortcutDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        window.setMessageSeam(std::make_unique<RecordingSeam>(&boxes));
        dialog = &installSettings(window).shortcutDialog();
        dialog->programPath = programPath();
        dialog->chooseShortcutPath = [this](QWidget*) { return chosenPath; };

        const WizardControls c(window);
        c.accessMode->setItemIndex(0);
        c.hostEdit->setText("db.example");
        c.portEdit->setText("3307");
        c.databaseList->addItems({"mysql", "shop", "test"});
        c.databaseList->item(1)->setSelected(true);
        c.databaseEdit->setText("SHOP");
        c.mysqlUserEdit->setText("ann");
        c.mysqlPasswordEdit->setText("p=w");
        c.oracleServiceEdit->setText("ORCL");
        c.oracleUserEdit->setText("SCOTT");
        c.oraclePasswordEdit->setText("tiger");
        c.existingTableChoice->setItemIndex(1);
        c.characterSetBox->setCurrentIndex(36);
        c.tableDefinitionsOnlyBox->setChecked(false);
        c.upperCaseNamesBox->setChecked(true);
        c.skipIndexesBox->setChecked(true);
        c.chosenTablesList->addItems({"orders", "items", "customers"});
    }

    RecordingSeam::Log boxes;
    ConversionWizard window;
    ShortcutDialog* dialog = nullptr;
    QTemporaryDir dir;
    QString chosenPath;
};

TEST_F(ShortcutDialogTest, OpeningFillsEveryFieldFromTheWizard)
{
    dialog->fillFromWizard(window);
    EXPECT_EQ(fieldText(*dialog, "edtmysqlip"), "localhost");
    EXPECT_EQ(fieldText(*dialog, "edtmysqlport"), "3307");
    EXPECT_EQ(fieldText(*dialog, "edtmysqldatabase"), "shop");
    EXPECT_EQ(fieldText(*dialog, "edtmysqlusername"), "ann");
    EXPECT_EQ(fieldText(*dialog, "edtmysqlpassword"), "p=w");
    EXPECT_EQ(fieldText(*dialog, "edtoracleservice"), "ORCL");
    EXPECT_EQ(fieldText(*dialog, "edtoracleusername"), "SCOTT");
    EXPECT_EQ(fieldText(*dialog, "edtoraclepassword"), "tiger");
    EXPECT_EQ(fieldText(*dialog, "edtoracleexits"), "Merge");
    EXPECT_EQ(fieldText(*dialog, "edtcharset"), "utf8");
    EXPECT_TRUE(dialog->findChild<QCheckBox*>("chkskipindex")->isChecked());
    EXPECT_TRUE(dialog->findChild<QCheckBox*>("chkuppercase")->isChecked());
    EXPECT_FALSE(dialog->findChild<QCheckBox*>("chktabledefi")->isChecked());
    auto* list = dialog->findChild<QListWidget*>("mysqltableselect");
    EXPECT_EQ(listTexts(list), (QStringList{"orders", "items", "customers"}));
    // "All database tables" is chosen at start; the list and its button show only for the other.
    EXPECT_EQ(dialog->findChild<RadioGroup*>("rgselecttable")->itemIndex(), 1);
    EXPECT_TRUE(list->isHidden());
    EXPECT_TRUE(dialog->findChild<QWidget*>("bttableselect")->isHidden());

    WizardControls(window).accessMode->setItemIndex(1);
    dialog->fillFromWizard(window);
    EXPECT_EQ(fieldText(*dialog, "edtmysqlip"), "db.example");
}

TEST_F(ShortcutDialogTest, CreateWritesSettingsFileLauncherAndTheSuccessMessage)
{
    window.findChild<QCheckBox*>("chkverifyrows")->setChecked(true);  // an option beyond the classic ones
    dialog->fillFromWizard(window);
    dialog->findChild<RadioGroup*>("rgselecttable")->setItemIndex(0);
    EXPECT_FALSE(dialog->findChild<QListWidget*>("mysqltableselect")->isHidden());
    EXPECT_FALSE(dialog->findChild<QWidget*>("bttableselect")->isHidden());
    dialog->findChild<QCheckBox*>("chkuppercase")->setChecked(false);  // the file's option only
    chosenPath = dir.filePath("night run");  // no extension typed

    dialog->createShortcut();

    const QString shortcut = dir.filePath("night run.desktop");
    const QString settings = dir.filePath("night run.qelt");
    const QString log = dir.filePath("night run.log");
    ASSERT_TRUE(QFile::exists(shortcut));
    EXPECT_EQ(loadSettingsFile(settings),
              (QStringList{"accessmode=0", "mysqldatabase=shop", "port=3307", "mysqlu=ann", "mysqlp=p=w",
                           "host=db.example", "oracleh=ORCL", "oracleu=SCOTT", "oraclep=tiger",
                           "processtable=1", "character_set=utf8", "tabledefonly=0", "skipindex=1",
                           "nameuppercase=0", "blobtotext=0", "fullschema=0", "verifyrows=1", "alltables=0",
                           "tables1=orders",
                           "tables2=items", "tables3=customers"}));
    EXPECT_TRUE(WizardControls(window).upperCaseNamesBox->isChecked());
    EXPECT_EQ(boxes.notices,
              QStringList{QStringLiteral("Success to create \"%1\".\rCreate setting file \"%2\" OK.\r"
                                         "It will build a log file \"%3\" after running with this Shortcut File.")
                              .arg(shortcut, settings, log)});
    EXPECT_TRUE(boxes.errors.isEmpty());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);

    const QString launcher = readText(shortcut);
    const QStringList lines = launcher.split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.value(0), "[Desktop Entry]");
    EXPECT_TRUE(lines.contains("Type=Application"));
    EXPECT_TRUE(lines.contains("Name=night run"));
    // The tests choose oraemu through DOVRELLE_OCI_LIBRARY: the launcher carries it.
    EXPECT_TRUE(lines.contains(QStringLiteral("Exec=env DOVRELLE_OCI_LIBRARY=%1 %2 \"%3\"")
                                   .arg(qEnvironmentVariable("DOVRELLE_OCI_LIBRARY"), programPath(), settings)))
        << launcher.toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("Path=%1/").arg(QStringLiteral(DOVRELLE_BUILD_DIR "/bin"))));
    EXPECT_TRUE(QFile::permissions(shortcut) & QFileDevice::ExeOwner);
}

TEST_F(ShortcutDialogTest, AllTablesWritesNoTableLinesAndReopeningKeepsTheTableChoiceOnly)
{
    dialog->fillFromWizard(window);
    chosenPath = dir.filePath("all.desktop");
    dialog->createShortcut();
    const QStringList lines = loadSettingsFile(dir.filePath("all.qelt"));
    EXPECT_EQ(lines.size(), 18);
    EXPECT_EQ(lines.last(), "alltables=1");

    dialog->findChild<RadioGroup*>("rgselecttable")->setItemIndex(0);
    dialog->findChild<QCheckBox*>("chkblobtotext")->setChecked(true);
    delete WizardControls(window).chosenTablesList->takeItem(0);  // the taken item is ours to free
    dialog->fillFromWizard(window);
    EXPECT_EQ(dialog->findChild<RadioGroup*>("rgselecttable")->itemIndex(), 0);
    EXPECT_FALSE(dialog->findChild<QListWidget*>("mysqltableselect")->isHidden());
    EXPECT_FALSE(dialog->findChild<QCheckBox*>("chkblobtotext")->isChecked());
    EXPECT_EQ(listTexts(dialog->findChild<QListWidget*>("mysqltableselect")), (QStringList{"items", "customers"}));
}

TEST_F(ShortcutDialogTest, CancelledSaveDialogWritesNothing)
{
    dialog->fillFromWizard(window);
    chosenPath.clear();
    dialog->createShortcut();
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    EXPECT_TRUE(boxes.notices.isEmpty());
    EXPECT_TRUE(boxes.errors.isEmpty());
}

TEST_F(ShortcutDialogTest, SettingsFileThatCannotBeCreatedShowsTheErrorAndWritesNoShortcut)
{
    dialog->fillFromWizard(window);
    chosenPath = dir.filePath("missing/job.desktop");
    dialog->createShortcut();
    EXPECT_EQ(boxes.errors,
              QStringList{QStringLiteral("Cannot create file \"%1\". No such file or directory").arg(dir.filePath("missing/job.qelt"))});
    EXPECT_TRUE(boxes.notices.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(ShortcutDialogTest, ReselectTablesTellsTheUserAndCloses)
{
    dialog->fillFromWizard(window);
    dialog->reselectTables();
    EXPECT_EQ(boxes.notices,
              QStringList{"This form will be closed.\rAfter you finish your choice,please click the button "
                          "\"Create Shortcut File\" to return to this form."});
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(ShortcutDialogTest, TheWizardsButtonOpensTheDialogModally)
{
    chosenPath = dir.filePath("from_wizard.desktop");
    QTimer::singleShot(0, dialog, [this] {
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->windowTitle(), "marfrm_bat");
        EXPECT_TRUE(dialog->isModal());
        dialog->createShortcut();
    });
    window.createShortcutFile();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(QFile::exists(dir.filePath("from_wizard.qelt")));
    EXPECT_EQ(fieldText(*dialog, "edtmysqldatabase"), "shop");
}

TEST_F(ShortcutDialogTest, EveryCaptionFitsItsControlInTheWizardsFont)
{
    dialog->fillFromWizard(window);
    dialog->findChild<RadioGroup*>("rgselecttable")->setItemIndex(0);
    dialog->show();
    EXPECT_EQ(dialog->font().toString(), window.font().toString());

    int captions = 0;
    for (const QLabel* label : dialog->findChildren<QLabel*>()) {
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width())
            << label->text().toStdString();
        ++captions;
    }
    // A check box or radio button needs its indicator, the gap and the whole text.
    QList<const QAbstractButton*> buttons;
    for (const QCheckBox* box : dialog->findChildren<QCheckBox*>())
        buttons << box;
    for (const QRadioButton* radio : dialog->findChildren<QRadioButton*>())
        buttons << radio;
    for (const QAbstractButton* button : buttons) {
        EXPECT_LE(button->sizeHint().width(), button->width()) << button->text().toStdString();
        ++captions;
    }
    for (const QGroupBox* group : dialog->findChildren<QGroupBox*>()) {
        EXPECT_LE(group->fontMetrics().horizontalAdvance(group->title()) + 16, group->width())
            << group->title().toStdString();
        ++captions;
    }
    // Ten field labels, four check boxes, two table choices, four group titles.
    EXPECT_EQ(captions, 20);
}

TEST_F(ShortcutDialogTest, BothPasswordFieldsAreMasked)
{
    dialog->fillFromWizard(window);
    for (const QLineEdit* field : dialog->findChildren<QLineEdit*>()) {
        const bool password = field->objectName() == "edtmysqlpassword" || field->objectName() == "edtoraclepassword";
        EXPECT_EQ(field->echoMode(), password ? QLineEdit::Password : QLineEdit::Normal)
            << field->objectName().toStdString();
    }
    EXPECT_EQ(fieldText(*dialog, "edtmysqlpassword"), "p=w");  // masked, not emptied
    EXPECT_EQ(fieldText(*dialog, "edtoraclepassword"), "tiger");
}

TEST_F(ShortcutDialogTest, SelectedTablesWithAnEmptyListWarnsAndWritesNothing)
{
    WizardControls(window).chosenTablesList->clear();
    dialog->fillFromWizard(window);
    dialog->findChild<RadioGroup*>("rgselecttable")->setItemIndex(0);
    int pathsAsked = 0;
    dialog->chooseShortcutPath = [this, &pathsAsked](QWidget*) {
        ++pathsAsked;
        return dir.filePath("empty.desktop");
    };

    dialog->createShortcut();
    EXPECT_EQ(boxes.warnings, QStringList{"No table is selected. Choose the tables on page 5 (\"Reselect tables\") "
                                          "or choose \"All database tables\"."});
    EXPECT_EQ(pathsAsked, 0);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    EXPECT_TRUE(boxes.notices.isEmpty());
    EXPECT_NE(dialog->result(), QDialog::Accepted);

    // "All database tables" needs no list.
    dialog->findChild<RadioGroup*>("rgselecttable")->setItemIndex(1);
    dialog->createShortcut();
    EXPECT_EQ(pathsAsked, 1);
    EXPECT_EQ(boxes.warnings.size(), 1);
    EXPECT_EQ(loadSettingsFile(dir.filePath("empty.qelt")).last(), "alltables=1");
}

TEST(DesktopExecArgument, QuotesAndEscapesWhatTheLauncherFormatReserves)
{
    EXPECT_EQ(desktopExecArgument("/opt/dovrelle/bin/dovrelle"), "/opt/dovrelle/bin/dovrelle");
    EXPECT_EQ(desktopExecArgument("/opt/my apps/dovrelle"), "\"/opt/my apps/dovrelle\"");
    EXPECT_EQ(quotedShortcutArgument("/jobs/nightly.qelt"), "\"/jobs/nightly.qelt\"");
    EXPECT_EQ(quotedShortcutArgument("/jobs/a$b`c\"d\\e 100%.qelt"), "\"/jobs/a\\$b\\`c\\\"d\\\\e 100%%.qelt\"");
    // The entry value escapes each backslash once more.
    const QString entry = desktopEntryText("/opt/dovrelle", quotedShortcutArgument("/j/a\\b.qelt"), "job");
    EXPECT_TRUE(entry.contains("Exec=/opt/dovrelle \"/j/a\\\\\\\\b.qelt\"\n")) << entry.toStdString();
}

// A launcher made while DOVRELLE_OCI_LIBRARY chose the Oracle library carries it: a menu starts
// programs without the shell's variables.
TEST(DesktopEntryText, CarriesTheOciLibraryWhenOneIsSet)
{
    const QString plain = desktopEntryText("/usr/bin/dovrelle", quotedShortcutArgument("/jobs/n.qelt"), "n");
    EXPECT_TRUE(plain.contains("Exec=/usr/bin/dovrelle \"/jobs/n.qelt\"\n")) << plain.toStdString();
    const QString withLibrary = desktopEntryText("/usr/bin/dovrelle", quotedShortcutArgument("/jobs/n.qelt"), "n",
                                                 "/usr/lib/dovrelle/liboraemu.so");
    EXPECT_TRUE(withLibrary.contains(
        "Exec=env DOVRELLE_OCI_LIBRARY=/usr/lib/dovrelle/liboraemu.so /usr/bin/dovrelle \"/jobs/n.qelt\"\n"))
        << withLibrary.toStdString();
    const QString spaced = desktopEntryText("/usr/bin/dovrelle", "\"x\"", "n", "/opt/my libs/liboraemu.so");
    EXPECT_TRUE(spaced.contains("Exec=env \"DOVRELLE_OCI_LIBRARY=/opt/my libs/liboraemu.so\" /usr/bin/dovrelle"))
        << spaced.toStdString();
}

}  // namespace
