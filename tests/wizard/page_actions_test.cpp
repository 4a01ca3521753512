// Pages 2 to 4 against the real servers: failures leave the frame alone, lists are filled.
#include "wizard_fixture.h"

#include "db/mysql_connection.h"
#include "mysql_test_server.h"
#include "db/oracle_connection.h"
#include "oraemu_test_db.h"
#include "wizard/radio_group.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

namespace wizardtest {
namespace {

using testsupport::ScratchMySqlDatabase;
using testsupport::ScratchOracleDatabase;

class PageActions : public WizardTest {
protected:
    ScratchMySqlDatabase mysql{"t_wizard"};
    ScratchOracleDatabase oracle;

    // The frame before and after one Next that has to fail with `message`.
    void expectNextFails(const QString& message)
    {
        const Frame before = frame();
        seam->errors.clear();
        clickNext();
        EXPECT_EQ(frame(), before);
        EXPECT_EQ(seam->errors.size(), 1);
        EXPECT_TRUE(seam->errors.value(0).contains(message))
            << seam->errors.join(" | ").toStdString();
    }
};

TEST_F(PageActions, FailingActionsLeavePageButtonsAndBoldLabelAsTheyWere)
{
    fillMySql(mysql.name());
    fillOracle(oracle);
    clickNext();

    // Page 2: refused password, then a database the server does not know.
    control<QLineEdit>("edtpassword")->setText("wrong");
    expectNextFails("Access denied");
    control<QLineEdit>("edtpassword")->setText(testsupport::mysqlServer().password);
    control<QLineEdit>("edtdatabase")->setText(mysql.name() + "_missing");
    expectNextFails("Unknown database");
    control<QLineEdit>("edtdatabase")->setText(mysql.name());
    clickNext();
    ASSERT_EQ(window->currentStep(), 3);

    // Page 3: a refused Oracle logon.
    control<QLineEdit>("edtoraclepassword")->setText("wrong");
    expectNextFails("ORA-01017");
    fillOracle(oracle);
    clickNext();
    ASSERT_EQ(window->currentStep(), 4);

    // Page 4: no database chosen in the list; the catalog connection stays closed.
    control<QListWidget>("mysqldblist")->clearSelection();
    expectNextFails("List index out of bounds (-1)");
    EXPECT_FALSE(window->catalogConnection().isOpen());
}

// The error box never shows either password: where the server's message repeats a text that is
// one of them (a user name or a database name holding it), the box shows "***" instead.
TEST_F(PageActions, ErrorBoxMasksBothPasswordsInTheServersMessage)
{
    const QString mysqlPassword = QStringLiteral("MyPw7x");
    const QString oraclePassword = QStringLiteral("OraPw9z");
    fillMySql(mysql.name());
    fillOracle(oracle);
    control<QLineEdit>("edtoraclepassword")->setText(oraclePassword);
    clickNext();
    ASSERT_EQ(window->currentStep(), 2);

    const struct {
        QString user, password, database, expected;
    } cases[] = {
        {"u_" + mysqlPassword + "_" + oraclePassword, mysqlPassword, mysql.name(),
         "Access denied for user 'u_***_***'"},
        {testsupport::mysqlServer().user, testsupport::mysqlServer().password, "no_" + oraclePassword,
         "Unknown database 'no_***'"},
    };
    for (const auto& c : cases) {
        control<QLineEdit>("edtname")->setText(c.user);
        control<QLineEdit>("edtpassword")->setText(c.password);
        control<QLineEdit>("edtdatabase")->setText(c.database);
        expectNextFails(c.expected);
        const QString box = seam->errors.value(0);
        EXPECT_FALSE(box.contains(mysqlPassword)) << box.toStdString();
        EXPECT_FALSE(box.contains(oraclePassword)) << box.toStdString();
        EXPECT_FALSE(box.contains(testsupport::mysqlServer().password)) << box.toStdString();
    }
}

TEST_F(PageActions, EachPageShowsItsFrameForwardAndBack)
{
    const auto pageFrame = [](int page, bool back, bool next) {
        return Frame{page, page, page, back, "Next >", next, "Close", true, true};
    };
    const QList<Frame> frames = {pageFrame(1, false, true), pageFrame(2, true, true),
                                 pageFrame(3, true, true), pageFrame(4, true, true),
                                 pageFrame(5, true, false)};  // page 5: no table chosen yet
    const char* const focused[] = {nullptr, "edtdatabase", "edtservice", "mysqldblist",
                                   "availabletables"};
    fillMySql(mysql.name());
    fillOracle(oracle);
    for (int page = 1; page <= 5; ++page) {
        EXPECT_EQ(frame(), frames[page - 1]);
        if (focused[page - 1]) {
            EXPECT_EQ(window->focusWidget(), control<QWidget>(focused[page - 1])) << page;
        }
        if (page < 5)
            clickNext();
    }
    for (int page = 4; page >= 1; --page) {
        clickBack();
        EXPECT_EQ(frame(), frames[page - 1]);
    }
    EXPECT_TRUE(seam->errors.isEmpty()) << seam->errors.join(" | ").toStdString();
}

TEST_F(PageActions, BlankDatabaseNameAsksForOneAndStaysOnPage2)
{
    for (const QString& typed : {QString(), QStringLiteral("   ")}) {
        fillMySql(typed);
        clickNext();
        const Frame before = frame();
        clickNext();
        EXPECT_EQ(frame(), before);
        EXPECT_EQ(seam->notices, QStringList{"Please enter database name"});
        EXPECT_TRUE(seam->errors.isEmpty());
        EXPECT_EQ(window->focusWidget(), control<QLineEdit>("edtdatabase"));
        EXPECT_FALSE(window->catalogConnection().isOpen());
        clickBack();
        seam->notices.clear();
    }
}

TEST_F(PageActions, DatabaseListPreselectsTheTypedNameAndKeepsServerOrder)
{
    // Two databases equal apart from the case of a to z: the server accepted the typed name as
    // the default database, so the entry spelt exactly so is chosen, wherever the other one stands.
    const QString upper = mysql.name() + "_AB";
    const QString lower = mysql.name() + "_ab";
    testsupport::mysqlExecute({"create database `" + upper + "`", "create database `" + lower + "`"});
    fillMySql(upper);
    clickNext();
    clickNext();
    testsupport::mysqlExecute({"drop database `" + upper + "`", "drop database `" + lower + "`"});
    ASSERT_EQ(window->currentStep(), 3) << seam->errors.join(" | ").toStdString();

    const QStringList listed = entries("mysqldblist");
    const int upperAt = listed.indexOf(upper);
    const int lowerAt = listed.indexOf(lower);
    ASSERT_GE(upperAt, 0);
    ASSERT_GE(lowerAt, 0);
    const auto selected = control<QListWidget>("mysqldblist")->selectedItems();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.first()->text(), upper);
    EXPECT_TRUE(listed.contains(mysql.name()));
    EXPECT_TRUE(listed.contains("mysql"));
    EXPECT_TRUE(window->catalogConnection().isOpen());
}

TEST_F(PageActions, Page4ListsTheTablesOfTheChosenDatabaseWithTheCaretOnTheFirst)
{
    mysql.execute({"create table zeta (id int)", "create table alpha (id int)"});
    walkToPage5(mysql.name(), oracle);
    EXPECT_EQ(entries("availabletables"), (QStringList{"alpha", "zeta"}));
    EXPECT_TRUE(entries("selecttables").isEmpty());
    auto* available = control<QListWidget>("availabletables");
    EXPECT_EQ(available->currentRow(), 0);
    EXPECT_TRUE(available->selectedItems().isEmpty());
    EXPECT_EQ(window->focusWidget(), available);
    EXPECT_EQ(window->catalogConnection().parameters().value("Database"), mysql.name());
}

TEST_F(PageActions, Page3OpensBothOracleConnectionsAgainWithNewValues)
{
    ScratchOracleDatabase other("OTHER", "secret");
    walkToPage5(mysql.name(), oracle);
    EXPECT_TRUE(window->oracleConnection().isOpen());
    EXPECT_TRUE(window->oracleDataConnection().isOpen());

    clickBack();
    clickBack();
    fillOracle(other);
    clickNext();
    ASSERT_EQ(window->currentStep(), 4);
    for (dovrelle::OracleConnection* connection :
         {&window->oracleConnection(), &window->oracleDataConnection()}) {
        EXPECT_TRUE(connection->isOpen());
        EXPECT_EQ(connection->parameters().value("Database"), other.service());
        EXPECT_EQ(connection->parameters().value("User_Name"), "OTHER");
    }
}

TEST_F(PageActions, AccessModeSwitchesTheHostFieldAndItsColour)
{
    auto* accessmode = control<dovrelle::RadioGroup>("accessmode");
    auto* host = control<QLineEdit>("edthost");
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    const QColor windowBackground = QApplication::palette().color(QPalette::Base);
    EXPECT_FALSE(host->isEnabled());
    for (int round = 0; round < 2; ++round) {
        accessmode->button(1)->click();
        EXPECT_TRUE(host->isEnabled());
        EXPECT_EQ(host->palette().color(QPalette::Base), windowBackground);
        accessmode->button(0)->click();
        EXPECT_FALSE(host->isEnabled());
        EXPECT_EQ(host->palette().color(QPalette::Base), buttonFace);
        EXPECT_TRUE(control<QLineEdit>("edtport")->isEnabled());
    }
    accessmode->setItemIndex(7);  // a loaded value beyond the last entry chooses Remote
    EXPECT_EQ(accessmode->itemIndex(), 1);
    EXPECT_TRUE(host->isEnabled());
    accessmode->setItemIndex(-5);
    EXPECT_EQ(accessmode->itemIndex(), -1);
}

}  // namespace
}  // namespace wizardtest
