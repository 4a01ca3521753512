// Every MySQL column type read through MySqlQuery: the type tag of the column and the value it
// delivers, for a row of values, a row of NULLs and a row of empty values.
#include "db/mysql_connection.h"
#include "db/mysql_query.h"
#include "mysql_test_server.h"

#include <gtest/gtest.h>

#include <limits>

using dovrelle::DateTimeParts;
using dovrelle::MySqlConnection;
using dovrelle::MySqlQuery;
using dovrelle::Value;

namespace {

DateTimeParts date(int y, int m, int d)
{
    DateTimeParts p;
    p.year = y, p.month = m, p.day = d;
    return p;
}

DateTimeParts dateTime(int y, int mo, int d, int h, int mi, int s, int micro = 0, int digits = 0)
{
    DateTimeParts p = date(y, mo, d);
    p.hour = h, p.minute = mi, p.second = s, p.microsecond = micro, p.fractionDigits = digits;
    return p;
}

DateTimeParts time(bool negative, int h, int mi, int s, int micro = 0, int digits = 0)
{
    DateTimeParts p = dateTime(0, 0, 0, h, mi, s, micro, digits);
    p.negative = negative;
    return p;
}

struct TypeCase {
    const char* type;     // MySQL column type
    const char* literal;  // SQL literal of the first row
    const char* tag;
    Value expected;
    const char* emptyLiteral = nullptr;  // for text and binary types: a row with an empty value
    Value expectedEmpty = {};
};

const std::vector<TypeCase>& typeCases()
{
    static const std::vector<TypeCase> cases = {
        {"tinyint", "-128", "TIntegerField", Value::fromInt(-128)},
        {"tinyint(1)", "1", "TIntegerField", Value::fromInt(1)},
        {"tinyint unsigned", "255", "TIntegerField", Value::fromInt(255)},
        {"smallint", "-32768", "TIntegerField", Value::fromInt(-32768)},
        {"mediumint unsigned", "16777215", "TIntegerField", Value::fromInt(16777215)},
        {"int", "-2147483648", "TIntegerField", Value::fromInt(-2147483648LL)},
        {"int unsigned", "4294967295", "TLargeintField", Value::fromInt(4294967295LL)},
        {"bigint", "-9223372036854775808", "TLargeintField", Value::fromInt(std::numeric_limits<std::int64_t>::min())},
        {"bigint unsigned", "18446744073709551615", "TLargeintField", Value::fromUInt(18446744073709551615ULL)},
        {"bigint unsigned", "42", "TLargeintField", Value::fromInt(42)},
        {"year", "2024", "TIntegerField", Value::fromInt(2024)},
        {"float", "1.5", "TFloatField", Value::fromDouble(1.5)},
        {"float", "0.1", "TFloatField", Value::fromDouble(0.1)},
        {"double", "0.1", "TFloatField", Value::fromDouble(0.1)},
        {"double", "-1.7976931348623157e308", "TFloatField", Value::fromDouble(-1.7976931348623157e308)},
        {"decimal(30,10)", "-12345678901234567890.0123456789", "TFMTBCDField",
         Value::fromDecimal("-12345678901234567890.0123456789")},
        {"decimal(5,2)", "0.5", "TFMTBCDField", Value::fromDecimal("0.50")},
        {"decimal(65,0)", "99999999999999999999999999999999999999999999999999999999999999999", "TFMTBCDField",
         Value::fromDecimal("99999999999999999999999999999999999999999999999999999999999999999")},
        {"char(5)", "'ab'", "TStringField", Value::fromText("ab"), "''", Value::fromText("")},
        {"varchar(20)", "'x y '", "TStringField", Value::fromText("x y "), "''", Value::fromText("")},
        {"enum('a','bc')", "'bc'", "TStringField", Value::fromText("bc"), "''", Value::fromText("")},
        {"set('x','y')", "'x,y'", "TStringField", Value::fromText("x,y"), "''", Value::fromText("")},
        {"tinytext", "'t'", "TMemoField", Value::fromText("t"), "''", Value::fromText("")},
        {"text", "'Grüße €'", "TMemoField", Value::fromText(QStringLiteral("Grüße €")), "''", Value::fromText("")},
        {"mediumtext", "'m'", "TMemoField", Value::fromText("m"), "''", Value::fromText("")},
        {"longtext", "'line1\\nline2'", "TMemoField", Value::fromText("line1\nline2"), "''", Value::fromText("")},
        {"json", "'{\"a\": [1, \"é\"]}'", "TMemoField", Value::fromText(QStringLiteral("{\"a\": [1, \"é\"]}"))},
        {"tinyblob", "x'00ff'", "TBlobField", Value::fromBytes(QByteArray("\x00\xff", 2)), "''", Value::fromBytes({})},
        {"blob", "x'000102'", "TBlobField", Value::fromBytes(QByteArray("\x00\x01\x02", 3)), "''", Value::fromBytes({})},
        {"mediumblob", "x'41'", "TBlobField", Value::fromBytes("A"), "''", Value::fromBytes({})},
        {"longblob", "x'c3a9'", "TBlobField", Value::fromBytes("\xc3\xa9"), "''", Value::fromBytes({})},
        {"binary(3)", "x'01'", "TBlobField", Value::fromBytes(QByteArray("\x01\x00\x00", 3)), "''",
         Value::fromBytes(QByteArray(3, '\0'))},
        {"varbinary(10)", "x'ff00'", "TBlobField", Value::fromBytes(QByteArray("\xff\x00", 2)), "''", Value::fromBytes({})},
        {"point", "ST_GeomFromText('POINT(1 2)')", "TBlobField",
         Value::fromBytes(QByteArray::fromHex("00000000" "01" "01000000" "000000000000f03f" "0000000000000040"))},
        {"bit(1)", "b'1'", "TBooleanField", Value::fromBool(true)},
        {"bit(1)", "b'0'", "TBooleanField", Value::fromBool(false)},
        {"bit(12)", "b'101000000001'", "TLargeintField", Value::fromUInt(0xA01)},
        {"bit(64)", "~0", "TLargeintField", Value::fromUInt(std::numeric_limits<std::uint64_t>::max())},
        {"date", "'2024-02-29'", "TDateField", Value::fromDate(date(2024, 2, 29))},
        {"time", "'-838:59:59'", "TTimeField", Value::fromTime(time(true, 838, 59, 59))},
        {"time(3)", "'12:34:56.789'", "TTimeField", Value::fromTime(time(false, 12, 34, 56, 789000, 3))},
        {"datetime", "'9999-12-31 23:59:59'", "TSQLTimeStampField", Value::fromDateTime(dateTime(9999, 12, 31, 23, 59, 59))},
        {"datetime(6)", "'2024-01-02 03:04:05.000123'", "TSQLTimeStampField",
         Value::fromDateTime(dateTime(2024, 1, 2, 3, 4, 5, 123, 6))},
        {"timestamp", "'2024-01-02 03:04:05'", "TSQLTimeStampField", Value::fromDateTime(dateTime(2024, 1, 2, 3, 4, 5))},
        {"timestamp(2)", "'2024-01-02 03:04:05.5'", "TSQLTimeStampField",
         Value::fromDateTime(dateTime(2024, 1, 2, 3, 4, 5, 500000, 2))},
    };
    return cases;
}

QString columnName(size_t i)
{
    return QStringLiteral("c%1").arg(i);
}

// Creates the table: column 0 is the row number, then one column per case.
void createTypeTable(const testsupport::ScratchMySqlDatabase& db)
{
    QStringList columns{"n int"}, values{"1"}, nulls{"2"}, empties{"3"};
    const auto& cases = typeCases();
    for (size_t i = 0; i < cases.size(); ++i) {
        columns << columnName(i) + ' ' + cases[i].type + " NULL";
        values << cases[i].literal;
        nulls << "NULL";
        empties << (cases[i].emptyLiteral ? cases[i].emptyLiteral : "NULL");
    }
    db.execute({"SET SESSION time_zone = '+00:00'", "SET SESSION sql_mode = ''",
                "CREATE TABLE every_type (" + columns.join(", ") + ")",
                "INSERT INTO every_type VALUES (" + values.join(", ") + "), (" + nulls.join(", ") + "), ("
                    + empties.join(", ") + ")"});
}

std::string describe(const Value& v)
{
    return "kind " + std::to_string(int(v.kind())) + " text '" + v.toText().toStdString() + "'";
}

}  // namespace

