// Value text forms, calendar checks of DateTimeParts, and ParameterList look-ups.
#include "db/parameter_list.h"
#include "db/value.h"

#include <gtest/gtest.h>

#include <limits>

using dovrelle::DateTimeParts;
using dovrelle::ParameterList;
using dovrelle::Value;

namespace {

DateTimeParts parts(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int micro = 0, int digits = 0)
{
    DateTimeParts p;
    p.year = y, p.month = mo, p.day = d, p.hour = h, p.minute = mi, p.second = s;
    p.microsecond = micro, p.fractionDigits = digits;
    return p;
}

}  // namespace

TEST(Value, TextOfEveryKind)
{
    DateTimeParts negativeTime = parts(0, 0, 0, 838, 59, 59, 500000, 1);
    negativeTime.negative = true;
    const struct {
        Value value;
        QString text;
    } cases[] = {
        {Value::null(), ""},
        {Value::fromText(""), ""},
        {Value::fromBool(true), "1"},
        {Value::fromBool(false), "0"},
        {Value::fromInt(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808"},
        {Value::fromUInt(18446744073709551615ULL), "18446744073709551615"},
        {Value::fromDouble(0.1), "0.1"},
        {Value::fromDouble(1.0 / 3.0), "0.3333333333333333"},
        {Value::fromDouble(1e300), "1e+300"},
        {Value::fromDouble(-2.5), "-2.5"},
        {Value::fromDouble(123456789012.0), "123456789012"},
        {Value::fromDecimal("-12345678901234567890.0123456789"), "-12345678901234567890.0123456789"},
        {Value::fromText(QStringLiteral("Grüße 😀")), QStringLiteral("Grüße 😀")},
        {Value::fromBytes(QByteArray("\x00\xab\x10", 3)), "00AB10"},
        {Value::fromDate(parts(2024, 2, 29)), "2024-02-29"},
        {Value::fromDate(parts(0, 0, 0)), "0000-00-00"},
        {Value::fromTime(parts(0, 0, 0, 7, 8, 9)), "07:08:09"},
        {Value::fromTime(negativeTime), "-838:59:59.5"},
        {Value::fromDateTime(parts(2024, 1, 2, 3, 4, 5)), "2024-01-02 03:04:05"},
        {Value::fromDateTime(parts(2024, 1, 2, 3, 4, 5, 123, 6)), "2024-01-02 03:04:05.000123"},
        {Value::fromDateTime(parts(2024, 1, 2, 3, 4, 5, 120000, 2)), "2024-01-02 03:04:05.12"},
        {Value::fromDateTime(parts(2024, 0, 10)), "2024-00-10 00:00:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value.toText(), c.text) << c.text.toStdString();
}

TEST(Value, DoubleTextReadsBackExactly)
{
    for (double v : {0.1, 1.0 / 3.0, 2.0 / 3.0, 1e-310, 5e-324, 1.7976931348623157e308, -123.456e-7})
        EXPECT_EQ(Value::fromDouble(v).toText().toDouble(), v);
}

TEST(DateTimeParts, ValidDates)
{
    const struct {
        DateTimeParts date;
        bool valid;
    } cases[] = {
        {parts(2024, 2, 29), true},  {parts(2023, 2, 29), false}, {parts(2000, 2, 29), true},
        {parts(1900, 2, 29), false}, {parts(1, 1, 1), true},      {parts(9999, 12, 31), true},
        {parts(0, 0, 0), false},     {parts(0, 1, 1), false},     {parts(2024, 0, 10), false},
        {parts(2024, 2, 0), false},  {parts(2024, 4, 31), false}, {parts(2024, 13, 1), false},
        {parts(10000, 1, 1), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.date.isValidDate(), c.valid) << c.date.toIsoText().toStdString();
}

TEST(ParameterList, LooksUpNamesWithoutRegardToCaseAndKeepsOrder)
{
    ParameterList params({"Database=shop", "User_Name=ann", "Password=a=b", "Port=3306", "HostName=localhost"});
    EXPECT_EQ(params.value("database"), "shop");
    EXPECT_EQ(params.value("PASSWORD"), "a=b");  // only the first '=' separates
    EXPECT_EQ(params.value("ServerCharSet"), "");
    EXPECT_FALSE(params.contains("ServerCharSet"));
    EXPECT_TRUE(params.contains("hostname"));

    params.setValue("DATABASE", "stock");  // replaced in place, name kept as written
    params.setValue("ServerCharSet", "latin1");
    EXPECT_EQ(params.lines(), QStringList({"Database=stock", "User_Name=ann", "Password=a=b", "Port=3306",
                                           "HostName=localhost", "ServerCharSet=latin1"}));
    params.clear();
    EXPECT_TRUE(params.lines().isEmpty());
}
