#include "decimal.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace oraemu {

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
}  // namespace

void Decimal::normalize()
{
    std::size_t lead = 0;
    while (lead < digits.size() && digits[lead] == '0')
        ++lead;
    digits.erase(0, lead);
    exponent -= static_cast<int>(lead);
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    if (digits.empty()) {
        negative = false;
        exponent = 0;
    }
}

std::optional<Decimal> Decimal::parse(std::string_view text, char decimalPoint)
{
    std::size_t i = 0, end = text.size();
    while (i < end && isBlank(text[i]))
        ++i;
    while (end > i && isBlank(text[end - 1]))
        --end;
    Decimal d;
    if (i < end && (text[i] == '+' || text[i] == '-'))
        d.negative = text[i++] == '-';
    bool anyDigit = false;
    int integerDigits = 0;
    while (i < end && isDigit(text[i])) {
        d.digits += text[i++];
        ++integerDigits;
        anyDigit = true;
    }
    if (i < end && text[i] == decimalPoint) {
        ++i;
        while (i < end && isDigit(text[i])) {
            d.digits += text[i++];
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return std::nullopt;
    long exp10 = 0;
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < end && (text[i] == '+' || text[i] == '-'))
            expNegative = text[i++] == '-';
        if (i >= end || !isDigit(text[i]))
            return std::nullopt;
        while (i < end && isDigit(text[i])) {
            exp10 = exp10 * 10 + (text[i++] - '0');
            if (exp10 > 100000)
                return std::nullopt;
        }
        if (expNegative)
            exp10 = -exp10;
    }
    if (i != end)
        return std::nullopt;
    d.exponent = integerDigits + static_cast<int>(exp10);
    d.normalize();
    return d;
}

Decimal Decimal::fromUInt(std::uint64_t value)
{
    Decimal d;
    d.digits = std::to_string(value);
    d.exponent = static_cast<int>(d.digits.size());
    d.normalize();
    return d;
}

Decimal Decimal::fromInt(std::int64_t value)
{
    const bool negative = value < 0;
    const std::uint64_t magnitude =
        negative ? std::uint64_t(0) - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    Decimal d = fromUInt(magnitude);
    d.negative = negative && !d.isZero();
    return d;
}

std::optional<Decimal> Decimal::fromDouble(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    char buffer[64];
    // The shortest text that reads back as the same double.
    for (int precision = 15; precision <= 17; ++precision) {
        std::snprintf(buffer, sizeof buffer, "%.*e", precision - 1, value);
        if (std::strtod(buffer, nullptr) == value)
            break;
    }
    return parse(buffer);
}

void Decimal::roundAtDigit(int keep)
{
    const int count = static_cast<int>(digits.size());
    if (keep >= count)
        return;
    if (keep < 0) {
        digits.clear();
        normalize();
        return;
    }
    const bool up = digits[keep] >= '5';
    digits.resize(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && digits[i] == '9') {
            digits[i] = '0';
            --i;
        }
        if (i >= 0) {
            ++digits[i];
        } else {
            digits.insert(digits.begin(), '1');
            ++exponent;
        }
    }
    normalize();
}

void Decimal::roundToScale(int scale)
{
    if (!isZero())
        roundAtDigit(exponent + scale);
}

void Decimal::roundToSignificant(int count)
{
    roundAtDigit(count);
}

std::string Decimal::toString() const
{
    if (isZero())
        return "0";
    std::string out = negative ? "-" : "";
    const int count = static_cast<int>(digits.size());
    if (exponent <= 0) {
        out += "0.";
        out.append(-exponent, '0');
        out += digits;
    } else if (exponent >= count) {
        out += digits;
        out.append(exponent - count, '0');
    } else {
        out.append(digits, 0, exponent);
        out += '.';
        out.append(digits, exponent, std::string::npos);
    }
    return out;
}

bool Decimal::toInt64(std::int64_t& out) const
{
    if (isZero()) {
        out = 0;
        return true;
    }
    if (exponent < static_cast<int>(digits.size()) || exponent > 19)
        return false;
    std::string whole = digits;
    whole.append(exponent - digits.size(), '0');
    errno = 0;
    const unsigned long long magnitude = std::strtoull(whole.c_str(), nullptr, 10);
    if (errno != 0)
        return false;
    if (negative) {
        if (magnitude > 9223372036854775808ULL)
            return false;
        out = static_cast<std::int64_t>(0 - magnitude);
    } else {
        if (magnitude > 9223372036854775807ULL)
            return false;
        out = static_cast<std::int64_t>(magnitude);
    }
    return true;
}

double Decimal::toDouble() const
{
    return std::strtod(toString().c_str(), nullptr);
}

int compareNumberText(std::string_view a, std::string_view b)
{
    const bool negA = !a.empty() && a[0] == '-';
    const bool negB = !b.empty() && b[0] == '-';
    if (negA != negB)
        return negA ? -1 : 1;
    if (negA) {
        a.remove_prefix(1);
        b.remove_prefix(1);
    }
    const std::size_t pointA = std::min(a.find('.'), a.size());
    const std::size_t pointB = std::min(b.find('.'), b.size());
    int result = 0;
    if (pointA != pointB) {
        result = pointA < pointB ? -1 : 1;
    } else {
        const std::size_t common = std::min(a.size(), b.size());
        const int c = std::memcmp(a.data(), b.data(), common);
        if (c != 0)
            result = c < 0 ? -1 : 1;
        else if (a.size() != b.size())
            result = a.size() < b.size() ? -1 : 1;
    }
    return negA ? -result : result;
}

}  // namespace oraemu
