// The stored text of dates and numbers, which a bulk load writes for every value: dates sort in
// time order, doubles become the shortest of 15, 16 or 17 significant digits that reads back as the
// same double, and a number bound as text has one stored form whichever way it was written.
#include "datetime.h"
#include "decimal.h"
#include "ora_error.h"
#include "values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

TEST(StoredForms, DatesAndTimestamps)
{
    const struct {
        oraemu::DateTime value;
        int fractionDigits;
        const char* text;
    } cases[] = {
        {{2020, 1, 1, 0, 0, 0, 0}, 0, "2020-01-01 00:00:00"},
        {{1, 12, 31, 23, 59, 59, 999999999}, 0, "0001-12-31 23:59:59"},
        {{9999, 2, 9, 7, 5, 3, 120000000}, 3, "9999-02-09 07:05:03.120"},
        {{1970, 6, 15, 12, 30, 45, 1}, 9, "1970-06-15 12:30:45.000000001"},
        {{2000, 1, 2, 3, 4, 5, 987654321}, 6, "2000-01-02 03:04:05.987654"},
        {{-4712, 1, 1, 0, 0, 0, 0}, 0, "-4712-01-01 00:00:00"},
    };
    std::string reused = "an earlier, longer value of the same buffer";
    for (const auto& c : cases) {
        EXPECT_EQ(c.value.toStorage(c.fractionDigits), c.text);
        c.value.storeInto(reused, c.fractionDigits);
        EXPECT_EQ(reused, c.text);
        const oraemu::DateTime back = oraemu::DateTime::fromStorage(c.text);
        if (c.value.year > 0)
            EXPECT_EQ(back.toStorage(c.fractionDigits), c.text);
    }
}

// What printf and strtod give: the first of 15, 16, 17 significant digits that reads back exactly.
std::string printfDigits(double value)
{
    char buffer[64];
    for (int precision = 15; precision <= 17; ++precision) {
        std::snprintf(buffer, sizeof buffer, "%.*e", precision - 1, value);
        if (std::strtod(buffer, nullptr) == value)
            break;
    }
    return oraemu::Decimal::parse(buffer)->toString();
}

TEST(StoredForms, DoublesKeepTheirShortestExactDigits)
{
    const double cases[] = {0.1, 1.0 / 3, 2.0 / 3, 1e23, 5e-324, std::numeric_limits<double>::max(),
                            std::numeric_limits<double>::min(), 9007199254740993.0, 123456.789, -0.3,
                            0.0, 1e-7, 4.35, 100, std::nextafter(1.0, 2.0), std::nextafter(0.1, 0.0)};
    for (double value : cases) {
        const auto decimal = oraemu::Decimal::fromDouble(value);
        ASSERT_TRUE(decimal.has_value()) << value;
        EXPECT_EQ(decimal->toString(), printfDigits(value)) << value;
    }
    std::uint64_t bits = 0x9E3779B97F4A7C15u;
    for (int i = 0; i < 2000; ++i) {  // a spread of bit patterns over the whole range
        bits = bits * 6364136223846793005u + 1442695040888963407u;
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value))
            continue;
        EXPECT_EQ(oraemu::Decimal::fromDouble(value)->toString(), printfDigits(value)) << value;
    }
    EXPECT_FALSE(oraemu::Decimal::fromDouble(std::nan("")).has_value());
    EXPECT_FALSE(oraemu::Decimal::fromDouble(std::numeric_limits<double>::infinity()).has_value());
}

oraemu::ColumnType numberType(int precision = 0, int scale = 0, bool scaleGiven = false)
{
    oraemu::ColumnType type;
    type.kind = oraemu::ColumnType::Kind::Number;
    type.precision = precision;
    type.scale = scale;
    type.scaleGiven = scaleGiven;
    return type;
}

