#include "datetime.h"

#include "ora_error.h"
#include "time_zone.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace oraemu {

namespace {

const char* const monthNames[12] = {"JANUARY", "FEBRUARY", "MARCH",     "APRIL",   "MAY",      "JUNE",
                                    "JULY",    "AUGUST",   "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isAlpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
char upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool startsWithNoCase(std::string_view text, std::size_t at, std::string_view prefix)
{
    if (text.size() - at < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (upper(text[at + i]) != prefix[i])
            return false;
    return true;
}

std::string applyCase(std::string word, int letterCase)
{
    // 0 upper, 1 lower, 2 capital
    for (std::size_t i = 0; i < word.size(); ++i) {
        const bool up = letterCase == 0 || (letterCase == 2 && i == 0);
        word[i] = static_cast<char>(up ? std::toupper(static_cast<unsigned char>(word[i]))
                                       : std::tolower(static_cast<unsigned char>(word[i])));
    }
    return word;
}

// What "%0*ld" gives, without snprintf: a fetch formats every date it returns, field by field.
std::string padded(long value, int width)
{
    const bool negative = value < 0;
    unsigned long magnitude = negative ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    char digits[24];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    std::string text;
    if (negative)
        text += '-';
    text.append(static_cast<std::size_t>(std::max(0, width - count - (negative ? 1 : 0))), '0');
    while (count > 0)
        text += digits[--count];
    return text;
}

}  // namespace

int daysInMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2) {
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        return leap ? 29 : 28;
    }
    return days[month - 1];
}

void DateTime::validate() const
{
    if (year == 0 || year < -4713 || year > 9999)
        throw OraError(1841, "(full) year must be between -4713 and +9999, and not be 0");
    if (month < 1 || month > 12)
        throw OraError(1843, "not a valid month");
    if (day < 1 || day > daysInMonth(year, month))
        throw OraError(1847, "day of month must be between 1 and last day of month");
    if (hour < 0 || hour > 23)
        throw OraError(1850, "hour must be between 0 and 23");
    if (minute < 0 || minute > 59)
        throw OraError(1851, "minutes must be between 0 and 59");
    if (second < 0 || second > 59)
        throw OraError(1852, "seconds must be between 0 and 59");
}

std::string DateTime::toStorage(int fractionDigits) const
{
    std::string out;
    storeInto(out, fractionDigits);
    return out;
}

namespace {

// "00" to "99", for writing numbers two digits at a time.
constexpr auto digitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

}  // namespace

// Written two digits at a time: a bulk load stores two dates a row, and this runs once per value.
void DateTime::storeInto(std::string& out, int fractionDigits) const
{
    char text[64];
    const auto twoDigits = [](int value) { return value >= 0 && value <= 99; };
    const bool plain = year >= 0 && year <= 9999 && twoDigits(month) && twoDigits(day) && twoDigits(hour) &&
                       twoDigits(minute) && twoDigits(second);
    if (!plain) {
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
        out.assign(text);
    } else {
        const auto put = [&text](int at, int value, int width) {
            for (int i = width - 2; i >= 0; i -= 2, value /= 100)
                std::memcpy(text + at + i, digitPairs.data() + 2 * (value % 100), 2);
        };
        put(0, year, 4);
        text[4] = '-';
        put(5, month, 2);
        text[7] = '-';
        put(8, day, 2);
        text[10] = ' ';
        put(11, hour, 2);
        text[13] = ':';
        put(14, minute, 2);
        text[16] = ':';
        put(17, second, 2);
        out.assign(text, 19);
    }
    if (fractionDigits > 0) {
        char fraction[9];
        std::uint32_t rest = nanos;
        for (int i = 8; i >= 0; --i, rest /= 10)
            fraction[i] = static_cast<char>('0' + rest % 10);
        out += '.';
        out.append(fraction, std::min(fractionDigits, 9));
    }
}

DateTime DateTime::fromStorage(std::string_view text)
{
    DateTime value;
    auto number = [&](std::size_t at, std::size_t width) {
        int n = 0;
        for (std::size_t i = at; i < at + width && i < text.size(); ++i)
            n = n * 10 + (text[i] - '0');
        return n;
    };
    value.year = number(0, 4);
    value.month = number(5, 2);
    value.day = number(8, 2);
    value.hour = number(11, 2);
    value.minute = number(14, 2);
    value.second = number(17, 2);
    if (text.size() > 20) {
        std::string fraction(text.substr(20, 9));
        fraction.resize(9, '0');
        value.nanos = static_cast<std::uint32_t>(std::stoul(fraction));
    }
    return value;
}

