#include "db/error.h"
#include "db/oracle_connection.h"
#include "db/oracle_insert_buffer.h"
#include "db/oracle_column.h"
#include "test_oracle_support.h"

#include <gtest/gtest.h>

#include <limits>

using namespace dovrelle;
using oracletest::contains;
using oracletest::startsWith;

namespace {

DateTimeParts dateTime(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int us = 0)
{
    DateTimeParts p;
    p.year = y, p.month = mo, p.day = d, p.hour = h, p.minute = mi, p.second = s, p.microsecond = us;
    p.fractionDigits = us ? 6 : 0;
    return p;
}

// A value each column of the conversion-failure test takes.
Value goodValue(const QString& column)
{
    if (column == "N")
        return Value::fromInt(5);
    if (column == "D" || column == "TS")
        return Value::fromDate(dateTime(2020, 1, 1));
    return Value::fromText("fine");
}

DateTimeParts timeOfDay(int h, int mi, int s, bool negative = false)
{
    DateTimeParts p;
    p.hour = h, p.minute = mi, p.second = s, p.negative = negative;
    return p;
}

// An insert buffer open on one table, with every apply failure collected.
class InsertBufferTest : public oracletest::OracleTest {
protected:
    void openOn(const QString& table)
    {
        buffer.close();
        buffer.setCommandText("select * from \"" + table + "\" where 1=0");
        buffer.open();
    }
    // Applies with no refused row tolerated; the refused rows' messages go to `failures`.
    void applyUpdates()
    {
        try {
            failures << buffer.applyUpdates(0);
        } catch (const RejectedRowError& e) {
            failures << e.rowMessages();
        }
    }
    void appendRow(std::initializer_list<std::pair<const char*, Value>> values)
    {
        buffer.append();
        for (const auto& [name, value] : values)
            buffer.setValue(QString::fromUtf8(name), value);
        buffer.post();
    }
    qint64 count(const QString& table, const QString& where = {})
    {
        return connection.queryInteger("select count(*) from \"" + table + "\""
                                       + (where.isEmpty() ? QString() : " where " + where));
    }

    OracleInsertBuffer buffer{connection};
    QStringList failures;

};

}  // namespace

TEST_F(InsertBufferTest, DescribesTheTableAndFindsColumnsWhateverTheirCase)
{
    connection.execute("create table \"T\" (ID number, \"Name\" varchar2(20), \"when\" date)");
    openOn("T");
    ASSERT_EQ(buffer.columnCount(), 3);
    EXPECT_EQ(buffer.columnName(0), "ID");
    EXPECT_EQ(buffer.columnName(1), "Name");
    EXPECT_EQ(buffer.columnName(2), "when");
    EXPECT_EQ(buffer.columnIndex("id"), 0);
    EXPECT_EQ(buffer.columnIndex("NAME"), 1);
    EXPECT_EQ(buffer.columnIndex("When"), 2);
    EXPECT_EQ(buffer.columnIndex("missing"), -1);
}

TEST_F(InsertBufferTest, OpeningOnAMissingTableGivesOraclesMessage)
{
    buffer.setCommandText("select * from \"NOPE\" where 1=0");
    try {
        buffer.open();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_TRUE(startsWith(e.message(), "ORA-00942"));
    }
    EXPECT_FALSE(buffer.isOpen());
}

TEST_F(InsertBufferTest, AppliesFiveThousandRowsInOneTransaction)
{
    connection.execute("create table \"T\" (ID number, NAME varchar2(30), AMOUNT number)");
    openOn("T");
    for (int i = 1; i <= 5000; ++i)
        appendRow({{"id", Value::fromInt(i)},
                   {"name", Value::fromText(QStringLiteral("row %1").arg(i))},
                   {"amount", Value::fromDecimal(QStringLiteral("%1.25").arg(i))}});
    EXPECT_EQ(buffer.pendingCount(), 5000);
    applyUpdates();
    EXPECT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();
    EXPECT_EQ(buffer.pendingCount(), 0);
    EXPECT_EQ(db.rows("select count(*), min(ID), max(ID), max(AMOUNT) from T"),
              QStringList{"5000\t1\t5000\t5000.25"});
    EXPECT_EQ(db.rows("select NAME, AMOUNT from T where ID = 4321"), QStringList{"row 4321\t4321.25"});
}

