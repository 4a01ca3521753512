// Page 5: the four moves, the double clicks, the sort rule and the state of Next.
#include "wizard_fixture.h"

#include "db/mysql_connection.h"
#include "db/mysql_query.h"
#include "mysql_test_server.h"
#include "oraemu_test_db.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <algorithm>

namespace wizardtest {
namespace {

class TableMoves : public WizardTest {
protected:
    void SetUp() override
    {
        WizardTest::SetUp();
        // Capitals sort before small letters on the server, not in the list's alphabetical order.
        mysql.execute({"create table Zulu (id int)", "create table alpha (id int)",
                       "create table Mike (id int)", "create table charlie (id int)",
                       "create table bravo (id int)"});
        serverOrder = showTables();
        sorted = serverOrder;
        std::stable_sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
            return QString::compare(a, b, Qt::CaseInsensitive) < 0;
        });
        ASSERT_NE(serverOrder, sorted) << "the fixture needs an order that sorting changes";
        walkToPage5(mysql.name(), oracle);
    }

    QStringList showTables() const
    {
        dovrelle::MySqlConnection connection;
        connection.setParameters(testsupport::mysqlParameters(mysql.name()));
        connection.open();
        dovrelle::MySqlQuery query(connection);
        QStringList names;
        for (query.open("show tables"); !query.atEnd(); query.next())
            names.append(query.textAt(0));
        return names;
    }

    void click(const char* button) { control<QPushButton>(button)->click(); }

    void doubleClick(const char* listName, const QString& entry, Qt::KeyboardModifiers keys = {})
    {
        auto* list = control<QListWidget>(listName);
        const auto found = list->findItems(entry, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        list->doItemsLayout();
        ASSERT_TRUE(list->visualItemRect(found.first()).isValid());
        // What the platform delivers for a double click: press, release, double click.
        const QPoint at = list->visualItemRect(found.first()).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, keys, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, keys, at);
    }

    bool nextEnabled() const { return control<QPushButton>("btnext")->isEnabled(); }

    testsupport::ScratchMySqlDatabase mysql{"t_wizard_moves"};
    testsupport::ScratchOracleDatabase oracle;
    QStringList serverOrder;
    QStringList sorted;
};

TEST_F(TableMoves, AddMovesTheSelectedEntriesInListOrderAndNextFollowsTheChosenList)
{
    EXPECT_EQ(entries("availabletables"), serverOrder);
    EXPECT_FALSE(nextEnabled());

    click("Button1");  // nothing selected: nothing moves
    EXPECT_EQ(entries("availabletables"), serverOrder);
    EXPECT_TRUE(entries("selecttables").isEmpty());
    EXPECT_FALSE(nextEnabled());

    const QStringList firstThirdFifth = {serverOrder[0], serverOrder[2], serverOrder[4]};
    select("availabletables", {serverOrder[4], serverOrder[0], serverOrder[2]});
    click("Button1");
    EXPECT_EQ(entries("selecttables"), firstThirdFifth);
    EXPECT_EQ(entries("availabletables"), QStringList({serverOrder[1], serverOrder[3]}));
    EXPECT_TRUE(nextEnabled());

    click("Button2");  // Add all: appended after the ones chosen before
    EXPECT_EQ(entries("selecttables"), firstThirdFifth + QStringList({serverOrder[1], serverOrder[3]}));
    EXPECT_TRUE(entries("availabletables").isEmpty());

    click("Button4");  // Remove all: back, sorted alphabetically
    EXPECT_EQ(entries("availabletables"), sorted);
    EXPECT_TRUE(entries("selecttables").isEmpty());
    EXPECT_FALSE(nextEnabled());
}

TEST_F(TableMoves, TheFirstRemovalSortsTheAvailableListForGoodAcrossBackAndANewListing)
{
    moveToChosen({serverOrder[0], serverOrder[1]});
    EXPECT_EQ(entries("availabletables"), serverOrder.mid(2));  // still in server order

    select("selecttables", {serverOrder[1]});
    click("Button3");
    EXPECT_EQ(entries("selecttables"), QStringList{serverOrder[0]});
    QStringList expected = serverOrder.mid(1);
    std::stable_sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    EXPECT_EQ(entries("availabletables"), expected);
    EXPECT_TRUE(window->availableTablesSorted());

    // Back empties both lists; a new listing puts every name in its alphabetical place.
    clickBack();
    EXPECT_EQ(window->currentStep(), 4);
    EXPECT_TRUE(entries("availabletables").isEmpty());
    EXPECT_TRUE(entries("selecttables").isEmpty());
    clickNext();
    ASSERT_EQ(window->currentStep(), 5);
    EXPECT_EQ(entries("availabletables"), sorted);
    EXPECT_TRUE(entries("selecttables").isEmpty());
    EXPECT_FALSE(nextEnabled());
}

TEST_F(TableMoves, DoubleClicksMoveTheSelectedEntriesWithTheClickedOne)
{
    doubleClick("availabletables", serverOrder[3]);
    EXPECT_EQ(entries("selecttables"), QStringList{serverOrder[3]});
    EXPECT_TRUE(nextEnabled());

    // Shift extends the selection from the caret to the clicked entry.
    auto* available = control<QListWidget>("availabletables");
    available->setCurrentRow(0);
    doubleClick("availabletables", available->item(2)->text(), Qt::ShiftModifier);
    EXPECT_EQ(entries("selecttables"), QStringList{serverOrder[3]} + serverOrder.mid(0, 3));

    doubleClick("selecttables", serverOrder[3]);
    EXPECT_EQ(entries("selecttables"), serverOrder.mid(0, 3));
    EXPECT_TRUE(entries("availabletables").contains(serverOrder[3]));
    EXPECT_TRUE(window->availableTablesSorted());
}

}  // namespace
}  // namespace wizardtest