void DateTime::roundFraction(int digits)
{
    std::uint32_t unit = 1;
    for (int i = digits; i < 9; ++i)
        unit *= 10;
    const std::uint64_t rounded = (static_cast<std::uint64_t>(nanos) + unit / 2) / unit * unit;
    if (rounded < 1000000000u) {
        nanos = static_cast<std::uint32_t>(rounded);
        return;
    }
    nanos = 0;
    if (++second < 60)
        return;
    second = 0;
    if (++minute < 60)
        return;
    minute = 0;
    if (++hour < 24)
        return;
    hour = 0;
    if (++day <= daysInMonth(year, month))
        return;
    day = 1;
    if (++month <= 12)
        return;
    month = 1;
    ++year;
}

DateTime DateTime::now()
{
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    DateTime value;
    value.year = local.tm_year + 1900;
    value.month = local.tm_mon + 1;
    value.day = local.tm_mday;
    value.hour = local.tm_hour;
    value.minute = local.tm_min;
    value.second = local.tm_sec;
    return value;
}

DateFormat::DateFormat(std::string_view model) : model_(model)
{
    std::size_t i = 0;
    auto add = [&](Kind kind, std::size_t length) {
        Element element{kind, {}, 0, Case::Upper};
        if (length >= 2 && std::islower(static_cast<unsigned char>(model[i])))
            element.letterCase = Case::Lower;
        else if (length >= 2 && std::islower(static_cast<unsigned char>(model[i + 1])))
            element.letterCase = Case::Capital;
        elements_.push_back(element);
        i += length;
    };
    while (i < model.size()) {
        const char c = model[i];
        if (c == '"') {
            const std::size_t close = model.find('"', i + 1);
            if (close == std::string_view::npos)
                throw OraError(1821, "date format not recognized");
            elements_.push_back({Kind::Literal, std::string(model.substr(i + 1, close - i - 1))});
            i = close + 1;
        } else if (!isAlpha(c)) {
            elements_.push_back({Kind::Literal, std::string(1, c)});
            ++i;
        } else if (startsWithNoCase(model, i, "YYYY")) {
            add(Kind::Year4, 4);
        } else if (startsWithNoCase(model, i, "RRRR")) {
            add(Kind::RYear4, 4);
        } else if (startsWithNoCase(model, i, "YY")) {
            add(Kind::Year2, 2);
        } else if (startsWithNoCase(model, i, "RR")) {
            add(Kind::RYear2, 2);
        } else if (startsWithNoCase(model, i, "MONTH")) {
            add(Kind::MonthName, 5);
        } else if (startsWithNoCase(model, i, "MON")) {
            add(Kind::MonthAbbrev, 3);
        } else if (startsWithNoCase(model, i, "MM")) {
            add(Kind::Month, 2);
        } else if (startsWithNoCase(model, i, "MI")) {
            add(Kind::Minute, 2);
        } else if (startsWithNoCase(model, i, "DD")) {
            add(Kind::Day, 2);
        } else if (startsWithNoCase(model, i, "HH24")) {
            add(Kind::Hour24, 4);
        } else if (startsWithNoCase(model, i, "HH12")) {
            add(Kind::Hour12, 4);
        } else if (startsWithNoCase(model, i, "HH")) {
            add(Kind::Hour12, 2);
        } else if (startsWithNoCase(model, i, "SS")) {
            add(Kind::Second, 2);
        } else if (startsWithNoCase(model, i, "FF")) {
            add(Kind::Fraction, 2);
            if (i < model.size() && model[i] >= '1' && model[i] <= '9')
                elements_.back().digits = model[i++] - '0';
        } else if (startsWithNoCase(model, i, "A.M.") || startsWithNoCase(model, i, "P.M.")) {
            add(Kind::Meridian, 4);
        } else if (startsWithNoCase(model, i, "AM") || startsWithNoCase(model, i, "PM")) {
            add(Kind::Meridian, 2);
        } else if (startsWithNoCase(model, i, "TZH")) {
            add(Kind::TzHour, 3);
        } else if (startsWithNoCase(model, i, "TZM")) {
            add(Kind::TzMinute, 3);
        } else if (startsWithNoCase(model, i, "TZR")) {
            add(Kind::TzRegion, 3);
        } else if (upper(c) == 'X') {
            add(Kind::Radix, 1);
        } else {
            throw OraError(1821, "date format not recognized");
        }
    }
}

