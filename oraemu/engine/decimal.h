#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace oraemu {

// An exact decimal number as Oracle's NUMBER holds it: value = 0.d1d2d3... x 10^exponent.
// digits has no leading or trailing zeros; zero has no digits.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;

    bool isZero() const { return digits.empty(); }

    // Text such as " -12.50e3 " (blanks around it allowed); nullopt when it is no number.
    static std::optional<Decimal> parse(std::string_view text, char decimalPoint = '.');
    static Decimal fromInt(std::int64_t value);
    static Decimal fromUInt(std::uint64_t value);
    static std::optional<Decimal> fromDouble(double value);  // nullopt for NaN and infinities

    // Rounds half away from zero to `scale` digits after the decimal point (negative: before).
    void roundToScale(int scale);
    // Drops the digits beyond `scale` digits after the decimal point (negative: before).
    void truncateToScale(int scale);
    // Rounds half away from zero to `count` significant digits.
    void roundToSignificant(int count);

    // Exact sum.
    static Decimal add(const Decimal& a, const Decimal& b);
    // This number divided by a positive count, to 40 significant digits.
    Decimal dividedBy(std::uint64_t count) const;
    static Decimal multiply(const Decimal& a, const Decimal& b);
    // a / b to 40 significant digits; nullopt when b is zero.
    static std::optional<Decimal> divide(const Decimal& a, const Decimal& b);
    Decimal negated() const;

    // Plain notation: all digits, no exponent, "0.5" for one half, "-3" for minus three.
    std::string toString() const;
    bool toInt64(std::int64_t& out) const;  // false when not integral or out of range
    double toDouble() const;

private:
    void normalize();
    void roundAtDigit(int keep);
};

// Orders two numbers written in the plain notation of Decimal::toString().
int compareNumberText(std::string_view a, std::string_view b);

}  // namespace oraemu
