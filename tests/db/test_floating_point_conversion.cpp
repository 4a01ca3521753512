// FLOAT and DOUBLE values for Oracle: the same bits for BINARY_FLOAT and BINARY_DOUBLE, the
// shortest text that reads back as the same binary value for NUMBER, and a reason for a value
// NUMBER cannot hold.
#include "db/error.h"
#include "db/oracle_column.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

using namespace dovrelle;

namespace {

std::string bitsOf(float v)
{
    return std::string(reinterpret_cast<const char*>(&v), sizeof v);
}

std::string bitsOf(double v)
{
    return std::string(reinterpret_cast<const char*>(&v), sizeof v);
}

// The bound bytes, or "failure: " and the reason.
std::string converted(double value, bool singlePrecision, OracleBindKind kind)
{
    std::string out;
    try {
        if (!convertFloatingPointForOracle(value, singlePrecision, kind, out))
            return "NULL";
    } catch (const Error& e) {
        return "failure: " + e.message().toStdString();
    }
    return out;
}

TEST(FloatingPointConversion, NumberGetsTheShortestTextByTheValuesOwnPrecision)
{
    struct Case {
        double value;
        bool single;
        const char* text;
    };
    const Case cases[] = {
        {16777216.0f, true, "16777216"},
        {1234567.875f, true, "1234567.9"},  // the shortest text that reads back as this float
        {1.0000001f, true, "1.0000001"},
        {0.1f, true, "0.1"},
        {0.1f, false, "0.10000000149011612"},  // the same bits read as a double
        {std::numeric_limits<float>::max(), true, "3.4028235e38"},
        {1234567.875, false, "1234567.875"},
        {2.5e-7, false, "2.5e-7"},
        {-0.0, false, "0"},  // NUMBER has no negative zero
        {-0.0f, true, "0"},
        {9.99e125, false, "9.99e125"},
        {1e-130, false, "1e-130"},
        {std::nextafter(1e126, 0.0), false, "9.999999999999998e125"},  // the largest double below 1E126
    };
    for (const Case& c : cases)
        EXPECT_EQ(converted(c.value, c.single, OracleBindKind::Number), c.text) << c.value;
}

TEST(FloatingPointConversion, AValueNumberCannotHoldFailsWithTheReason)
{
    struct Case {
        double value;
        const char* reason;
    };
    const Case cases[] = {
        {1e308, "failure: 1e308 is beyond NUMBER (too large: NUMBER holds magnitudes below 1E126)"},
        {-1e200, "failure: -1e200 is beyond NUMBER (too large: NUMBER holds magnitudes below 1E126)"},
        {1e126, "failure: 1e126 is beyond NUMBER (too large: NUMBER holds magnitudes below 1E126)"},
        {std::nextafter(1e-130, 0.0),
         "failure: 9.999999999999999e-131 is too small for NUMBER (NUMBER holds no non-zero magnitude below 1E-130)"},
        {1e-131, "failure: 1e-131 is too small for NUMBER (NUMBER holds no non-zero magnitude below 1E-130)"},
        {-2.2250738585072014e-308,
         "failure: -2.2250738585072014e-308 is too small for NUMBER (NUMBER holds no non-zero magnitude below 1E-130)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(converted(c.value, false, OracleBindKind::Number), c.reason) << c.value;
}

TEST(FloatingPointConversion, BinaryColumnsTakeTheSameBits)
{
    const double doubles[] = {1e308, -1e200, 2.2250738585072014e-308, 1e-131, 4.9e-324, -0.0, 0.1};
    for (double v : doubles)
        EXPECT_EQ(converted(v, false, OracleBindKind::BinaryDouble), bitsOf(v)) << v;
    const float floats[] = {16777216.0f, 1234567.875f, 1.0000001f, std::numeric_limits<float>::max(),
                            std::numeric_limits<float>::denorm_min(), -0.0f};
    for (float v : floats)
        EXPECT_EQ(converted(v, true, OracleBindKind::BinaryFloat), bitsOf(v)) << v;
    EXPECT_EQ(converted(1e300, false, OracleBindKind::BinaryFloat),
              "failure: 1e300 is beyond BINARY_FLOAT");
}

TEST(FloatingPointConversion, TextColumnsGetTheShortestText)
{
    EXPECT_EQ(converted(0.1f, true, OracleBindKind::Text), "0.1");
    EXPECT_EQ(converted(1e308, false, OracleBindKind::Clob), "1e308");
    EXPECT_EQ(converted(-0.0, false, OracleBindKind::Text), "-0");
}

TEST(FloatingPointConversion, OtherSourceValuesReachBinaryColumns)
{
    std::string out;
    ASSERT_TRUE(convertForOracle(Value::fromText(QStringLiteral(" 2.5 ")), OracleBindKind::BinaryDouble, out));
    EXPECT_EQ(out, bitsOf(2.5));
    out.clear();
    ASSERT_TRUE(convertForOracle(Value::fromInt(-3), OracleBindKind::BinaryFloat, out));
    EXPECT_EQ(out, bitsOf(-3.0f));
    out.clear();
    EXPECT_FALSE(convertForOracle(Value::fromText(QString()), OracleBindKind::BinaryDouble, out));
    EXPECT_THROW(convertForOracle(Value::fromText(QStringLiteral("abc")), OracleBindKind::BinaryDouble, out),
                 Error);
}

}  // namespace
