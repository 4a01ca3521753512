// The check before a conversion: a fixture with one instance of every finding, read through the
// real MariaDB server and oraemu, and a clean database that gives none.
#include "engine/conversion_check.h"

#include "mysql_test_server.h"
#include "oraemu_test_db.h"
#include "scratch_profile.h"

#include <QHash>

#include <gtest/gtest.h>

using namespace dovrelle;

namespace {

class ConversionCheckTest : public ::testing::Test {
protected:
    const TableCheck& table(const ConversionCheck& check, const QString& mysqlName)
    {
        for (const TableCheck& t : check.tables)
            if (t.mysqlName == mysqlName)
                return t;
        ADD_FAILURE() << "no table " << mysqlName.toStdString();
        static const TableCheck none;
        return none;
    }

    testsupport::ScratchMySqlDatabase mysql{QStringLiteral("t_check")};
    testsupport::ScratchOracleDatabase oracle;
    ConversionProfile profile = testsupport::scratchProfile(mysql, oracle);
};

// One expected finding: its table, kind and object, the rows it counts (-1: a catalog finding)
// and the example keys.
struct Expected {
    QString table;
    QString kind;
    QString object;
    qint64 count;
    QStringList keys;
};

const CheckFinding* findingOf(const TableCheck& table, const QString& kind, const QString& object)
{
    for (const CheckFinding& finding : table.findings)
        if (finding.kind == kind && finding.object == object)
            return &finding;
    return nullptr;
}

QString describe(const ConversionCheck& check)
{
    return checkTextLines(check).join(u'\n');
}

const QString kLongColumnA = QStringLiteral("a_column_name_that_is_longer_than_thirty_characters_a");
const QString kLongColumnB = QStringLiteral("a_column_name_that_is_longer_than_thirty_characters_b");
const QString kLongTable = QStringLiteral("a_table_name_that_is_longer_than_thirty_chars");

TEST_F(ConversionCheckTest, FindsEveryDataAndCatalogFindingWithItsCount)
{
    mysql.execute({
        "SET SESSION sql_mode = ''",
        "CREATE TABLE dates (id INT PRIMARY KEY, d DATE, dt DATETIME)",
        "INSERT INTO dates VALUES (1, '0000-00-00', '2020-01-01'), (2, '2021-05-00', '0000-00-00 00:00:00'),"
        " (3, '2020-01-01', '2020-01-01 10:00:00'), (4, NULL, NULL)",
        // "%1" in a name must stay as it is when the name is put into the check's SQL.
        "CREATE TABLE texts (id INT PRIMARY KEY, a VARCHAR(10) NOT NULL, `b%1` VARCHAR(2000), c VARCHAR(20))",
        "INSERT INTO texts VALUES (1, '', NULL, '\xF0\x9F\x98\x80'), (2, '', NULL, '\xCE\xA9'),"
        " (3, 'x', REPEAT('\xF0\x9F\x98\x80', 1001), ''), (4, 'y', REPEAT('\xC3\xA9', 2000), 'plain')",
        "CREATE TABLE doubles (id INT PRIMARY KEY, x DOUBLE, f FLOAT)",
        "INSERT INTO doubles VALUES (1, 1e200, 1), (2, -1e-200, 2), (3, 0, 3), (4, 1.5, 4), (5, -1e126, 5)",
        "CREATE TABLE types (id INT PRIMARY KEY, t TIME, d DECIMAL(50,2), g POINT, body TEXT)",
        "CREATE TABLE indexed (id INT PRIMARY KEY, a INT, name VARCHAR(200), long1 VARCHAR(1000) CHARACTER SET latin1,"
        " long2 VARCHAR(1000) CHARACTER SET latin1, body TEXT, UNIQUE KEY u_a (a), KEY k_a (a), KEY k_id (id),"
        " KEY k_prefix (name(10)), KEY k_wide (long1, long2), KEY k_body (body(20)))",
        QStringLiteral("CREATE TABLE %1 (id INT, %2 INT, %3 INT)").arg(kLongTable, kLongColumnA, kLongColumnB),
        "CREATE TABLE Mixed (id INT)",
        "CREATE TABLE MIXED (id INT)",
        "CREATE VIEW v_dates AS SELECT id FROM dates",
        "CREATE TRIGGER t_doubles BEFORE INSERT ON doubles FOR EACH ROW SET NEW.f = 1",
        "CREATE PROCEDURE p_nothing() BEGIN END",
        "CREATE EVENT e_nightly ON SCHEDULE EVERY 1 DAY DO DELETE FROM dates WHERE id < 0",
    });
    profile.character_set = QStringLiteral("latin1");
    profile.tables = {"dates", "texts", "doubles", "types", "indexed", kLongTable, "Mixed", "MIXED"};
    const ConversionCheck check = checkConversion(profile);
    const QString text = describe(check);

    const QList<Expected> expected = {
        {"dates", CheckKind::ZeroDates, "column d", 2, {"1", "2"}},
        {"dates", CheckKind::ZeroDates, "column dt", 1, {"2"}},
        {"texts", CheckKind::EmptyStringsNotNull, "column a", 2, {"1", "2"}},
        {"texts", CheckKind::EmptyStrings, "column c", 1, {"3"}},
        {"texts", CheckKind::TooLongForVarchar2, "column b%1", 1, {"3"}},
        {"texts", CheckKind::CharacterSetLoss, "column b%1", 1, {"3"}},
        {"texts", CheckKind::CharacterSetLoss, "column c", 2, {"1", "2"}},
        {"doubles", CheckKind::BeyondNumberRange, "column x", 3, {"1", "2", "5"}},
        {"types", CheckKind::TypeLoss, "column t", -1, {}},
        {"types", CheckKind::TypeLoss, "column d", -1, {}},
        {"types", CheckKind::TypeLoss, "column g", -1, {}},
        {"types", CheckKind::TypeLoss, "column body", -1, {}},
        {"indexed", CheckKind::TypeLoss, "column body", -1, {}},
        {"indexed", CheckKind::RepeatedIndex, "index k_a (a)", -1, {}},
        {"indexed", CheckKind::RepeatedIndex, "index k_id (id)", -1, {}},
        {"indexed", CheckKind::UniqueBecomesPlain, "index u_a (a)", -1, {}},
        {"indexed", CheckKind::PrefixIndex, "index k_prefix (name)", -1, {}},
        {"indexed", CheckKind::PrefixIndex, "index k_body (body)", -1, {}},
        {"indexed", CheckKind::LobInKey, "index k_body (body)", -1, {}},
        {"indexed", CheckKind::KeyTooWide, "index k_wide (long1, long2)", -1, {}},
        {kLongTable, CheckKind::NameSuffixed, "table " + kLongTable, -1, {}},
        {kLongTable, CheckKind::NameCut, "column " + kLongColumnA, -1, {}},
        {kLongTable, CheckKind::NameCut, "column " + kLongColumnB, -1, {}},
        {kLongTable, CheckKind::NameCollision, "column " + kLongColumnB, -1, {}},
        {"MIXED", CheckKind::NameCollision, "table MIXED", -1, {}},
    };
    for (const Expected& e : expected) {
        const CheckFinding* finding = findingOf(table(check, e.table), e.kind, e.object);
        ASSERT_NE(finding, nullptr) << e.kind.toStdString() << " / " << e.object.toStdString() << "\n" << text.toStdString();
        EXPECT_EQ(finding->count, e.count) << e.kind.toStdString() << " / " << e.object.toStdString();
        EXPECT_EQ(finding->exampleKeys, e.keys) << e.kind.toStdString() << " / " << e.object.toStdString();
    }
    // Nothing beyond the expected findings, so a finding that is not there cannot hide.
    int perTable = 0;
    for (const TableCheck& t : check.tables)
        perTable += int(t.findings.size());
    EXPECT_EQ(perTable, int(expected.size())) << text.toStdString();

    EXPECT_EQ(table(check, "texts").rows, 4);
    EXPECT_TRUE(table(check, "texts").rowsCounted);
    // A table without a column a data finding concerns gets no data pass.
    EXPECT_FALSE(table(check, "Mixed").rowsCounted);
    EXPECT_EQ(table(check, kLongTable).oracleName, "A_TABLE_NAME_THAT_IS_LONGE0000");
    EXPECT_EQ(table(check, "MIXED").oracleName, "");

    QStringList others;
    for (const CheckFinding& finding : check.otherObjects)
        others << finding.kind + ": " + finding.object;
    EXPECT_EQ(others, (QStringList{CheckKind::ViewAsTable + ": view v_dates", CheckKind::TriggerNotCarried + ": t_doubles",
                                   CheckKind::RoutineNotCarried + ": p_nothing", CheckKind::EventNotCarried + ": e_nightly"}))
        << text.toStdString();
}

TEST_F(ConversionCheckTest, KeepFullSchemaFindsWhatItWillNotCarry)
{
    mysql.execute({
        "SET SESSION sql_mode = ''",
        "CREATE TABLE parent (id INT PRIMARY KEY)",
        "CREATE TABLE outside (id INT PRIMARY KEY)",
        "CREATE TABLE child (id INT PRIMARY KEY AUTO_INCREMENT, p INT, q INT,"
        " ts TIMESTAMP NOT NULL DEFAULT CURRENT_TIMESTAMP ON UPDATE CURRENT_TIMESTAMP,"
        " dz DATE DEFAULT '0000-00-00', name VARCHAR(10) UNIQUE,"
        " CONSTRAINT fk_parent FOREIGN KEY (p) REFERENCES parent (id) ON UPDATE CASCADE,"
        " CONSTRAINT fk_outside FOREIGN KEY (q) REFERENCES outside (id),"
        " CONSTRAINT small_q CHECK (ABS(q) < 100))",
        "CREATE TABLE counter (n DOUBLE AUTO_INCREMENT PRIMARY KEY)",
    });
    profile.fullschema = true;
    profile.tables = {"parent", "child", "counter"};
    const ConversionCheck check = checkConversion(profile);
    const QString text = describe(check);
    const QList<Expected> expected = {
        {"child", CheckKind::DefaultNotCarried, "column ts", -1, {}},
        {"child", CheckKind::DefaultNotCarried, "column dz", -1, {}},
        {"child", CheckKind::ForeignKeyNotCarried, "foreign key fk_parent", -1, {}},
        {"child", CheckKind::ForeignKeyOutside, "foreign key fk_outside", -1, {}},
        {"child", CheckKind::CheckNotCarried, "check small_q", -1, {}},
        {"counter", CheckKind::NoIdentity, "column n", -1, {}},
    };
    for (const Expected& e : expected)
        EXPECT_NE(findingOf(table(check, e.table), e.kind, e.object), nullptr)
            << e.kind.toStdString() << " / " << e.object.toStdString() << "\n" << text.toStdString();
    int perTable = 0;
    for (const TableCheck& t : check.tables)
        perTable += int(t.findings.size());
    // The unique key stays unique under "Keep full schema": no finding for it.
    EXPECT_EQ(perTable, int(expected.size())) << text.toStdString();
}

TEST_F(ConversionCheckTest, ACleanDatabaseHasNoFinding)
{
    mysql.execute({
        "CREATE TABLE customers (id INT PRIMARY KEY, name VARCHAR(40) NOT NULL, born DATE, score DOUBLE)",
        "INSERT INTO customers VALUES (1, 'Ann', '1990-02-03', 1.5), (2, 'Bo', NULL, NULL)",
        "CREATE TABLE orders (id INT PRIMARY KEY, customer INT, total DECIMAL(10,2), KEY by_customer (customer))",
        "INSERT INTO orders VALUES (10, 1, 9.50)",
    });
    profile.tables = {"customers", "orders"};
    const ConversionCheck check = checkConversion(profile);
    EXPECT_EQ(check.findingCount(), 0) << describe(check).toStdString();
    EXPECT_EQ(table(check, "customers").rows, 2);
    EXPECT_EQ(table(check, "customers").oracleName, "CUSTOMERS");
}

}  // namespace