TEST_F(InsertBufferTest, AFailingRowRollsBackItsApplyAndKeepsEarlierApplies)
{
    connection.execute("create table \"T\" (ID number, NAME varchar2(10))");
    connection.execute("alter table T add constraint T_PK primary key (ID)");
    openOn("T");
    for (int i = 1; i <= 100; ++i)
        appendRow({{"ID", Value::fromInt(i)}});
    applyUpdates();
    ASSERT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();

    openOn("T");
    for (int i = 101; i <= 1000; ++i)
        appendRow({{"ID", Value::fromInt(i == 150 ? 42 : i)}});  // row 150 repeats a key
    applyUpdates();

    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(startsWith(failures[0], "ORA-00001: unique constraint")) << failures[0].toStdString();
    EXPECT_EQ(count("T"), 100);
    EXPECT_EQ(count("T", "ID > 100"), 0);
    EXPECT_EQ(buffer.pendingCount(), 900);  // the failed rows stay as the failure left them

    // The connection is usable afterwards and nothing of the failed apply comes back.
    openOn("T");
    appendRow({{"ID", Value::fromInt(5000)}});
    applyUpdates();
    EXPECT_EQ(failures.size(), 1);
    EXPECT_EQ(db.rows("select count(*), max(ID) from T"), QStringList{"101\t5000"});
}

TEST_F(InsertBufferTest, TooLongValueFailsTheApplyWithOraclesMessage)
{
    connection.execute("create table \"T\" (S varchar2(3))");
    openOn("T");
    appendRow({{"S", Value::fromText("abc")}});
    appendRow({{"S", Value::fromText("abcd")}});
    applyUpdates();
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(startsWith(failures[0], "ORA-12899")) << failures[0].toStdString();
    EXPECT_EQ(count("T"), 0);
}

TEST_F(InsertBufferTest, ARefusedRowThrowsRejectedRowErrorWithOraclesMessage)
{
    connection.execute("create table \"T\" (ID number, S varchar2(5))");
    connection.execute("alter table T add constraint T_PK primary key (ID)");
    openOn("T");
    buffer.append();
    buffer.post();
    try {
        buffer.applyUpdates();
        FAIL() << "no error";
    } catch (const RejectedRowError& e) {
        EXPECT_TRUE(startsWith(e.message(), "ORA-01400")) << e.message().toStdString();
        EXPECT_EQ(e.rowMessages(), QStringList{e.message()});
    }
    EXPECT_EQ(count("T"), 0);
}

TEST_F(InsertBufferTest, ValuesAreConvertedToTheColumnTypes)
{
    connection.execute("create table \"T\" (K number, N number, S varchar2(100), C CLOB, "
                       "D date, TS timestamp(6), R raw(16), B BLOB)");
    openOn("T");
    struct Row {
        int key;
        const char* column;
        Value value;
        const char* query;  // on the oraemu tool; or the condition below
        QString expected;
    };
    const Row rows[] = {
        {1, "N", Value::fromDecimal("12345678901234567890.123456789"), "N", "12345678901234567890.123456789"},
        {2, "N", Value::fromUInt(std::numeric_limits<std::uint64_t>::max()), "N", "18446744073709551615"},
        {3, "N", Value::fromInt(-42), "N", "-42"},
        {4, "N", Value::fromDouble(0.1), "N", "0.1"},
        {5, "N", Value::fromBool(true), "N", "1"},
        {6, "N", Value::fromText(" 17.50 "), "N", "17.5"},
        {7, "S", Value::fromText(QStringLiteral("Gr\u00fc\u00dfe \u65e5\u672c")), "S", QStringLiteral("Gr\u00fc\u00dfe \u65e5\u672c")},
        {8, "S", Value::fromDecimal("-0.50"), "S", "-0.50"},
        {9, "S", Value::fromDate(dateTime(2024, 2, 29)), "S", "2024-02-29"},
        {10, "S", Value::fromBytes("plain bytes"), "S", "plain bytes"},
        {11, "C", Value::fromText(QStringLiteral("\u00e9t\u00e9")), "C", QStringLiteral("\u00e9t\u00e9")},
        {12, "S", Value::fromDouble(1.5e-7), "S", "1.5e-07"},
    };
    for (const Row& r : rows)
        appendRow({{"K", Value::fromInt(r.key)}, {r.column, r.value}});
    applyUpdates();
    ASSERT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();
    for (const Row& r : rows)
        EXPECT_EQ(db.rows(QStringLiteral("select %1 from T where K = %2").arg(r.query).arg(r.key)),
                  QStringList{r.expected})
            << "row " << r.key;
}

