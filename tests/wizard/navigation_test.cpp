// The frame of the window on pages 1 and 2, the close question, the close box and Help.
#include "wizard_fixture.h"

#include "db/error.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace wizardtest {
namespace {

const Frame kPage1{1, 1, 1, false, "Next >", true, "Close", true, true};
const Frame kPage2{2, 2, 2, true, "Next >", true, "Close", true, true};

TEST_F(WizardTest, StartsOnPage1WithTheFixedSizeWindowAndItsTitle)
{
    EXPECT_EQ(frame(), kPage1);
    EXPECT_EQ(window->objectName(), "aaform1");
    EXPECT_EQ(window->windowTitle(), "Dovrelle 4.0");
    EXPECT_EQ(window->size(), QSize(594, 425));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window->unattended());
    EXPECT_EQ(window->languageCode, "en");
}

TEST_F(WizardTest, NextOnPage1ShowsPage2AndBackReturnsToPage1)
{
    clickNext();
    EXPECT_EQ(frame(), kPage2);
    EXPECT_TRUE(seam->errors.isEmpty());
    clickBack();
    EXPECT_EQ(frame(), kPage1);
}

TEST_F(WizardTest, CloseAsksAndNoChangesNothing)
{
    clickNext();
    seam->answers = {dovrelle::MessageSeam::Answer::No};
    clickClose();
    EXPECT_EQ(seam->questions, QStringList{"Information: Close this Wizard ?"});
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(frame(), kPage2);
}

TEST_F(WizardTest, CloseAnsweredYesClosesTheWindow)
{
    seam->answers = {dovrelle::MessageSeam::Answer::Yes};
    clickClose();
    EXPECT_EQ(seam->questions.size(), 1);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(WizardTest, TitleBarCloseBoxClosesWithoutAQuestion)
{
    clickNext();
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(seam->questions.isEmpty());
}

TEST_F(WizardTest, HelpAndLogoOpenTheUserGuideAsALocalFile)
{
    control<QPushButton>("bthelp")->click();
    QTest::mouseClick(control<QWidget>("Image1"), Qt::LeftButton);
    ASSERT_EQ(openedUrls.size(), 2);
    for (const QUrl& url : openedUrls) {
        EXPECT_TRUE(url.isLocalFile()) << url.toString().toStdString();
        EXPECT_TRUE(url.path().endsWith("docs/index.html")) << url.toString().toStdString();
    }
}

TEST_F(WizardTest, HelpWithoutAProgramToOpenTheGuideNamesItsPath)
{
    window->openUrl = [this](const QUrl& url) {
        openedUrls.append(url);
        return false;
    };
    control<QPushButton>("bthelp")->click();
    ASSERT_EQ(openedUrls.size(), 1);
    ASSERT_EQ(seam->notices.size(), 1);
    EXPECT_TRUE(seam->notices.first().endsWith("\n" + QDir::toNativeSeparators(openedUrls.first().toLocalFile())))
        << seam->notices.first().toStdString();
    EXPECT_TRUE(seam->errors.isEmpty());
}

// The next control that Tab reaches from `from` on the page shown.
QWidget* tabFrom(QWidget* window, QWidget* from)
{
    QWidget* next = from->nextInFocusChain();
    while (next != from && !((next->focusPolicy() & Qt::TabFocus) && next->isVisibleTo(window)
                             && next->isEnabled() && !next->focusProxy()))
        next = next->nextInFocusChain();
    return next;
}

TEST_F(WizardTest, TabMovesThroughEachPageInItsOrderAndThenThroughTheButtonRow)
{
    const QList<QStringList> orders = {
        {"edtdatabase", "edtname", "edtpassword", "edtport", "bthelp", "btcancel", "btnext",
         "btback"},  // page 2, Local: the host field is disabled
        {"edtservice", "edtoracleusername", "edtoraclepassword", "bthelp"},
        {"chktabledefi", "chkskipindex", "chkuppercase", "chkblobtotext"},
        {"availabletables", "selecttables", "Button1", "Button2", "Button3", "Button4",
         "btcreatebat", "btcheck", "bthelp"},  // "Check tables…" follows the page's own controls
    };
    for (int i = 0; i < orders.size(); ++i) {
        window->showPage(i + 2);
        const QStringList& order = orders[i];
        for (int k = 0; k + 1 < order.size(); ++k) {
            QWidget* from = control<QWidget>(order[k].toLatin1().constData());
            EXPECT_EQ(tabFrom(window.get(), from)->objectName(), order[k + 1])
                << "from " << order[k].toStdString();
        }
    }
}

TEST_F(WizardTest, DestroyingTheWindowSavesTheSettingsOnce)
{
    int saves = 0;
    window->saveRememberedSettings = [&saves] { ++saves; };
    window.reset();
    EXPECT_EQ(saves, 1);
}

TEST_F(WizardTest, StartUpRunsItsHooksInOrderAndAStartArgumentMakesItUnattended)
{
    QStringList calls;
    dovrelle::ConversionWizard other;
    other.loadRememberedSettings = [&] { calls << "registry:" + other.findChild<QLabel*>("Label1")->text(); };
    other.unattendedStart = [&] { calls << "unattended:" + other.settingsPath(); };
    other.start({"dovrelle", "/tmp/job.qelt", "ignored"});
    EXPECT_TRUE(other.unattended());
    EXPECT_EQ(calls, (QStringList{"registry:Welcome", "unattended:/tmp/job.qelt"}));
}

TEST_F(WizardTest, AnErrorOfAStartUpStepIsShownAndTheLaterStepsDoNotRun)
{
    dovrelle::ConversionWizard other;
    auto scripted = std::make_unique<ScriptedSeam>();
    ScriptedSeam* otherSeam = scripted.get();
    other.setMessageSeam(std::move(scripted));
    bool unattendedStarted = false;
    other.loadRememberedSettings = [] { throw dovrelle::Error("Invalid data type for 'port'"); };
    other.unattendedStart = [&] { unattendedStarted = true; };
    other.start({"dovrelle", "job.qelt"});
    EXPECT_EQ(otherSeam->errors, QStringList{"Invalid data type for 'port'"});
    EXPECT_FALSE(unattendedStarted);
}

}  // namespace
}  // namespace wizardtest
