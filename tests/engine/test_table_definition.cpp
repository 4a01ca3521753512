// The table definition from a real MariaDB field list, executed on oraemu.
#include "test_run_printing.h"
#include "engine/table_definition.h"

#include "db/error.h"
#include "db/mysql_connection.h"
#include "db/oracle_connection.h"

#include "mysql_test_server.h"
#include "oraemu_test_db.h"

#include <gtest/gtest.h>

using namespace dovrelle;
using testsupport::ScratchMySqlDatabase;
using testsupport::ScratchOracleDatabase;

namespace {

class TableDefinition : public ::testing::Test {
protected:
    void SetUp() override
    {
        catalog.setParameters(testsupport::mysqlParameters(mysql.name()));
        catalog.open();
        oracleConnection.setParameters(
            OracleConnection::standardParameters(oracle.service(), oracle.user(), oracle.password()));
        oracleConnection.open();
    }

    // The column lines of the definition, without separators and the closing parenthesis.
    static QStringList columnLines(const QString& definition)
    {
        QStringList lines = definition.split(QStringLiteral("\r\n"));
        lines.removeFirst();
        for (QString& line : lines) {
            if (line.endsWith(QStringLiteral(" , ")))
                line.chop(3);
            else if (line.endsWith(QStringLiteral(" ) ")))
                line.chop(3);
        }
        return lines;
    }

    ScratchMySqlDatabase mysql{QStringLiteral("t_tabledef")};
    ScratchOracleDatabase oracle;
    MySqlConnection catalog;
    OracleConnection oracleConnection;
};

}  // namespace

TEST_F(TableDefinition, TwoColumnTableGivesTheExactText)
{
    mysql.execute({"create table t (id int(11), name varchar(20))"});
    const QString expected = QStringLiteral("Create table \"T\" (\r\n"
                                            "\"ID\"  number  , \r\n"
                                            "\"NAME\" varchar2(20)  ) ");
    EXPECT_EQ(buildCreateTable(catalog, QStringLiteral("t"), QStringLiteral("T"), {true, false}),
              expected);

    QString last;
    EXPECT_NO_THROW(
        createTable(oracleConnection, catalog, QStringLiteral("t"), QStringLiteral("T"), {true, false}, &last));
    EXPECT_EQ(last, expected);
    EXPECT_EQ(oracle.sql(QStringLiteral("select * from \"T\" where 1=0")).value(0), QStringLiteral("ID\tNAME"));
}

TEST_F(TableDefinition, ServerTypesMapToOracleTypesThatOracleAccepts)
{
    mysql.execute({"create table `Types` ("
                   " c_char char(10), c_varchar varchar(255), c_v4001 varchar(4001),"
                   " c_enum enum('a','bc'), c_set set('x','y'), c_text text, c_longtext longtext,"
                   " c_blob blob, c_longblob longblob, c_int int(10) unsigned, c_bool tinyint(1),"
                   " c_big bigint(20) unsigned zerofill, c_dec decimal(10,2), c_float float,"
                   " c_double double(8,2), c_year year(4), c_date date, c_datetime datetime,"
                   " c_ts timestamp null, c_time time, c_dt6 datetime(6), c_time3 time(3), c_bit bit(1),"
                   " c_bin binary(16), c_varbin varbinary(255), c_bigvarbin varbinary(3000),"
                   " c_point point, c_geom geometry,"
                   " `A column name longer than thirty characters` int, `Mixed Case` int)"});
    const QStringList expected = {
        "\"C_CHAR\" varchar2(10) ",
        "\"C_VARCHAR\" varchar2(255) ",
        "\"C_V4001\" BLOB ",
        "\"C_ENUM\" varchar2(8) ",
        "\"C_SET\" varchar2(7) ",
        "\"C_TEXT\" BLOB ",
        "\"C_LONGTEXT\" BLOB ",
        "\"C_BLOB\"  BLOB ",
        "\"C_LONGBLOB\"  BLOB ",
        "\"C_INT\"  number ",
        "\"C_BOOL\"  number ",
        "\"C_BIG\"  number ",
        "\"C_DEC\"  number ",
        "\"C_FLOAT\"  number ",
        "\"C_DOUBLE\"  number ",
        "\"C_YEAR\"  number ",
        "\"C_DATE\"  date ",
        "\"C_DATETIME\"  date ",
        "\"C_TS\"  date ",
        "\"C_TIME\"  date ",
        "\"C_DT6\" timestamp(6) ",
        "\"C_TIME3\"  date ",
        "\"C_BIT\"  number ",
        "\"C_BIN\" raw(16) ",
        "\"C_VARBIN\" raw(255) ",
        "\"C_BIGVARBIN\"  BLOB ",
        "\"C_POINT\"  BLOB ",
        "\"C_GEOM\"  BLOB ",
        "\"A COLUMN NAME LONGER THAN THIR\"  number ",
        "\"MIXED CASE\"  number ",
    };
    QString definition;
    EXPECT_NO_THROW(createTable(oracleConnection, catalog, QStringLiteral("Types"), QStringLiteral("TYPES"),
                                {true, false}, &definition));
    EXPECT_EQ(columnLines(definition), expected);

    // With "Convert BLOB to text" the would-be BLOBs become CLOBs, and Oracle takes those too.
    QString asText;
    EXPECT_NO_THROW(createTable(oracleConnection, catalog, QStringLiteral("Types"), QStringLiteral("TYPES_TEXT"),
                                {false, true}, &asText));
    const QStringList textLines = columnLines(asText);
    ASSERT_EQ(textLines.size(), expected.size());
    EXPECT_EQ(textLines[2], QStringLiteral("\"c_v4001\"  CLOB "));
    EXPECT_EQ(textLines[5], QStringLiteral("\"c_text\"  CLOB "));
    EXPECT_EQ(textLines[7], QStringLiteral("\"c_blob\"  CLOB "));
    EXPECT_EQ(textLines[25], QStringLiteral("\"c_bigvarbin\"  CLOB "));
    EXPECT_EQ(textLines[26], QStringLiteral("\"c_point\"  CLOB "));
    EXPECT_EQ(textLines[29], QStringLiteral("\"Mixed Case\"  number "));
}

TEST_F(TableDefinition, OracleRefusalComesBackAsTheResult)
{
    mysql.execute({"create table t (id int)"});
    oracleConnection.execute(QStringLiteral("create table \"T\" (x number)"));
    try {
        createTable(oracleConnection, catalog, QStringLiteral("t"), QStringLiteral("T"), {});
        FAIL() << "no error for a table that exists";
    } catch (const Error& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("ORA-00955"))) << e.what();
    }
}

TEST_F(TableDefinition, UnknownTableThrowsWithTheServersMessage)
{
    try {
        createTable(oracleConnection, catalog, QStringLiteral("no_such_table"), QStringLiteral("X"), {});
        FAIL() << "no error for a missing table";
    } catch (const Error& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("no_such_table"))) << e.what();
    }
}
