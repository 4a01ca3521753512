// Keys and indexes: MySQL's index listing on the real test server, statements run on oraemu.
#include "engine/index_statement.h"
#include "engine/index_translation.h"
#include "engine/logged_step.h"
#include "engine/run_log.h"

#include "db/error.h"
#include "db/mysql_connection.h"
#include "db/oracle_connection.h"

#include "mysql_test_server.h"
#include "oraemu_test_db.h"

#include <gtest/gtest.h>

#include <memory>

using namespace dovrelle;
using testsupport::ScratchMySqlDatabase;
using testsupport::ScratchOracleDatabase;

namespace {

// One MySQL scratch database and one oraemu schema, with the data connection and the
// connection of oracledata open on them.
class IndexTranslation : public ::testing::Test {
protected:
    void SetUp() override
    {
        data.setParameters(testsupport::mysqlParameters(mysql.name()));
        data.open();
        oracleData.setParameters(
            OracleConnection::standardParameters(oracle.service(), oracle.user(), oracle.password()));
        oracleData.open();
    }

    // True when every statement succeeded; each failure is in the log.
    bool run(const QString& mysqlName, const QString& oracleName, bool upperCase = true)
    {
        LoggedStep step(log, -1);
        createIndexes(data, oracleData, mysqlName, oracleName, upperCase, step);
        return !step.failed();
    }

    // Index names of the Oracle table, each with its columns in position order: "NAME(C1,C2)".
    QStringList indexesOf(const QString& oracleTable) const
    {
        const QStringList rows = oracle.rows(
            QStringLiteral("select index_name, column_name from user_ind_columns where table_name "
                           "= '%1' order by index_name, column_position").arg(oracleTable));
        QStringList indexes;
        QString current;
        QStringList columns;
        for (const QString& row : rows) {
            const QStringList fields = row.split(u'\t');
            if (fields.value(0) != current && !current.isEmpty()) {
                indexes.append(current + u'(' + columns.join(u',') + u')');
                columns.clear();
            }
            current = fields.value(0);
            columns.append(fields.value(1));
        }
        if (!current.isEmpty())
            indexes.append(current + u'(' + columns.join(u',') + u')');
        return indexes;
    }

    QStringList primaryKeysOf(const QString& oracleTable) const
    {
        return oracle.rows(QStringLiteral("select constraint_name from user_constraints where "
                                          "table_name = '%1' and constraint_type = 'P'")
                               .arg(oracleTable));
    }