TEST_F(InsertBufferTest, DatesTimesAndTimestampsAreStoredAsOracleDates)
{
    connection.execute("create table \"T\" (K number, D date, TS timestamp(6))");
    openOn("T");
    appendRow({{"K", Value::fromInt(1)}, {"D", Value::fromDateTime(dateTime(2023, 12, 31, 23, 59, 58))},
               {"TS", Value::fromDateTime(dateTime(2023, 12, 31, 23, 59, 58, 123456))}});
    appendRow({{"K", Value::fromInt(2)}, {"D", Value::fromDate(dateTime(1999, 1, 2))},
               {"TS", Value::fromDate(dateTime(1999, 1, 2))}});
    appendRow({{"K", Value::fromInt(3)}, {"D", Value::fromTime(timeOfDay(10, 11, 12))},
               {"TS", Value::fromText("2001-02-03 04:05:06.5")}});
    appendRow({{"K", Value::fromInt(4)}, {"D", Value::fromTime(timeOfDay(25, 0, 0))},
               {"TS", Value::fromTime(timeOfDay(1, 0, 0, true))}});
    appendRow({{"K", Value::fromInt(5)}, {"D", Value::fromText("2020-05-06")}});
    applyUpdates();
    ASSERT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();

    const char* conditions[] = {
        "K = 1 and D = '2023-12-31 23:59:58' and TS = '2023-12-31 23:59:58.123456'",
        "K = 2 and D = '1999-01-02 00:00:00' and TS = '1999-01-02 00:00:00.0'",
        "K = 3 and D = '1900-01-01 10:11:12' and TS = '2001-02-03 04:05:06.5'",
        "K = 4 and D = '1900-01-02 01:00:00' and TS = '1899-12-31 23:00:00.0'",
        "K = 5 and D = '2020-05-06 00:00:00' and TS is null",
    };
    for (const char* condition : conditions)
        EXPECT_EQ(count("T", condition), 1) << condition;
}

TEST_F(InsertBufferTest, BytesGoIntoRawAndBlobAndTextIntoBlobAsUtf8)
{
    connection.execute("create table \"T\" (K number, R raw(16), B BLOB)");
    openOn("T");
    appendRow({{"K", Value::fromInt(1)}, {"R", Value::fromBytes(QByteArray("\x00\x01\xfe\xff", 4))},
               {"B", Value::fromBytes(QByteArray("\xde\xad\xbe\xef", 4))}});
    appendRow({{"K", Value::fromInt(2)}, {"R", Value::fromText("AB")},
               {"B", Value::fromText(QStringLiteral("\u00e9"))}});
    applyUpdates();
    ASSERT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();
    EXPECT_EQ(db.rows("select R, B from T order by K"), (QStringList{"0001FEFF\tDEADBEEF", "4142\tC3A9"}));
}

TEST_F(InsertBufferTest, ValuesAColumnCannotTakeFailAtOnceAndLeaveTheColumnNull)
{
    connection.execute("create table \"T\" (K number, N number, D date, TS timestamp, "
                       "S varchar2(20), C CLOB)");
    openOn("T");
    DateTimeParts zeroDate;  // 0000-00-00
    struct Case {
        const char* column;
        Value value;
        const char* why;
    };
    const Case cases[] = {
        {"N", Value::fromText("abc"), "is not a number"},
        {"N", Value::fromText("12a"), "is not a number"},
        {"N", Value::fromText("1.2.3"), "is not a number"},
        {"N", Value::fromText(" "), "is not a number"},
        {"N", Value::fromText("1e200"), "too large"},
        {"N", Value::fromDouble(std::numeric_limits<double>::quiet_NaN()), "NUMBER"},
        {"N", Value::fromDouble(std::numeric_limits<double>::infinity()), "NUMBER"},
        {"N", Value::fromDouble(1e200), "too large"},
        {"N", Value::fromBytes(QByteArray("\xff", 1)), "UTF-8"},
        {"N", Value::fromDate(dateTime(2020, 1, 1)), "not a number"},
        {"D", Value::fromDate(zeroDate), "not a valid date"},
        {"D", Value::fromDateTime(dateTime(2021, 2, 29, 1, 2, 3)), "not a valid date"},
        {"D", Value::fromDate(dateTime(2021, 13, 1)), "not a valid date"},
        {"D", Value::fromText("yesterday"), "is not a date"},
        {"D", Value::fromInt(20200101), "is not a date"},
        {"TS", Value::fromDateTime(zeroDate), "not a valid date"},
        {"S", Value::fromBytes(QByteArray("\xc3\x28", 2)), "UTF-8"},
        {"C", Value::fromBytes(QByteArray("ok\xff", 3)), "UTF-8"},
    };
    for (const Case& c : cases) {
        buffer.append();
        buffer.setValue("K", Value::fromInt(1));
        buffer.setValue(c.column, goodValue(c.column));  // a first value, then the bad one
        try {
            buffer.setValue(c.column, c.value);
            ADD_FAILURE() << c.column << " took " << c.value.toText().toStdString();
        } catch (const Error& e) {
            EXPECT_TRUE(contains(e.message(), QString::fromLatin1(c.column))) << c.column;
            EXPECT_TRUE(contains(e.message(), QString::fromLatin1(c.why))) << c.column;
        }
        buffer.post();
    }
    buffer.append();
    EXPECT_THROW(buffer.setValue("NO_SUCH_COLUMN", Value::fromInt(1)), Error);
    buffer.post();

    applyUpdates();
    ASSERT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();
    const qint64 rows = static_cast<qint64>(std::size(cases)) + 1;
    EXPECT_EQ(count("T"), rows);
    EXPECT_EQ(count("T", "N is null and D is null and TS is null and S is null and C is null"), rows);
}

