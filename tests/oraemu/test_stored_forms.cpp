// The stored text of dates and binary floating-point numbers, which a bulk load writes for every
// value: dates sort in time order, doubles become the shortest of 15, 16 or 17 significant digits
// that reads back as the same double.
#include "datetime.h"
#include "decimal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

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

}  // namespace