TEST(MySqlTypes, EveryColumnTypeGivesItsTagAndValue)
{
    testsupport::ScratchMySqlDatabase db("t_types");
    createTypeTable(db);
    MySqlConnection connection;
    connection.setParameters(testsupport::mysqlParameters(db.name()));
    connection.open();
    MySqlQuery query(connection);
    query.open("SET SESSION time_zone = '+00:00'");  // no result set: an empty result
    EXPECT_TRUE(query.atEnd());
    EXPECT_EQ(query.fieldCount(), 0);
    query.open("select * from every_type order by n");

    const auto& cases = typeCases();
    ASSERT_EQ(query.fieldCount(), int(cases.size()) + 1);
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(std::string(cases[i].type) + " " + cases[i].literal);
        EXPECT_EQ(query.fieldName(int(i) + 1), columnName(i));
        EXPECT_EQ(query.typeTag(int(i) + 1).toStdString(), cases[i].tag);
    }

    ASSERT_FALSE(query.atEnd());
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(std::string(cases[i].type) + " " + cases[i].literal);
        const Value got = query.valueAt(int(i) + 1);
        EXPECT_EQ(got, cases[i].expected) << describe(got) << " expected " << describe(cases[i].expected);
    }

    query.next();
    ASSERT_FALSE(query.atEnd());
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].type);
        EXPECT_TRUE(query.valueAt(int(i) + 1).isNull());
        EXPECT_EQ(query.textAt(int(i) + 1), QString());
    }

    query.next();
    ASSERT_FALSE(query.atEnd());
    for (size_t i = 0; i < cases.size(); ++i) {
        if (!cases[i].emptyLiteral)
            continue;
        SCOPED_TRACE(cases[i].type);
        const Value got = query.valueAt(int(i) + 1);
        EXPECT_FALSE(got.isNull());
        EXPECT_EQ(got, cases[i].expectedEmpty) << describe(got);
    }

    query.next();
    EXPECT_TRUE(query.atEnd());
}