TEST_F(InsertBufferTest, ColumnsLeftEmptyAndNullValuesAreStoredAsNull)
{
    connection.execute("create table \"T\" (K number, N number, S varchar2(5), D date, B BLOB, C CLOB)");
    openOn("T");
    appendRow({{"K", Value::fromInt(1)}});
    appendRow({{"K", Value::fromInt(2)}, {"N", Value::null()}, {"S", Value::null()},
               {"D", Value::null()}, {"B", Value::null()}, {"C", Value::null()}});
    appendRow({{"K", Value::fromInt(3)}, {"N", Value::fromInt(0)}, {"S", Value::fromText("x")},
               {"D", Value::fromDate(dateTime(2000, 1, 1))}, {"B", Value::fromBytes("b")},
               {"C", Value::fromText("c")}});
    applyUpdates();
    ASSERT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();
    EXPECT_EQ(count("T", "N is null and S is null and D is null and B is null and C is null"), 2);
    EXPECT_EQ(count("T", "K = 3 and N = 0 and S = 'x' and D is not null and B is not null"), 1);
}

TEST_F(InsertBufferTest, LargeObjectsOfSeveralMegabytes)
{
    connection.execute("create table \"T\" (K number, C CLOB, B BLOB)");
    openOn("T");
    QString text;
    for (int i = 0; text.size() < 3 * 1024 * 1024; ++i)
        text += QStringLiteral("line %1 \u00e4\n").arg(i);
    QByteArray bytes(5 * 1024 * 1024, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 % 251);
    for (int k = 1; k <= 3; ++k)
        appendRow({{"K", Value::fromInt(k)}, {"C", Value::fromText(text + QString::number(k))},
                   {"B", Value::fromBytes(bytes + QByteArray::number(k))}});
    appendRow({{"K", Value::fromInt(4)}, {"C", Value::fromText("small")}, {"B", Value::fromBytes("s")}});
    applyUpdates();
    ASSERT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();

    EXPECT_EQ(db.rows("select C from T where K = 2").join('\n'), text + "2");
    EXPECT_EQ(db.rows("select B from T where K = 3"),
              QStringList{QString::fromLatin1((bytes + "3").toHex().toUpper())});
    EXPECT_EQ(db.rows("select C, B from T where K = 4"), QStringList{"small\t73"});
}

TEST_F(InsertBufferTest, LargeBatchesAreSplitInsideOneTransaction)
{
    connection.execute("create table \"T\" (K number, C CLOB)");
    connection.execute("alter table T add constraint T_PK primary key (K)");
    openOn("T");
    buffer.setBatchByteLimit(64 * 1024);  // a few rows per execute
    const QString value(20000, u'x');
    for (int k = 1; k <= 20; ++k)
        appendRow({{"K", Value::fromInt(k)}, {"C", Value::fromText(value)}});
    applyUpdates();
    ASSERT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();
    EXPECT_EQ(count("T"), 20);

    // A failure in a later execute takes back the rows of the earlier executes of this apply.
    openOn("T");
    for (int k = 21; k <= 40; ++k)
        appendRow({{"K", Value::fromInt(k == 35 ? 1 : k)}, {"C", Value::fromText(value)}});
    applyUpdates();
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(startsWith(failures[0], "ORA-00001"));
    EXPECT_EQ(count("T"), 20);
}

