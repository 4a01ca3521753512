#include "interval.h"

#include "ora_error.h"

#include <cstdio>

namespace oraemu {

namespace {

constexpr std::int64_t nanosPerSecond = 1000000000;
constexpr std::int64_t nanosPerDay = 86400 * nanosPerSecond;

[[noreturn]] void invalid()
{
    throw OraError(1867, "the interval is invalid");
}

std::int64_t powerOfTen(int exponent)
{
    std::int64_t value = 1;
    while (exponent-- > 0)
        value *= 10;
    return value;
}

// Reads digits from text[at]; at least one, at most `most`.
std::int64_t digitsAt(std::string_view text, std::size_t& at, std::size_t most)
{
    const std::size_t start = at;
    std::int64_t value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < most)
        value = value * 10 + (text[at++] - '0');
    if (at == start)
        invalid();
    return value;
}

void expect(std::string_view text, std::size_t& at, char c)
{
    if (at >= text.size() || text[at] != c)
        invalid();
    ++at;
}

}  // namespace

std::int64_t fitIntervalDaySecond(std::int64_t nanoseconds, const ColumnType& type)
{
    const bool negative = nanoseconds < 0;
    std::int64_t magnitude = negative ? -nanoseconds : nanoseconds;
    const std::int64_t unit = powerOfTen(9 - type.scale);
    magnitude = (magnitude + unit / 2) / unit * unit;
    if (magnitude / nanosPerDay >= powerOfTen(type.precision))
        throw OraError(1873, "the leading precision of the interval is too small");
    return negative ? -magnitude : magnitude;
}

std::int64_t parseIntervalDaySecond(std::string_view text, const ColumnType& type)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    std::size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    const std::int64_t days = digitsAt(text, at, 9);
    expect(text, at, ' ');
    const std::int64_t hours = digitsAt(text, at, 2);
    expect(text, at, ':');
    const std::int64_t minutes = digitsAt(text, at, 2);
    expect(text, at, ':');
    const std::int64_t seconds = digitsAt(text, at, 2);
    std::int64_t fraction = 0;
    if (at < text.size() && text[at] == '.') {
        ++at;
        const std::size_t start = at;
        fraction = digitsAt(text, at, 9) * powerOfTen(9 - static_cast<int>(at - start));
    }
    if (at != text.size())
        invalid();
    if (hours > 23)
        throw OraError(1850, "hour must be between 0 and 23");
    if (minutes > 59)
        throw OraError(1851, "minutes must be between 0 and 59");
    if (seconds > 59)
        throw OraError(1852, "seconds must be between 0 and 59");
    const std::int64_t total = days * nanosPerDay + ((hours * 60 + minutes) * 60 + seconds) * nanosPerSecond + fraction;
    return fitIntervalDaySecond(negative ? -total : total, type);
}

std::string formatIntervalDaySecond(std::int64_t nanoseconds, const ColumnType& type)
{
    const bool negative = nanoseconds < 0;
    const std::int64_t magnitude = negative ? -nanoseconds : nanoseconds;
    const std::int64_t days = magnitude / nanosPerDay;
    std::int64_t rest = magnitude % nanosPerDay;
    const std::int64_t fraction = rest % nanosPerSecond;
    rest /= nanosPerSecond;
    char buffer[64];
    int length = std::snprintf(buffer, sizeof buffer, "%c%0*lld %02lld:%02lld:%02lld", negative ? '-' : '+',
                               type.precision, static_cast<long long>(days), static_cast<long long>(rest / 3600),
                               static_cast<long long>(rest / 60 % 60), static_cast<long long>(rest % 60));
    if (type.scale > 0)
        length += std::snprintf(buffer + length, sizeof buffer - length, ".%0*lld", type.scale,
                                static_cast<long long>(fraction / powerOfTen(9 - type.scale)));
    return std::string(buffer, static_cast<std::size_t>(length));
}

}  // namespace oraemu
