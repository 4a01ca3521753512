// Catalog statements, reading by name and position, errors and streaming of MySqlQuery.
#include "db/error.h"
#include "db/mysql_connection.h"
#include "db/mysql_query.h"
#include "mysql_test_server.h"

#include <gtest/gtest.h>

#include <mysql.h>

using dovrelle::Error;
using dovrelle::MySqlConnection;
using dovrelle::MySqlQuery;
using dovrelle::Value;

namespace {

void openOn(MySqlConnection& connection, const QString& database)
{
    connection.setParameters(testsupport::mysqlParameters(database));
    connection.open();
}

QStringList firstColumn(MySqlQuery& query, const QString& sql)
{
    QStringList list;
    for (query.open(sql); !query.atEnd(); query.next())
        list << query.textAt(0);
    query.close();
    return list;
}

// The same list read with the client library alone, buffered, as the reference for the order.
QStringList firstColumnThroughLibrary(MySqlConnection& connection, const QByteArray& sql)
{
    MYSQL* handle = connection.handle();
    EXPECT_EQ(mysql_real_query(handle, sql.constData(), sql.size()), 0) << mysql_error(handle);
    MYSQL_RES* result = mysql_store_result(handle);
    QStringList list;
    while (MYSQL_ROW row = mysql_fetch_row(result))
        list << QString::fromUtf8(row[0]);
    mysql_free_result(result);
    return list;
}

QStringList onlyThoseIn(const QStringList& list, const QStringList& others)
{
    QStringList kept;
    for (const QString& item : list)
        if (others.contains(item))
            kept << item;
    return kept;
}

}  // namespace

TEST(MySqlQuery, DatabaseListComesInServerOrder)
{
    testsupport::ScratchMySqlDatabase db("t_dblist");
    MySqlConnection connection;
    openOn(connection, {});
    MySqlQuery query(connection);
    const QStringList listed = firstColumn(query, "show databases ");
    const QStringList reference = firstColumnThroughLibrary(connection, "show databases");
    // Other tests create and drop databases meanwhile: compare what both lists hold.
    EXPECT_EQ(onlyThoseIn(listed, reference), onlyThoseIn(reference, listed));
    for (const QString& name : {QStringLiteral("information_schema"), QStringLiteral("dovrelle_sample"),
                                QStringLiteral("mysql"), db.name()})
        EXPECT_TRUE(listed.contains(name)) << name.toStdString();
}

TEST(MySqlQuery, TableListComesInServerOrder)
{
    testsupport::ScratchMySqlDatabase db("t_tables");
    db.execute({"CREATE TABLE Zeta (a int)", "CREATE TABLE alpha (a int)", "CREATE TABLE `Beta Two` (a int)",
                "CREATE TABLE gamma_1 (a int)", "CREATE VIEW v_alpha AS SELECT a FROM alpha"});
    MySqlConnection connection;
    openOn(connection, db.name());
    MySqlQuery query(connection);
    const QStringList listed = firstColumn(query, "show tables");
    EXPECT_EQ(listed, firstColumnThroughLibrary(connection, "show tables"));
    EXPECT_EQ(listed.size(), 5);
    EXPECT_TRUE(listed.contains("Beta Two"));
}

TEST(MySqlQuery, FieldListReadByLowerCaseNames)
{
    testsupport::ScratchMySqlDatabase db("t_fields");
    db.execute({"CREATE TABLE t (id int NOT NULL, Name varchar(20) NULL, note varchar(10) NOT NULL DEFAULT '',"
                " price decimal(10,2) unsigned zerofill DEFAULT 1.5, `long column name with blanks` text)"});
    MySqlConnection connection;
    openOn(connection, db.name());
    MySqlQuery query(connection);

    struct Row {
        const char* field;
        const char* type;
        const char* null;
        Value defaultValue;
    };
    const Row expected[] = {
        {"id", "int(11)", "NO", Value::null()},
        {"Name", "varchar(20)", "YES", Value::null()},
        {"note", "varchar(10)", "NO", Value::fromText("")},
        {"price", "decimal(10,2) unsigned zerofill", "YES", Value::fromText("00000001.50")},
        {"long column name with blanks", "text", "YES", Value::null()},
    };
    query.open("show FIELDS from t");
    for (const Row& row : expected) {
        ASSERT_FALSE(query.atEnd());
        SCOPED_TRACE(row.field);
        EXPECT_EQ(query.value("field"), Value::fromText(row.field));
        EXPECT_EQ(query.value("type"), Value::fromText(row.type));
        EXPECT_EQ(query.value("null"), Value::fromText(row.null));
        EXPECT_EQ(query.value("DEFAULT"), row.defaultValue) << query.value("default").toText().toStdString();
        query.next();
    }
    EXPECT_TRUE(query.atEnd());
}