TEST_F(InsertBufferTest, TableAndColumnNamesThatNeedQuoting)
{
    const QString table = QStringLiteral("Kunden Tabelle \u00c4");
    connection.execute(QStringLiteral("create table \"%1\" (\"Id\" number, \"first name\" varchar2(20), "
                                      "\"GR\u00d6SSE\" number)").arg(table));
    openOn(table);
    appendRow({{"id", Value::fromInt(7)}, {"FIRST NAME", Value::fromText("Ann")},
               {"gr\u00f6sse", Value::fromDecimal("1.80")}});
    applyUpdates();
    ASSERT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();
    EXPECT_EQ(db.rows(QStringLiteral("select \"Id\", \"first name\", \"GR\u00d6SSE\" from \"%1\"").arg(table)),
              QStringList{"7\tAnn\t1.8"});
}

TEST_F(InsertBufferTest, CloseDropsPendingRowsAndAnEmptyApplySendsNothing)
{
    connection.execute("create table \"T\" (K number)");
    openOn("T");
    applyUpdates();  // nothing pending
    appendRow({{"K", Value::fromInt(1)}});
    buffer.close();
    EXPECT_EQ(buffer.pendingCount(), 0);
    openOn("T");
    applyUpdates();
    EXPECT_EQ(count("T"), 0);
    EXPECT_TRUE(failures.isEmpty());
}

TEST_F(InsertBufferTest, ToleratedFailuresLeaveOutTheFailingRowsOnly)
{
    connection.execute("create table \"T\" (K number)");
    connection.execute("alter table T add constraint T_PK primary key (K)");
    openOn("T");
    appendRow({{"K", Value::fromInt(1)}});
    applyUpdates();

    // Rows 3 and 6 repeat the committed key. With two failures tolerated the others are committed.
    openOn("T");
    for (int k = 2; k <= 8; ++k)
        appendRow({{"K", Value::fromInt(k == 3 || k == 6 ? 1 : k)}});
    failures = buffer.applyUpdates(2);
    EXPECT_EQ(failures.size(), 2);
    EXPECT_EQ(db.rows("select K from T order by K"), (QStringList{"1", "2", "4", "5", "7", "8"}));

    // One failure more than tolerated takes the whole apply back.
    openOn("T");
    for (int k = 10; k <= 14; ++k)
        appendRow({{"K", Value::fromInt(k == 11 || k == 13 ? 1 : k)}});
    try {
        buffer.applyUpdates(1);
        ADD_FAILURE() << "no error";
    } catch (const RejectedRowError& e) {
        EXPECT_EQ(e.rowMessages().size(), 2);
    }
    EXPECT_EQ(count("T"), 6);
}

// A value longer than the column's bytes is refused when it is set, with Oracle's own message,
// so that no bind slot of the batch grows beyond what Oracle takes for the column (over 4000
// bytes it would read the whole batch as LONG data and refuse every row with ORA-01461).
TEST_F(InsertBufferTest, AValueOverTheColumnsBytesIsRefusedWhenSet)
{
    connection.execute("create table \"W\" (ID number, V varchar2(4000), S varchar2(3 byte), "
                       "C char(2000), R raw(4))");
    openOn("W");
    struct Case {
        const char* column;
        Value value;
        QString message;  // empty: taken
    };
    const QString euro(1334, QChar(0x20AC));  // 4002 bytes of UTF-8
    const std::vector<Case> cases = {
        {"V", Value::fromText(QString(4000, u'x')), {}},
        {"V", Value::fromText(euro),
         "ORA-12899: value too large for column \"SCOTT\".\"W\".\"V\" (actual: 4002, maximum: 4000)"},
        {"V", Value::fromText(QString(5000, u'x')),
         "ORA-12899: value too large for column \"SCOTT\".\"W\".\"V\" (actual: 5000, maximum: 4000)"},
        {"S", Value::fromText("abc"), {}},
        {"S", Value::fromText(QString::fromUtf8("äbc")),
         "ORA-12899: value too large for column \"SCOTT\".\"W\".\"S\" (actual: 4, maximum: 3)"},
        {"C", Value::fromText(QString(667, QChar(0x20AC))),
         "ORA-12899: value too large for column \"SCOTT\".\"W\".\"C\" (actual: 2001, maximum: 2000)"},
        {"R", Value::fromBytes(QByteArray(4, '\x01')), {}},
        {"R", Value::fromBytes(QByteArray(5, '\x01')),
         "ORA-12899: value too large for column \"SCOTT\".\"W\".\"R\" (actual: 5, maximum: 4)"},
    };
    int id = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        buffer.append();
        buffer.setValue("ID", Value::fromInt(++id));
        if (c.message.isEmpty()) {
            EXPECT_NO_THROW(buffer.setValue(c.column, c.value));
        } else {
            try {
                buffer.setValue(c.column, c.value);
                ADD_FAILURE() << "taken";
            } catch (const Error& e) {
                EXPECT_EQ(e.message(), c.message);
            }
        }
        buffer.post();
    }
    applyUpdates();
    EXPECT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();
    EXPECT_EQ(count("W"), qint64(cases.size()));
    EXPECT_EQ(count("W", "V is not null"), 1);  // the refused values stay NULL
    EXPECT_EQ(count("W", "S is not null"), 1);
    EXPECT_EQ(count("W", "R is not null"), 1);
}

