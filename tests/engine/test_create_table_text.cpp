// The whole CREATE TABLE text of a table of many column types, for the classic mapping and for
// "Keep full schema", against texts stored beside the tests: any change to either text shows here.
#include "test_run_printing.h"
#include "engine/full_schema.h"
#include "engine/logged_step.h"
#include "engine/run_log.h"
#include "engine/table_definition.h"

#include "db/mysql_connection.h"
#include "db/oracle_connection.h"

#include "mysql_test_server.h"
#include "oraemu_test_db.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace dovrelle;
using testsupport::ScratchMySqlDatabase;
using testsupport::ScratchOracleDatabase;

namespace {

QString storedText(const char* fileName)
{
    QFile file(QStringLiteral(DOVRELLE_SOURCE_DIR "/tests/engine/fixtures/") + QLatin1StringView(fileName));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("(missing %1)").arg(QLatin1StringView(fileName));
    return QString::fromUtf8(file.readAll());
}

class WholeCreateTableText : public ::testing::Test {
protected:
    void SetUp() override
    {
        catalog.setParameters(testsupport::mysqlParameters(mysql.name()));
        catalog.open();
        oracleConnection.setParameters(
            OracleConnection::standardParameters(oracle.service(), oracle.user(), oracle.password()));
        oracleConnection.open();
        mysql.execute({"create table `Many Types` ("
                       " id int(10) unsigned not null auto_increment primary key,"
                       " c_char char(10) default 'x''y', c_varchar varchar(255) not null default '',"
                       " c_v4001 varchar(4001), c_enum enum('a','bc') default 'bc', c_set set('x','y'),"
                       " c_text text, c_tinytext tinytext, c_blob blob, c_tinyint tinyint(1) default 1,"
                       " c_big bigint(20) unsigned zerofill, c_dec decimal(10,2) default 4.99,"
                       " c_float float, c_double double(8,2), c_year year(4), c_date date default '2020-02-29',"
                       " c_datetime datetime default current_timestamp, c_ts timestamp null, c_time time,"
                       " c_dt6 datetime(6), c_time3 time(3), c_bit bit(1), c_bin binary(16),"
                       " c_varbin varbinary(255), c_bigvarbin varbinary(3000), c_point point, c_json json,"
                       " `größe` int, `Mixed Case` int,"
                       " `A column name longer than thirty characters` int, `ÄÖÜäöüßÄÖÜäöüßÄÖÜ` int)"});
    }

    ScratchMySqlDatabase mysql{QStringLiteral("t_createtext")};
    ScratchOracleDatabase oracle;
    MySqlConnection catalog;
    OracleConnection oracleConnection;
};

TEST_F(WholeCreateTableText, ClassicTextIsTheStoredOneAndOracleTakesIt)
{
    QString text;
    EXPECT_NO_THROW(createTable(oracleConnection, catalog, QStringLiteral("Many Types"), QStringLiteral("MANY TYPES"),
                                {true, false, oracleConnection.maxIdentifierBytes()}, &text));
    EXPECT_EQ(text, storedText("create_table_classic.txt"));
}

TEST_F(WholeCreateTableText, FullSchemaTextIsTheStoredOneAndOracleTakesIt)
{
    RunLog log;
    FullSchema fullSchema(FullSchemaContext{catalog, oracleConnection, log, true, false,
                                            oracleConnection.maxIdentifierBytes(), nullptr});
    QString text;
    LoggedStep step(log, -1);
    EXPECT_NO_THROW(fullSchema.createTable(QStringLiteral("Many Types"), QStringLiteral("MANY TYPES"), &text, step));
    EXPECT_EQ(text, storedText("create_table_full_schema.txt"));
}

}  // namespace