TEST(MySqlQuery, IndexListReadByColumnNames)
{
    testsupport::ScratchMySqlDatabase db("t_index");
    db.execute({"CREATE TABLE t (id int NOT NULL, a int, b varchar(40), c int, PRIMARY KEY (id),"
                " UNIQUE KEY u_ab (a, b(10)), KEY k_c (c))"});
    MySqlConnection connection;
    openOn(connection, db.name());
    MySqlQuery query(connection);

    struct Row {
        const char* key;
        int nonUnique;
        int seq;
        const char* column;
        Value subPart;
    };
    const Row expected[] = {
        {"PRIMARY", 0, 1, "id", Value::null()},
        {"u_ab", 0, 1, "a", Value::null()},
        {"u_ab", 0, 2, "b", Value::fromInt(10)},
        {"k_c", 1, 1, "c", Value::null()},
    };
    query.open("show index from t");
    for (const Row& row : expected) {
        ASSERT_FALSE(query.atEnd());
        SCOPED_TRACE(std::string(row.key) + " " + row.column);
        EXPECT_EQ(query.value("table").toText(), "t");
        EXPECT_EQ(query.value("Key_name").toText(), row.key);
        EXPECT_EQ(query.value("non_unique").toText().toInt(), row.nonUnique);
        EXPECT_EQ(query.value("Seq_in_index").toText().toInt(), row.seq);
        EXPECT_EQ(query.value("column_name").toText(), row.column);
        EXPECT_EQ(query.value("sub_part").isNull(), row.subPart.isNull());
        EXPECT_EQ(query.value("sub_part").toText(), row.subPart.toText());
        query.next();
    }
    EXPECT_TRUE(query.atEnd());
}

TEST(MySqlQuery, ReadsByPositionAndName)
{
    MySqlConnection connection;
    openOn(connection, "dovrelle_sample");
    MySqlQuery query(connection);

    query.open("select count(*) cn from customers");
    EXPECT_EQ(query.intAt(0), 3);
    EXPECT_EQ(query.fieldName(0), "cn");

    query.open("select name, city, 'abc' word from customers order by id");
    EXPECT_EQ(query.fieldIndex("NAME"), 0);
    EXPECT_EQ(query.fieldIndex("City"), 1);
    EXPECT_EQ(query.fieldIndex("nothing"), -1);
    EXPECT_EQ(query.textAt(0), "Ada");
    try {
        query.intAt(2);
        ADD_FAILURE() << "intAt read 'abc' as an integer";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), "'abc' is not a valid integer value");
    }
    try {
        query.value("nothing");
        ADD_FAILURE() << "an absent field was found";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), "Field 'nothing' not found");
    }
    query.next();
    EXPECT_EQ(query.value("name"), Value::fromText(QStringLiteral("Bjørn")));
    query.next();
    EXPECT_TRUE(query.value("city").isNull());
    EXPECT_EQ(query.textAt(1), "");
    query.next();
    EXPECT_TRUE(query.atEnd());
}

TEST(MySqlQuery, EmptyResultIsAtEndAtOnce)
{
    MySqlConnection connection;
    openOn(connection, "dovrelle_sample");
    MySqlQuery query(connection);
    query.open("select * from orders where 1=0");
    EXPECT_TRUE(query.isOpen());
    EXPECT_TRUE(query.atEnd());
    EXPECT_EQ(query.fieldCount(), 4);
    EXPECT_EQ(query.typeTag(2), "TFMTBCDField");
    query.close();
    query.close();  // closing a closed query does nothing
    EXPECT_FALSE(query.isOpen());
}