// LOB columns are bound after all others, whatever their place in the table; the values still
// land in their own columns.
TEST_F(InsertBufferTest, LobColumnsAreBoundLast)
{
    connection.execute("create table \"L\" (C clob, ID number, B blob, V varchar2(4000))");
    openOn("L");
    const QString longText(20000, u't');
    const QByteArray longBytes(30000, '\x07');
    const QString wide(4000, u'v');
    appendRow({{"C", Value::fromText(longText)}, {"ID", Value::fromInt(1)},
               {"B", Value::fromBytes(longBytes)}, {"V", Value::fromText(wide)}});
    appendRow({{"C", Value::fromText("short")}, {"ID", Value::fromInt(2)}, {"V", Value::fromText("v")}});
    applyUpdates();
    ASSERT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();
    EXPECT_EQ(db.rows("select ID, length(C), length(V) from L order by ID"),
              (QStringList{"1\t20000\t4000", "2\t5\t1"}));
    EXPECT_EQ(count("L", "B is null"), 1);
    EXPECT_EQ(count("L", "ID = 1 and B is not null"), 1);
}

// A batch larger than the bound of buffered bytes is sent in pieces as it is posted, inside one
// open transaction: nothing is committed before the apply, and memory holds one piece at a time.
TEST_F(InsertBufferTest, BufferedBytesPastTheBoundAreSentEarlyAndCommittedOnlyByTheApply)
{
    connection.execute("create table \"T\" (K number, B BLOB)");
    openOn("T");
    buffer.setBatchByteLimit(100 * 1024);
    const QByteArray value(30 * 1024, 'v');
    for (int k = 1; k <= 20; ++k) {
        appendRow({{"K", Value::fromInt(k)}, {"B", Value::fromBytes(value + QByteArray::number(k))}});
        if (k == 10)  // another session sees nothing before the apply
            EXPECT_EQ(db.rows("select count(*) from T"), QStringList{"0"});
    }
    EXPECT_EQ(buffer.pendingCount(), 20);
    EXPECT_GT(count("T"), 0) << "rows were sent early, inside the open transaction";
    EXPECT_EQ(db.rows("select count(*) from T"), QStringList{"0"});

    applyUpdates();

    ASSERT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();
    EXPECT_EQ(buffer.pendingCount(), 0);
    EXPECT_EQ(db.rows("select count(*), min(K), max(K) from T"), QStringList{"20\t1\t20"});
    EXPECT_EQ(db.rows("select B from T where K = 17"),
              QStringList{QString::fromLatin1((value + "17").toHex().toUpper())});
}