    ScratchMySqlDatabase mysql{QStringLiteral("idx")};
    ScratchOracleDatabase oracle;
    MySqlConnection data;
    OracleConnection oracleData;
    RunLog log;
};

TEST_F(IndexTranslation, TableWithoutIndexesSendsNothingAndLogsNothing)
{
    mysql.execute({QStringLiteral("create table plain (a int, b varchar(10))")});
    oracle.sql(QStringLiteral("create table \"PLAIN\" (\"A\" number, \"B\" varchar2(10))"));

    const bool created = run(QStringLiteral("plain"), QStringLiteral("PLAIN"));

    EXPECT_TRUE(created);
    EXPECT_EQ(log.lineCount(), 0);
    EXPECT_TRUE(indexesOf(QStringLiteral("PLAIN")).isEmpty());
}

TEST_F(IndexTranslation, KeyAndMultiColumnIndexGetTheNamesOracleWouldGiveThem)
{
    mysql.execute({QStringLiteral("create table orders (id int primary key, customer_id int, "
                                  "created datetime, note text, key cust (customer_id, created))")});
    oracle.sql(QStringLiteral("create table \"ORDERS\" (\"ID\"  number, \"CUSTOMER_ID\"  number, "
                              "\"CREATED\"  date, \"NOTE\" BLOB)"));

    const bool created = run(QStringLiteral("orders"), QStringLiteral("ORDERS"));

    EXPECT_TRUE(created) << log.lines().join(u'\n').toStdString();
    EXPECT_EQ(log.lineCount(), 0);
    EXPECT_EQ(primaryKeysOf(QStringLiteral("ORDERS")), QStringList{QStringLiteral("PRIMARYORDERS1")});
    EXPECT_EQ(indexesOf(QStringLiteral("ORDERS")),
              (QStringList{QStringLiteral("IDX_CUSTORDERS(CUSTOMER_ID,CREATED)"),
                           QStringLiteral("PRIMARYORDERS1(ID)")}));
}

TEST_F(IndexTranslation, ThreeColumnIndexListsItsColumnsInOrder)
{
    mysql.execute({QStringLiteral("create table t3 (first int, second int, third int, "
                                  "key trio (first, second, third))")});
    oracle.sql(QStringLiteral("create table \"T3\" (\"FIRST\" number, \"SECOND\" number, \"THIRD\" number)"));

    EXPECT_TRUE(run(QStringLiteral("t3"), QStringLiteral("T3")));

    EXPECT_EQ(indexesOf(QStringLiteral("T3")),
              QStringList{QStringLiteral("IDX_TRIOT3(FIRST,SECOND,THIRD)")});
}

// The Oracle table lacks the columns some indexes need, so their statements fail; every other
// statement still runs, and each failure leaves its message and a line of one blank.
TEST_F(IndexTranslation, FailingStatementsAreLoggedAndTheRestStillRun)
{
    struct Case {
        const char* name;
        QString oracleColumns;      // the Oracle table's columns
        QStringList expectedIndexes;
        int failures;
    };
    const Case cases[] = {
        {"second of three fails", QStringLiteral("\"ID\" number, \"B\" number"),
         {QStringLiteral("IDX_IBMIX(B)"), QStringLiteral("PRIMARYMIX1(ID)")}, 1},
        {"second and third fail", QStringLiteral("\"ID\" number"),
         {QStringLiteral("PRIMARYMIX1(ID)")}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mysql.execute({QStringLiteral("drop table if exists mix"),
                       QStringLiteral("create table mix (id int primary key, a int, b int, "
                                      "key ia (a), key ib (b))")});
        oracle.sql(QStringLiteral("create table \"MIX\" (%1)").arg(c.oracleColumns));
        log.clear();

        const bool created = run(QStringLiteral("mix"), QStringLiteral("MIX"));

        EXPECT_FALSE(created);
        EXPECT_EQ(indexesOf(QStringLiteral("MIX")), c.expectedIndexes);
        ASSERT_EQ(log.lineCount(), 2 * c.failures);
        for (int i = 0; i < c.failures; ++i) {
            EXPECT_FALSE(log.lines()[2 * i].trimmed().isEmpty());
            EXPECT_EQ(log.lines()[2 * i + 1], QStringLiteral(" "));
        }
        oracle.sql(QStringLiteral("drop table \"MIX\""));
    }
}

TEST_F(IndexTranslation, UniqueIndexBecomesAPlainIndex)
{
    mysql.execute({QStringLiteral("create table u (code varchar(10), unique key ucode (code))")});
    oracle.sql(QStringLiteral("create table \"U\" (\"CODE\" varchar2(10))"));

    EXPECT_TRUE(run(QStringLiteral("u"), QStringLiteral("U")));

    EXPECT_EQ(indexesOf(QStringLiteral("U")), QStringList{QStringLiteral("IDX_UCODEU(CODE)")});
    // A plain index lets the same value in twice.
    oracle.sql(QStringLiteral("insert into \"U\" values ('x')"));
    EXPECT_NO_THROW(oracle.sql(QStringLiteral("insert into \"U\" values ('x')")));
}

// A name over 30 characters: the constraint and index names are cut, the statements name the
// Oracle table the run chose, and long or reserved column names get the CREATE TABLE treatment.
TEST_F(IndexTranslation, LongAndReservedNames)
{
    const QString longTable = QStringLiteral("customer_addresses_by_region_and_year");  // 37
    const QString longColumn = QStringLiteral("postal_code_of_the_delivery_address");   // 35
    mysql.execute({QStringLiteral("create table %1 (id int, `date` date, %2 varchar(10), "
                                  "primary key (id, `date`), key k (%2))")
                       .arg(longTable, longColumn)});
    const QString oracleTable = QStringLiteral("CUSTOMER_ADDRESSES_BY_REGI0000");
    oracle.sql(QStringLiteral("create table \"%1\" (\"ID\" number, \"DATE\" date, \"%2\" varchar2(10))")
                   .arg(oracleTable, longColumn.left(30).toUpper()));

    const bool created = run(longTable, oracleTable);

    EXPECT_TRUE(created) << log.lines().join(u'\n').toStdString();
    EXPECT_EQ(primaryKeysOf(oracleTable),
              QStringList{QStringLiteral("PRIMARYCUSTOMER_ADDRESSES_BY_R")});
    EXPECT_EQ(indexesOf(oracleTable),
              (QStringList{QStringLiteral("IDX_KCUSTOMER_ADDRESSES_BY_REG(%1)")
                               .arg(longColumn.left(30).toUpper()),
                           QStringLiteral("PRIMARYCUSTOMER_ADDRESSES_BY_R(ID,DATE)")}));
}

// With "Make names uppercase" clear the tables and columns keep their lower-case names, and
// still get their keys.
TEST_F(IndexTranslation, LowerCaseNamesWithTheOptionClear)
{
    mysql.execute({QStringLiteral("create table orders (id int primary key, customer_id int, "
                                  "created datetime, key cust (customer_id, created))")});
    oracle.sql(QStringLiteral("create table \"orders\" (\"id\"  number, \"customer_id\"  number, "
                              "\"created\"  date)"));

    const bool created = run(QStringLiteral("orders"), QStringLiteral("orders"), false);

    EXPECT_TRUE(created) << log.lines().join(u'\n').toStdString();
    EXPECT_EQ(log.lineCount(), 0);
    EXPECT_EQ(primaryKeysOf(QStringLiteral("orders")), QStringList{QStringLiteral("PRIMARYORDERS1")});
    EXPECT_EQ(indexesOf(QStringLiteral("orders")),
              (QStringList{QStringLiteral("IDX_CUSTORDERS(customer_id,created)"),
                           QStringLiteral("PRIMARYORDERS1(id)")}));
}

TEST_F(IndexTranslation, MixedCaseMySqlTableIsListedByItsOwnName)
{
    mysql.execute({QStringLiteral("create table `Order Lines` (id int primary key)")});
    oracle.sql(QStringLiteral("create table \"ORDER LINES\" (\"ID\" number)"));

    EXPECT_TRUE(run(QStringLiteral("Order Lines"), QStringLiteral("ORDER LINES")));

    EXPECT_EQ(primaryKeysOf(QStringLiteral("ORDER LINES")),
              QStringList{QStringLiteral("PRIMARYORDER LINES1")});
}

TEST_F(IndexTranslation, ListingOfAnUnknownTableThrows)
{
    EXPECT_THROW(run(QStringLiteral("no_such_table"), QStringLiteral("NO_SUCH_TABLE")), Error);
    EXPECT_EQ(log.lineCount(), 0);
}

TEST(IndexStatement, FirstColumnOfIndexWhetherNumberOrText)
{
    struct Case {
        Value seq;
        bool first;
    };
    const Case cases[] = {
        {Value::fromInt(1), true},         {Value::fromInt(2), false},
        {Value::fromUInt(1), true},        {Value::fromUInt(11), false},
        {Value::fromText(QStringLiteral("1")), true},
        {Value::fromText(QStringLiteral("2")), false},
        {Value::fromText(QStringLiteral("10")), false},
        {Value::fromDecimal(QStringLiteral("1")), true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isFirstColumnOfIndex(c.seq), c.first) << c.seq.toText().toStdString();
}

TEST(IndexStatement, TextsQuoteEveryName)
{
    IndexStatement key = IndexStatement::primaryKey(QStringLiteral("ORDERS"),
                                                    primaryKeyName(QStringLiteral("orders"), 1),
                                                    indexColumnName(QStringLiteral("id"), true));
    EXPECT_EQ(key.text(),
              QStringLiteral("alter table \"ORDERS\"  add constraint \"PRIMARYORDERS1\" primary key (\"ID\")"));

    IndexStatement index = IndexStatement::index(
        indexName(QStringLiteral("cust"), QStringLiteral("orders"), false), QStringLiteral("orders"),
        indexColumnName(QStringLiteral("customer_id"), false));
    index.addColumn(indexColumnName(QStringLiteral("created"), false));
    EXPECT_EQ(index.text(), QStringLiteral("create index \"IDX_CUSTORDERS\" on \"orders\" "
                                           "(\"customer_id\",\"created\")"));

    IndexStatement quoted = IndexStatement::index(QStringLiteral("IDX_A"), QStringLiteral("T"),
                                                  QStringLiteral("a\"b"));
    EXPECT_THROW(quoted.text(), Error);
}

}  // namespace

// Oracle has no prefix indexes and a key limit of 6398 bytes: a MySQL prefix index becomes an
// index on the whole columns, which Oracle refuses when their widths pass the limit (or when a
// column is a LOB). That index gets one line naming it and its prefixes; the others are built.
TEST_F(IndexTranslation, PrefixIndexesAndTooLongKeysAreReportedByName)
{
    mysql.execute({QStringLiteral("create table p (id int, a varchar(2000), b varchar(2000), "
                                  "c varchar(255), t text, wide varchar(1000) character set latin1, "
                                  "wider varchar(1000) character set latin1, "
                                  "key ab (a(191), b(191)), key cid (c(10), id), key tp (t(20)), "
                                  "key ww (wide, wider))")});
    oracle.sql(QStringLiteral("create table \"P\" (\"ID\" number, \"A\" varchar2(2000 char), "
                              "\"B\" varchar2(2000 char), \"C\" varchar2(255 char), \"T\" clob, "
                              "\"WIDE\" varchar2(1000 char), \"WIDER\" varchar2(1000 char))"));

    const bool created = run(QStringLiteral("p"), QStringLiteral("P"));

    EXPECT_FALSE(created);
    EXPECT_EQ(log.lines(),
              (QStringList{
                  "Index IDX_ABP on P (A, B) was not created: MySQL indexes only the start of A(191), "
                  "B(191), Oracle would index the whole columns: ORA-01450: maximum key length (6398) exceeded",
                  " ",
                  "Index IDX_TPP on P (T) was not created: MySQL indexes only the start of T(20), Oracle "
                  "would index the whole columns: ORA-02327: cannot create index on expression with datatype LOB",
                  " ",
                  "Index IDX_WWP on P (WIDE, WIDER) was not created: ORA-01450: maximum key length (6398) exceeded",
                  " ",
              }));
    EXPECT_EQ(indexesOf(QStringLiteral("P")), QStringList{QStringLiteral("IDX_CIDP(C,ID)")});
}