DateTime DateFormat::parse(std::string_view text) const
{
    const DateTime today = DateTime::now();
    DateTime value;
    value.year = today.year;
    value.month = today.month;
    int hour12 = -1;
    bool pm = false, meridianSeen = false, zoneNegative = false;
    std::size_t at = 0;
    auto skipBlanks = [&] {
        while (at < text.size() && text[at] == ' ')
            ++at;
    };
    auto readNumber = [&](int maxDigits, int* width = nullptr) {
        skipBlanks();
        if (at >= text.size())
            throw OraError(1840, "input value not long enough for date format");
        bool negative = false;
        if (text[at] == '-' && maxDigits == 4 && at + 1 < text.size() && isDigit(text[at + 1])) {
            negative = true;
            ++at;
        }
        if (!isDigit(text[at]))
            throw OraError(1858, "a non-numeric character was found where a numeric was expected");
        long n = 0;
        int count = 0;
        while (at < text.size() && isDigit(text[at]) && count < maxDigits) {
            n = n * 10 + (text[at++] - '0');
            ++count;
        }
        if (width)
            *width = count;
        return static_cast<int>(negative ? -n : n);
    };
    bool consumedAny = false;
    for (const Element& element : elements_) {
        // Oracle lets the text end early: the remaining fields keep their defaults.
        if (consumedAny && at >= text.size())
            break;
        consumedAny = consumedAny || element.kind != Kind::Literal;
        switch (element.kind) {
        case Kind::Literal:
            for (char expected : element.literal) {
                if (at >= text.size())
                    break;  // Oracle lets trailing separators of the model go unmatched
                const char got = text[at];
                const bool bothSeparators = !isAlpha(expected) && !isDigit(expected) &&
                                            !isAlpha(got) && !isDigit(got);
                if (got == expected || bothSeparators || upper(got) == upper(expected))
                    ++at;
                else
                    throw OraError(1861, "literal does not match format string");
            }
            break;
        case Kind::Year4:
        case Kind::RYear4: {
            int width = 0;
            const int year = readNumber(4, &width);
            value.year = (element.kind == Kind::RYear4 && width <= 2) ? (year < 50 ? 2000 + year : 1900 + year)
                                                                     : year;
            if (value.year == 0)
                throw OraError(1841, "(full) year must be between -4713 and +9999, and not be 0");
            break;
        }
        case Kind::Year2:
            value.year = today.year / 100 * 100 + readNumber(2);
            break;
        case Kind::RYear2: {
            int width = 0;
            const int year = readNumber(4, &width);
            value.year = width <= 2 ? (year < 50 ? 2000 + year : 1900 + year) : year;
            break;
        }
        case Kind::Month:
            value.month = readNumber(2);
            if (value.month < 1 || value.month > 12)
                throw OraError(1843, "not a valid month");
            break;
        case Kind::MonthAbbrev:
        case Kind::MonthName: {
            skipBlanks();
            int found = 0;
            for (int m = 0; m < 12 && !found; ++m) {
                const std::string full = monthNames[m];
                if (startsWithNoCase(text, at, full)) {
                    at += full.size();
                    found = m + 1;
                } else if (startsWithNoCase(text, at, full.substr(0, 3))) {
                    at += 3;
                    found = m + 1;
                }
            }
            if (!found)
                throw OraError(1843, "not a valid month");
            value.month = found;
            break;
        }
        case Kind::Day:
            value.day = readNumber(2);
            if (value.day < 1 || value.day > 31)
                throw OraError(1847, "day of month must be between 1 and last day of month");
            break;
        case Kind::Hour24:
            value.hour = readNumber(2);
            if (value.hour > 23)
                throw OraError(1850, "hour must be between 0 and 23");
            break;
        case Kind::Hour12:
            hour12 = readNumber(2);
            if (hour12 < 1 || hour12 > 12)
                throw OraError(1849, "hour must be between 1 and 12");
            break;
        case Kind::Minute:
            value.minute = readNumber(2);
            if (value.minute > 59)
                throw OraError(1851, "minutes must be between 0 and 59");
            break;
        case Kind::Second:
            value.second = readNumber(2);
            if (value.second > 59)
                throw OraError(1852, "seconds must be between 0 and 59");
            break;
        case Kind::Fraction: {
            int width = 0;
            long n = readNumber(9, &width);
            for (int k = width; k < 9; ++k)
                n *= 10;
            value.nanos = static_cast<std::uint32_t>(n);
            break;
        }
        case Kind::Meridian: {
            skipBlanks();
            meridianSeen = true;
            if (startsWithNoCase(text, at, "A.M.") || startsWithNoCase(text, at, "P.M.")) {
                pm = upper(text[at]) == 'P';
                at += 4;
            } else if (startsWithNoCase(text, at, "AM") || startsWithNoCase(text, at, "PM")) {
                pm = upper(text[at]) == 'P';
                at += 2;
            } else {
                throw OraError(1855, "AM/A.M. or PM/P.M. required");
            }
            break;
        }
        case Kind::Radix:
            if (at < text.size() && (text[at] == '.' || text[at] == ','))
                ++at;
            else if (at < text.size())
                throw OraError(1861, "literal does not match format string");
            break;
        case Kind::TzHour: {
            skipBlanks();
            zoneNegative = at < text.size() && text[at] == '-';
            if (at < text.size() && (text[at] == '+' || text[at] == '-'))
                ++at;
            const int hours = readNumber(2);
            if (hours > 14)
                throw OraError(1874, "time zone hour must be between -15 and 15");
            value.offsetMinutes = zoneNegative ? -hours * 60 : hours * 60;
            value.offsetGiven = true;
            break;
        }
        case Kind::TzMinute: {
            const int minutes = readNumber(2);
            if (minutes > 59)
                throw OraError(1875, "time zone minute must be between -59 and 59");
            value.offsetMinutes += zoneNegative ? -minutes : minutes;
            break;
        }
        case Kind::TzRegion: {
            skipBlanks();
            std::size_t end = at;
            while (end < text.size() && text[end] != ' ')
                ++end;
            value.offsetMinutes = parseTimeZone(text.substr(at, end - at));
            value.offsetGiven = true;
            at = end;
            break;
        }
        }
    }
    skipBlanks();
    if (at < text.size())
        throw OraError(1830, "date format picture ends before converting entire input string");
    if (hour12 >= 0)
        value.hour = (hour12 % 12) + ((meridianSeen && pm) ? 12 : 0);
    value.validate();
    return value;
}