// Rows sent early in small runs each keep their own values, the row that takes the buffered
// bytes past the bound included; a value set again replaces the first, NULL included.
TEST_F(InsertBufferTest, EveryRowKeepsItsOwnValuesAcrossEarlySends)
{
    connection.execute("create table \"T\" (K number, S varchar2(100), N number)");
    openOn("T");
    buffer.setBatchByteLimit(64);
    const int text = buffer.columnIndex("S");
    const int number = buffer.columnIndex("N");
    QStringList expected;
    for (int k = 1; k <= 40; ++k) {
        buffer.append();
        buffer.setValue("K", Value::fromInt(k));
        buffer.setValue(text, Value::fromText("a first value, longer than the second"));
        buffer.setUtf8Text(text, QByteArray("row ") + QByteArray::number(k) + " \xC3\xBC");
        buffer.setDecimalText(number, "7.25");
        if (k % 2 == 0)
            buffer.setValue(number, Value::null());
        else
            buffer.setDecimalText(number, QByteArray::number(k) + ".5");
        buffer.post();
        expected << QStringLiteral("%1\trow %1 \u00fc\t%2").arg(k).arg(k % 2 ? QString::number(k) + ".5" : QString());
    }
    applyUpdates();
    ASSERT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();
    EXPECT_EQ(db.rows("select K, S, N from T order by K"), expected);
}

TEST_F(InsertBufferTest, RowRejectedInAnEarlySendTakesBackTheWholeBatch)
{
    connection.execute("create table \"T\" (K number, B BLOB)");
    connection.execute("alter table T add constraint T_PK primary key (K)");
    openOn("T");
    appendRow({{"K", Value::fromInt(1)}});
    applyUpdates();

    openOn("T");
    buffer.setBatchByteLimit(100 * 1024);
    const QByteArray value(30 * 1024, 'v');
    for (int k = 2; k <= 30; ++k)  // row 6 repeats the committed key; it is sent long before the apply
        appendRow({{"K", Value::fromInt(k == 6 ? 1 : k)}, {"B", Value::fromBytes(value)}});
    EXPECT_TRUE(failures.isEmpty()) << "the failure waits for the apply";

    applyUpdates();

    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(startsWith(failures[0], "ORA-00001")) << failures[0].toStdString();
    EXPECT_EQ(db.rows("select count(*), max(K) from T"), QStringList{"1\t1"});

    // The connection goes on cleanly: the next batch commits only its own rows.
    openOn("T");
    appendRow({{"K", Value::fromInt(100)}});
    applyUpdates();
    EXPECT_EQ(failures.size(), 1);
    EXPECT_EQ(db.rows("select count(*), max(K) from T"), QStringList{"2\t100"});
}

TEST_F(InsertBufferTest, ClosingTakesBackRowsSentEarlyByABatchNeverApplied)
{
    connection.execute("create table \"T\" (K number, B BLOB)");
    openOn("T");
    buffer.setBatchByteLimit(100 * 1024);
    const QByteArray value(30 * 1024, 'v');
    for (int k = 1; k <= 12; ++k)
        appendRow({{"K", Value::fromInt(k)}, {"B", Value::fromBytes(value)}});
    buffer.close();
    connection.commit();  // a later commit on the connection must not bring them in
    EXPECT_EQ(db.rows("select count(*) from T"), QStringList{"0"});
}

// A value is measured against the column's byte size only where that size counts the UTF-8 bytes
// bound: not for national columns, nor in a database whose character set is not AL32UTF8.
TEST(BindByteLimit, OnlySizesInUtf8BytesLimitAValue)
{
    struct Case {
        const char* what;
        ub2 dataType;
        ub2 dataSize;
        ub1 charsetForm;
        bool sizeInUtf8;
        std::size_t limit;
    };
    const Case cases[] = {
        {"VARCHAR2(3 CHAR)", oci::SQLT_CHR, 12, oci::SQLCS_IMPLICIT, true, 12},
        {"CHAR(5000 bytes said)", oci::SQLT_AFC, 5000, oci::SQLCS_IMPLICIT, true, 4000},
        {"NVARCHAR2(3)", oci::SQLT_CHR, 6, oci::SQLCS_NCHAR, true, 4000},
        {"VARCHAR2(3 CHAR) in WE8MSWIN1252", oci::SQLT_CHR, 3, oci::SQLCS_IMPLICIT, false, 4000},
        {"RAW(4)", oci::SQLT_BIN, 4, 0, false, 4},
    };
    for (const Case& c : cases) {
        dovrelle::OracleColumn column;
        column.dataType = c.dataType;
        column.dataSize = c.dataSize;
        column.charsetForm = c.charsetForm;
        column.sizeInUtf8 = c.sizeInUtf8;
        column.kind = dovrelle::bindKindFor(c.dataType);
        EXPECT_EQ(dovrelle::bindByteLimit(column), c.limit) << c.what;
    }
}
