#include "time_zone.h"

#include "ora_error.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace oraemu {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
long long daysFromCivil(long long y, int m, int d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(long long z, DateTime& out)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    out.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    out.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    out.year = static_cast<int>(yoe + era * 400 + (out.month <= 2));
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int parseTimeZone(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "UTC" || upper == "GMT" || upper == "Z" || upper == "DBTIMEZONE")
        return 0;
    if (upper.empty() || (upper[0] != '+' && upper[0] != '-'))
        throw OraError(1882, "timezone region not found");
    const bool negative = upper[0] == '-';
    std::size_t at = 1;
    int hours = 0, minutes = 0, digits = 0;
    while (at < upper.size() && isDigit(upper[at]) && digits < 2) {
        hours = hours * 10 + (upper[at++] - '0');
        ++digits;
    }
    if (digits == 0)
        throw OraError(1857, "not a valid time zone");
    if (at < upper.size()) {
        if (upper[at] != ':' || upper.size() - at - 1 != 2 || !isDigit(upper[at + 1]) || !isDigit(upper[at + 2]))
            throw OraError(1857, "not a valid time zone");
        minutes = (upper[at + 1] - '0') * 10 + (upper[at + 2] - '0');
    }
    if (hours > 14)
        throw OraError(1874, "time zone hour must be between -15 and 15");
    if (minutes > 59)
        throw OraError(1875, "time zone minute must be between -59 and 59");
    const int total = hours * 60 + minutes;
    return negative ? -total : total;
}

std::string formatTimeZone(int minutes)
{
    char buffer[16];
    const int magnitude = minutes < 0 ? -minutes : minutes;
    std::snprintf(buffer, sizeof buffer, "%c%02d:%02d", minutes < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
    return buffer;
}

int sessionTimeZoneAtLogon()
{
    if (const char* setting = std::getenv("ORA_SDTZ"); setting && *setting) {
        try {
            return parseTimeZone(setting);
        } catch (const OraError&) {
            // OS_TZ, LOCAL or a region name: the machine's own offset below
        }
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<int>(local.tm_gmtoff / 60);
}

DateTime shiftMinutes(const DateTime& value, int minutes)
{
    long long total = daysFromCivil(value.year, value.month, value.day) * 1440LL + value.hour * 60 + value.minute +
                      minutes;
    long long days = total / 1440;
    long long rest = total % 1440;
    if (rest < 0) {
        rest += 1440;
        --days;
    }
    DateTime out = value;
    civilFromDays(days, out);
    out.hour = static_cast<int>(rest / 60);
    out.minute = static_cast<int>(rest % 60);
    return out;
}

std::int64_t nanosSinceEpoch(const DateTime& value)
{
    const long long seconds = daysFromCivil(value.year, value.month, value.day) * 86400LL + value.hour * 3600LL +
                              value.minute * 60LL + value.second;
    return seconds * 1000000000LL + value.nanos;
}

DateTime fromNanosSinceEpoch(std::int64_t nanoseconds)
{
    constexpr std::int64_t nanosPerDay = 86400LL * 1000000000LL;
    std::int64_t days = nanoseconds / nanosPerDay;
    std::int64_t rest = nanoseconds % nanosPerDay;
    if (rest < 0) {
        rest += nanosPerDay;
        --days;
    }
    DateTime out;
    civilFromDays(days, out);
    const std::int64_t seconds = rest / 1000000000LL;
    out.hour = static_cast<int>(seconds / 3600);
    out.minute = static_cast<int>(seconds / 60 % 60);
    out.second = static_cast<int>(seconds % 60);
    out.nanos = static_cast<std::uint32_t>(rest % 1000000000LL);
    return out;
}

std::string zonedStorage(const DateTime& local, int offsetMinutes, int fractionDigits)
{
    return shiftMinutes(local, -offsetMinutes).toStorage(fractionDigits) + ' ' + formatTimeZone(offsetMinutes);
}

DateTime zonedFromStorage(std::string_view text)
{
    const std::size_t blank = text.rfind(' ');
    const bool zoned = blank != std::string_view::npos && blank > 10;
    const int offset = zoned ? parseTimeZone(text.substr(blank + 1)) : 0;
    DateTime value = shiftMinutes(DateTime::fromStorage(zoned ? text.substr(0, blank) : text), offset);
    value.offsetMinutes = offset;
    return value;
}

DateTime clockTimeOf(std::string_view stored, const ColumnType& type, const Nls& nls)
{
    if (type.kind == ColumnType::Kind::TimestampTz)
        return zonedFromStorage(stored);
    if (type.kind == ColumnType::Kind::TimestampLtz) {
        DateTime value = shiftMinutes(DateTime::fromStorage(stored), nls.timeZoneMinutes);
        value.offsetMinutes = nls.timeZoneMinutes;
        return value;
    }
    return DateTime::fromStorage(stored);
}

}  // namespace oraemu