// A column value as the test compares it: "int 7", "text 0.5", "null", or "ORA-01438".
std::string storedNumber(std::string_view text, const oraemu::ColumnType& type, char decimalPoint = '.')
{
    oraemu::Nls nls;
    nls.decimalPoint = decimalPoint;
    oraemu::Stored stored;
    stored.buffer = "an earlier, longer value of the same buffer";
    try {
        oraemu::convertForType(oraemu::InValue::text(text), type, nls, stored);
    } catch (const oraemu::OraError& error) {
        char code[16];
        std::snprintf(code, sizeof code, "ORA-%05d", error.code());
        return code;
    }
    switch (stored.kind) {
    case oraemu::Stored::Kind::Int: return "int " + std::to_string(stored.i);
    case oraemu::Stored::Kind::Text: return "text " + std::string(stored.text);
    case oraemu::Stored::Kind::Null: return "null";
    case oraemu::Stored::Kind::Blob: return "blob";
    }
    return {};
}

TEST(StoredForms, NumbersBoundAsText)
{
    const oraemu::ColumnType plain = numberType();
    const oraemu::ColumnType money = numberType(5, 2, true);
    const oraemu::ColumnType small = numberType(2, 5, true);
    const struct {
        const char* text;
        oraemu::ColumnType type;
        const char* stored;
    } cases[] = {
        {"12.50", plain, "text 12.5"},
        {" -0.0 ", plain, "int 0"},
        {".5", plain, "text 0.5"},
        {"-.5", plain, "text -0.5"},
        {"+5.", plain, "int 5"},
        {"007.100", plain, "text 7.1"},
        {"100.000", plain, "int 100"},
        {"\t42\n", plain, "int 42"},
        {"-0.000120", plain, "text -0.00012"},
        {"123456789012345678", plain, "int 123456789012345678"},
        {"-9223372036854775808", plain, "int -9223372036854775808"},
        {"99999999999999999999", plain, "text 99999999999999999999"},
        {"1234567890.1234567890123456789012345678", plain, "text 1234567890.1234567890123456789012345678"},
        {"1234567890123.45678901234567890123456789012", plain, "text 1234567890123.45678901234567890123456789"},
        {"0.99999999999999999999999999999999999999999", plain, "int 1"},
        {"1.5e2", plain, "int 150"},
        {"999.99", money, "text 999.99"},
        {"-999.9", money, "text -999.9"},
        {"1000.0", money, "ORA-01438"},
        {"999.995", money, "ORA-01438"},
        {"0.001", money, "int 0"},
        {"0.005", money, "text 0.01"},
        {"0.00012", small, "text 0.00012"},
        {"0.0012", small, "ORA-01438"},
        {"0", small, "int 0"},
        {"1.2.3", plain, "ORA-01722"},
        {".", plain, "ORA-01722"},
        {"-", plain, "ORA-01722"},
        {" ", plain, "ORA-01722"},
        {"1 2", plain, "ORA-01722"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(storedNumber(c.text, c.type), c.stored) << c.text;
    EXPECT_EQ(storedNumber("1,5", plain, ','), "text 1.5");
    EXPECT_EQ(storedNumber("1.5", plain, ','), "ORA-01722");
}

// Written with an exponent, a number takes the general path through Decimal; written plainly, the
// same number must be stored alike (or fail alike).
TEST(StoredForms, PlainNumberTextMatchesItsExponentForm)
{
    const oraemu::ColumnType types[] = {numberType(), numberType(10, 2, true), numberType(38, 0, true),
                                        numberType(4, 6, true), numberType(19, 0, true)};
    std::mt19937 random(20261210);
    const auto digits = [&](int count) {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += static_cast<char>('0' + random() % 10);
        return text;
    };
    for (int i = 0; i < 20000; ++i) {
        std::string text = random() % 4 == 0 ? "-" : "";
        text += digits(static_cast<int>(random() % 22));
        if (random() % 3 != 0)
            text += "." + digits(static_cast<int>(random() % 22));
        if (text.find_first_of("0123456789") == std::string::npos)
            continue;
        for (const oraemu::ColumnType& type : types)
            EXPECT_EQ(storedNumber(text, type), storedNumber(text + "e0", type)) << text;
    }
}

}  // namespace