TEST(MySqlQuery, FailingStatementCarriesTheServerMessage)
{
    MySqlConnection connection;
    openOn(connection, "dovrelle_sample");
    MySqlQuery query(connection);
    const struct {
        const char* sql;
        const char* message;
    } cases[] = {
        {"select * from missing_table", "Table 'dovrelle_sample.missing_table' doesn't exist"},
        {"show FIELDS from missing_table", "Table 'dovrelle_sample.missing_table' doesn't exist"},
        {"selec 1", "You have an error in your SQL syntax"},
    };
    for (const auto& c : cases) {
        try {
            query.open(c.sql);
            ADD_FAILURE() << c.sql << " succeeded";
        } catch (const Error& e) {
            EXPECT_TRUE(e.message().startsWith(c.message)) << e.what();
        }
        EXPECT_FALSE(query.isOpen());
    }
    query.open("select 1");  // the connection is still usable
    EXPECT_EQ(query.intAt(0), 1);
}

// The rows stream from the server: while a big result is half read the connection is busy with
// it (a buffered result would have been read whole and freed the connection). Closing the query
// discards the rest and frees the connection again.
TEST(MySqlQuery, RowsStreamFromTheServer)
{
    testsupport::ScratchMySqlDatabase db("t_stream");
    db.execute({"CREATE TABLE big (n int PRIMARY KEY, filler varchar(100))",
                "INSERT INTO big SELECT seq, REPEAT('x', 100) FROM seq_1_to_50000"});
    MySqlConnection connection;
    openOn(connection, db.name());
    MySqlQuery query(connection);
    query.open("select n, filler from big order by n");
    for (int n = 1; n <= 3; ++n) {
        ASSERT_FALSE(query.atEnd());
        EXPECT_EQ(query.intAt(0), n);
        query.next();
    }

    MySqlQuery second(connection);
    try {
        second.open("select 1");
        ADD_FAILURE() << "a second statement ran while the first result was still streaming";
    } catch (const Error& e) {
        EXPECT_TRUE(e.message().startsWith("Commands out of sync")) << e.what();
    }

    query.close();
    second.open("select count(*) from big");
    EXPECT_EQ(second.intAt(0), 50000);
}

// A stream that breaks off is an error, never a silent end of the rows. The result (40 MB) is
// bigger than what the socket buffers hold, so the server cannot have sent it all before the kill.
TEST(MySqlQuery, BrokenStreamIsAnErrorNotAnEnd)
{
    testsupport::ScratchMySqlDatabase db("t_broken");
    db.execute({"CREATE TABLE big (n int PRIMARY KEY, filler varchar(2000))",
                "INSERT INTO big SELECT seq, REPEAT('y', 2000) FROM seq_1_to_20000"});
    MySqlConnection connection;
    openOn(connection, db.name());
    MySqlQuery query(connection);
    query.open("select connection_id()");
    const QString id = query.textAt(0);
    query.open("select n, filler from big order by n");
    testsupport::mysqlExecute({"KILL CONNECTION " + id});
    int rows = 0;
    try {
        for (; !query.atEnd(); query.next())
            ++rows;
        ADD_FAILURE() << "the result ended quietly after " << rows << " rows";
    } catch (const Error& e) {
        EXPECT_LT(rows, 20000);
        // "Lost connection to server during query", or the server's "Connection was killed"
        EXPECT_TRUE(e.message().contains("connection", Qt::CaseInsensitive)) << e.what();
    }
}

// A query outliving its connection's session neither reads from a new session nor crashes.
TEST(MySqlQuery, ConnectionClosedUnderAnOpenQuery)
{
    MySqlConnection connection;
    openOn(connection, "dovrelle_sample");
    MySqlQuery query(connection);
    query.open("select id from customers order by id");
    connection.close();
    EXPECT_THROW(query.next(), Error);
    query.close();
    EXPECT_FALSE(query.isOpen());

    connection.open();
    query.open("select id from customers order by id");
    EXPECT_EQ(query.intAt(0), 1);
}
