#include "db/value.h"

#include <charconv>
#include <cmath>

namespace dovrelle {

namespace {

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

QString padded(int number, int width)
{
    return QStringLiteral("%1").arg(number, width, 10, QLatin1Char('0'));
}

// Shortest text that reads back as the same double ("0.1", "1e+300"); inf and nan spelled out.
QString doubleText(double v)
{
    if (std::isnan(v))
        return QStringLiteral("NaN");
    if (std::isinf(v))
        return v < 0 ? QStringLiteral("-Infinity") : QStringLiteral("Infinity");
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString dateText(const DateTimeParts& p)
{
    return padded(p.year, 4) + u'-' + padded(p.month, 2) + u'-' + padded(p.day, 2);
}

// "HH:MM:SS[.ffffff]" with as many fraction digits as the source declared; hours may exceed 23.
QString timeText(const DateTimeParts& p)
{
    QString text = padded(p.hour, 2) + u':' + padded(p.minute, 2) + u':' + padded(p.second, 2);
    const int digits = p.fractionDigits > 0 ? qMin(p.fractionDigits, 6) : (p.microsecond != 0 ? 6 : 0);
    if (digits > 0)
        text += u'.' + padded(p.microsecond, 6).left(digits);
    return text;
}

}  // namespace

bool DateTimeParts::isValidDate() const
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1
        && day <= daysInMonth(year, month);
}

QString DateTimeParts::toIsoText() const
{
    return dateText(*this) + u' ' + timeText(*this);
}

QString Value::toText() const
{
    switch (kind_) {
    case Kind::Null:
        return {};
    case Kind::Bool:
        return asBool() ? QStringLiteral("1") : QStringLiteral("0");
    case Kind::Int:
        return QString::number(asInt());
    case Kind::UInt:
        return QString::number(asUInt());
    case Kind::Double:
        return doubleText(asDouble());
    case Kind::Decimal:
    case Kind::Text:
        return asString();
    case Kind::Bytes:
        return QString::fromLatin1(asBytes().toHex()).toUpper();
    case Kind::Date:
        return dateText(asDateTime());
    case Kind::Time:
        return (asDateTime().negative ? QStringLiteral("-") : QString()) + timeText(asDateTime());
    case Kind::DateTime:
        return asDateTime().toIsoText();
    }
    return {};
}

}  // namespace dovrelle
