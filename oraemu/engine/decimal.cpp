#include "decimal.h"

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

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
    // The shortest of 15, 16 or 17 significant digits that reads back as the same double
    // (to_chars and from_chars: the exact results of printf and strtod, without their cost).
    std::string_view text;
    for (int precision = 15; precision <= 17; ++precision) {
        const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                                           precision - 1);
        text = std::string_view(buffer, written.ptr - buffer);
        double back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        if (back == value)
            break;
    }
    return parse(text);
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

void Decimal::truncateToScale(int scale)
{
    if (isZero())
        return;
    const int keep = exponent + scale;
    if (keep < static_cast<int>(digits.size())) {
        digits.resize(std::max(keep, 0));
        normalize();
    }
}

void Decimal::roundToSignificant(int count)
{
    roundAtDigit(count);
}

namespace {

// Magnitudes as digit strings of equal scale: compares two unsigned digit strings.
int compareMagnitude(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

std::string addMagnitudes(const std::string& a, const std::string& b)
{
    std::string out;
    int carry = 0;
    for (std::size_t i = 0; i < std::max(a.size(), b.size()) || carry; ++i) {
        const int x = i < a.size() ? a[a.size() - 1 - i] - '0' : 0;
        const int y = i < b.size() ? b[b.size() - 1 - i] - '0' : 0;
        const int sum = x + y + carry;
        out += static_cast<char>('0' + sum % 10);
        carry = sum / 10;
    }
    return std::string(out.rbegin(), out.rend());
}

// a - b for a >= b.
std::string subtractMagnitudes(const std::string& a, const std::string& b)
{
    std::string out;
    int borrow = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        int x = a[a.size() - 1 - i] - '0' - borrow;
        const int y = i < b.size() ? b[b.size() - 1 - i] - '0' : 0;
        borrow = x < y ? 1 : 0;
        x += borrow * 10;
        out += static_cast<char>('0' + x - y);
    }
    while (out.size() > 1 && out.back() == '0')
        out.pop_back();
    return std::string(out.rbegin(), out.rend());
}

}  // namespace

Decimal Decimal::add(const Decimal& a, const Decimal& b)
{
    if (a.isZero())
        return b;
    if (b.isZero())
        return a;
    // Both as whole numbers times 10^low.
    const int lowA = a.exponent - static_cast<int>(a.digits.size());
    const int lowB = b.exponent - static_cast<int>(b.digits.size());
    const int low = std::min(lowA, lowB);
    const std::string x = a.digits + std::string(lowA - low, '0');
    const std::string y = b.digits + std::string(lowB - low, '0');
    Decimal sum;
    if (a.negative == b.negative) {
        sum.digits = addMagnitudes(x, y);
        sum.negative = a.negative;
    } else {
        const int order = compareMagnitude(x, y);
        if (order == 0)
            return Decimal{};
        sum.digits = order > 0 ? subtractMagnitudes(x, y) : subtractMagnitudes(y, x);
        sum.negative = order > 0 ? a.negative : b.negative;
    }
    sum.exponent = static_cast<int>(sum.digits.size()) + low;
    sum.normalize();
    return sum;
}

Decimal Decimal::dividedBy(std::uint64_t count) const
{
    if (isZero() || count == 0)
        return *this;
    Decimal quotient;
    quotient.negative = negative;
    unsigned __int128 remainder = 0;
    // Long division over the digits, then on past them until 40 significant digits or no remainder.
    int position = 0;
    bool started = false;
    int produced = 0;
    const int digitCount = static_cast<int>(digits.size());
    while (position < digitCount || (remainder != 0 && produced < 41)) {
        const int digit = position < digitCount ? digits[position] - '0' : 0;
        remainder = remainder * 10 + static_cast<unsigned>(digit);
        const unsigned q = static_cast<unsigned>(remainder / count);
        remainder %= count;
        quotient.digits += static_cast<char>('0' + q);
        started = started || q != 0;
        if (started)
            ++produced;
        ++position;
    }
    quotient.exponent = exponent;
    quotient.normalize();
    quotient.roundToSignificant(40);
    return quotient;
}

Decimal Decimal::negated() const
{
    Decimal result = *this;
    result.negative = !isZero() && !negative;
    return result;
}

Decimal Decimal::multiply(const Decimal& a, const Decimal& b)
{
    if (a.isZero() || b.isZero())
        return Decimal{};
    std::vector<int> product(a.digits.size() + b.digits.size(), 0);
    for (std::size_t i = a.digits.size(); i-- > 0;)
        for (std::size_t j = b.digits.size(); j-- > 0;)
            product[i + j + 1] += (a.digits[i] - '0') * (b.digits[j] - '0');
    for (std::size_t k = product.size(); k-- > 1;) {
        product[k - 1] += product[k] / 10;
        product[k] %= 10;
    }
    Decimal result;
    for (int digit : product)
        result.digits += static_cast<char>('0' + digit);
    result.negative = a.negative != b.negative;
    result.exponent = a.exponent + b.exponent;
    result.normalize();
    result.roundToSignificant(40);
    return result;
}

std::optional<Decimal> Decimal::divide(const Decimal& a, const Decimal& b)
{
    if (b.isZero())
        return std::nullopt;
    if (b.digits.size() <= 18) {
        // b = B x 10^(exponent - digits): divide by the whole number B, then shift.
        const std::uint64_t whole = std::stoull(b.digits);
        Decimal result = a.dividedBy(whole);
        if (!result.isZero())
            result.exponent -= b.exponent - static_cast<int>(b.digits.size());
        result.negative = !result.isZero() && (a.negative != b.negative);
        return result;
    }
    auto approximate = fromDouble(a.toDouble() / b.toDouble());
    return approximate ? approximate : std::optional<Decimal>(Decimal{});
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
    // A BINARY_FLOAT or BINARY_DOUBLE negative zero is stored as "-0" and equals zero.
    if (a == "-0")
        a = "0";
    if (b == "-0")
        b = "0";
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
