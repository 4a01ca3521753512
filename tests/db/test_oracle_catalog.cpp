#include "db/oracle_catalog.h"
#include "db/error.h"
#include "db/oracle_connection.h"
#include "test_oracle_support.h"

#include <gtest/gtest.h>

using namespace dovrelle;
using oracletest::contains;
using oracletest::OracleTest;
using oracletest::startsWith;

TEST_F(OracleTest, TableExistsComparesTheNameExactly)
{
    connection.execute("create table \"Mixed\" (n number)");
    connection.execute("create table PLAIN (n number)");
    struct Case {
        QString name;
        bool exists;
    };
    const Case cases[] = {
        {"Mixed", true}, {"MIXED", false}, {"mixed", false}, {"PLAIN", true}, {"plain", false},
        {"O'Brien", false}, {"x' or '1'='1", false}, {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tableExists(connection, c.name, db.user()), c.exists) << c.name.toStdString();
}

TEST_F(OracleTest, TableExistsUpperCasesTheUserAToZOnly)
{
    connection.execute("create table T (n number)");
    EXPECT_TRUE(tableExists(connection, "T", db.user().toLower()));
    EXPECT_FALSE(tableExists(connection, "T", "someone else"));
    EXPECT_FALSE(tableExists(connection, "T", "sc'ott"));
}

namespace {

// The message dropTable throws, empty when it succeeds.
QString dropFailure(OracleConnection& connection, const QString& name)
{
    try {
        dropTable(connection, name);
    } catch (const Error& e) {
        return e.message();
    }
    return {};
}

}  // namespace

TEST_F(OracleTest, DropTableReportsSuccessAndOraclesMessage)
{
    connection.execute("create table \"Drop Me\" (n number)");
    EXPECT_EQ(dropFailure(connection, "Drop Me"), QString());
    EXPECT_FALSE(tableExists(connection, "Drop Me", db.user()));

    EXPECT_TRUE(startsWith(dropFailure(connection, "Drop Me"), "ORA-00942: table or view does not exist"));
}

TEST_F(OracleTest, DropTableRefusesANameWithADoubleQuote)
{
    connection.execute("create table X (n number)");
    const QString failure = dropFailure(connection, "X\" cascade constraints --");
    EXPECT_TRUE(contains(failure, "X\" cascade constraints --"));
    EXPECT_TRUE(contains(failure, "double quote"));
    EXPECT_TRUE(tableExists(connection, "X", db.user()));
}