std::string DateFormat::format(const DateTime& value, int fractionDigits) const
{
    std::string out;
    for (const Element& element : elements_) {
        const int letterCase = static_cast<int>(element.letterCase);
        switch (element.kind) {
        case Kind::Literal: out += element.literal; break;
        case Kind::Year4:
        case Kind::RYear4: out += padded(value.year, 4); break;
        case Kind::Year2:
        case Kind::RYear2: out += padded(((value.year % 100) + 100) % 100, 2); break;
        case Kind::Month: out += padded(value.month, 2); break;
        case Kind::MonthAbbrev:
            out += applyCase(std::string(monthNames[value.month - 1]).substr(0, 3), letterCase);
            break;
        case Kind::MonthName: {
            std::string name = applyCase(monthNames[value.month - 1], letterCase);
            name.resize(9, ' ');
            out += name;
            break;
        }
        case Kind::Day: out += padded(value.day, 2); break;
        case Kind::Hour24: out += padded(value.hour, 2); break;
        case Kind::Hour12: out += padded(value.hour % 12 == 0 ? 12 : value.hour % 12, 2); break;
        case Kind::Minute: out += padded(value.minute, 2); break;
        case Kind::Second: out += padded(value.second, 2); break;
        case Kind::Fraction: {
            const int digits = element.digits ? element.digits : fractionDigits;
            out += padded(value.nanos, 9).substr(0, digits);
            break;
        }
        case Kind::Meridian: out += value.hour < 12 ? "AM" : "PM"; break;
        case Kind::Radix: out += '.'; break;
        case Kind::TzHour: {
            const int magnitude = value.offsetMinutes < 0 ? -value.offsetMinutes : value.offsetMinutes;
            out += (value.offsetMinutes < 0 ? "-" : "+") + padded(magnitude / 60, 2);
            break;
        }
        case Kind::TzMinute:
            out += padded((value.offsetMinutes < 0 ? -value.offsetMinutes : value.offsetMinutes) % 60, 2);
            break;
        case Kind::TzRegion: out += formatTimeZone(value.offsetMinutes); break;
        }
    }
    return out;
}

}  // namespace oraemu
