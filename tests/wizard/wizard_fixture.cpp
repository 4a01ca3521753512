#include "wizard_fixture.h"

#include "mysql_test_server.h"
#include "oraemu_test_db.h"
#include "wizard/radio_group.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>

using dovrelle::MessageSeam;

namespace wizardtest {

void ScriptedSeam::showError(QWidget*, const QString& message)
{
    errors.append(dovrelle::errorBoxText(message));
}

MessageSeam::Answer ScriptedSeam::ask(QWidget*, const QString& caption, const QString& text)
{
    questions.append(caption + QStringLiteral(": ") + text);
    if (whileAsking)
        whileAsking();
    return answers.isEmpty() ? Answer::No : answers.takeFirst();
}

void ScriptedSeam::notify(QWidget*, const QString& text)
{
    notices.append(text);
}

void ScriptedSeam::warn(QWidget*, const QString& text)
{
    warnings.append(text);
}

void PrintTo(const Frame& f, std::ostream* out)
{
    *out << "{page " << f.page << ", step " << f.step << ", bold Label" << f.boldLabel
         << ", back " << f.backEnabled << ", next '" << f.nextCaption.toStdString() << "' "
         << f.nextEnabled << ", close '" << f.closeCaption.toStdString() << "' " << f.closeEnabled
         << ", help " << f.helpEnabled << "}";
}

void WizardTest::SetUp()
{
    window = std::make_unique<dovrelle::ConversionWizard>();
    auto scripted = std::make_unique<ScriptedSeam>();
    seam = scripted.get();
    window->setMessageSeam(std::move(scripted));
    window->openUrl = [this](const QUrl& url) {
        openedUrls.append(url);
        return true;
    };
    window->start({QStringLiteral("dovrelle")});
    window->show();
}

void WizardTest::TearDown()
{
    window.reset();
}

Frame WizardTest::frame() const
{
    Frame f;
    f.page = control<QStackedWidget>("pg")->currentIndex() + 1;
    f.step = window->currentStep();
    for (int i = 1; i <= 6; ++i) {
        if (control<QLabel>(QByteArray("Label" + QByteArray::number(i)).constData())->font().bold())
            f.boldLabel = f.boldLabel == 0 ? i : -1;  // -1: more than one bold label
    }
    const auto* back = control<QPushButton>("btback");
    const auto* next = control<QPushButton>("btnext");
    const auto* close = control<QPushButton>("btcancel");
    f.backEnabled = back->isEnabled();
    f.nextCaption = next->text();
    f.nextEnabled = next->isEnabled();
    f.closeCaption = close->text();
    f.closeEnabled = close->isEnabled();
    f.helpEnabled = control<QPushButton>("bthelp")->isEnabled();
    return f;
}

void WizardTest::clickNext()
{
    control<QPushButton>("btnext")->click();
}

void WizardTest::clickBack()
{
    control<QPushButton>("btback")->click();
}

void WizardTest::clickClose()
{
    control<QPushButton>("btcancel")->click();
}

void WizardTest::fillMySql(const QString& database)
{
    const testsupport::MySqlTestServer& server = testsupport::mysqlServer();
    control<dovrelle::RadioGroup>("accessmode")->setItemIndex(1);
    control<QLineEdit>("edthost")->setText(server.host);
    control<QLineEdit>("edtport")->setText(server.port);
    control<QLineEdit>("edtname")->setText(server.user);
    control<QLineEdit>("edtpassword")->setText(server.password);
    control<QLineEdit>("edtdatabase")->setText(database);
}

void WizardTest::fillOracle(const testsupport::ScratchOracleDatabase& oracle)
{
    control<QLineEdit>("edtservice")->setText(oracle.service());
    control<QLineEdit>("edtoracleusername")->setText(oracle.user());
    control<QLineEdit>("edtoraclepassword")->setText(oracle.password());
}

void WizardTest::walkToPage5(const QString& database, const testsupport::ScratchOracleDatabase& oracle)
{
    fillMySql(database);
    fillOracle(oracle);
    for (int step = 1; step < 5; ++step)
        clickNext();
    ASSERT_EQ(window->currentStep(), 5) << seam->errors.join(u'\n').toStdString();
}

QStringList WizardTest::entries(const char* listName) const
{
    const auto* list = control<QListWidget>(listName);
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

void WizardTest::select(const char* listName, const QStringList& names)
{
    auto* list = control<QListWidget>(listName);
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setSelected(names.contains(list->item(i)->text()));
}

void WizardTest::moveToChosen(const QStringList& names)
{
    select("availabletables", names);
    control<QPushButton>("Button1")->click();
}

}  // namespace wizardtest