// Zero and partly-zero dates stay as the server wrote them: no other date is made of them.
TEST(MySqlTypes, ZeroDatesKeepTheirZeroFields)
{
    testsupport::ScratchMySqlDatabase db("t_zero");
    db.execute({"SET SESSION sql_mode = ''",
                "CREATE TABLE z (n int, d date, dt datetime, ts timestamp NULL)",
                "INSERT INTO z VALUES (1, '0000-00-00', '0000-00-00 00:00:00', '0000-00-00 00:00:00'),"
                " (2, '2024-02-00', '2024-00-10 00:00:00', NULL)"});
    MySqlConnection connection;
    connection.setParameters(testsupport::mysqlParameters(db.name()));
    connection.open();
    MySqlQuery query(connection);
    query.open("select d, dt, ts from z order by n");

    struct Expected {
        Value d, dt, ts;
    };
    const Expected rows[] = {
        {Value::fromDate(date(0, 0, 0)), Value::fromDateTime(dateTime(0, 0, 0, 0, 0, 0)),
         Value::fromDateTime(dateTime(0, 0, 0, 0, 0, 0))},
        {Value::fromDate(date(2024, 2, 0)), Value::fromDateTime(dateTime(2024, 0, 10, 0, 0, 0)), Value::null()},
    };
    for (const Expected& row : rows) {
        ASSERT_FALSE(query.atEnd());
        EXPECT_EQ(query.value("d"), row.d) << describe(query.value("d"));
        EXPECT_EQ(query.value("DT"), row.dt) << describe(query.value("dt"));
        EXPECT_EQ(query.value("ts"), row.ts) << describe(query.value("ts"));
        EXPECT_FALSE(query.value("d").asDateTime().isValidDate());
        EXPECT_FALSE(query.value("dt").asDateTime().isValidDate());
        query.next();
    }
    EXPECT_TRUE(query.atEnd());
}
