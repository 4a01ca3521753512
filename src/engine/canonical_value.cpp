#include "engine/canonical_value.h"

#include <cstring>

namespace dovrelle {

namespace {

constexpr int maxExponent = 400;  // far beyond Oracle's NUMBER range

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

QByteArrayView trimmed(QByteArrayView text)
{
    while (!text.isEmpty() && text.front() == ' ')
        text = text.sliced(1);
    while (!text.isEmpty() && text.back() == ' ')
        text.chop(1);
    return text;
}

// Splits a decimal text into its sign, its digits and the place of the decimal point among them;
// false when it is no number.
bool parseDecimal(QByteArrayView text, bool& negative, QByteArray& digits, long long& pointAt)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    for (; i < n && isDigit(text[i]); ++i)
        digits.append(text[i]);
    pointAt = digits.size();
    if (i < n && text[i] == '.')
        for (++i; i < n && isDigit(text[i]); ++i)
            digits.append(text[i]);
    if (digits.isEmpty())
        return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            negativeExponent = text[i++] == '-';
        long long exponent = 0;
        const qsizetype start = i;
        for (; i < n && isDigit(text[i]); ++i)
            exponent = std::min<long long>(exponent * 10 + (text[i] - '0'), 1000000);
        if (i == start || exponent > maxExponent)
            return false;
        pointAt += negativeExponent ? -exponent : exponent;
    }
    return i == n;
}

}  // namespace

QByteArray canonicalDecimal(QByteArrayView text)
{
    text = trimmed(text);
    bool negative = false;
    QByteArray digits;
    long long pointAt = 0;
    if (!parseDecimal(text, negative, digits, pointAt))
        return text.toByteArray();
    qsizetype leadingZeros = 0;
    while (leadingZeros < digits.size() && digits[leadingZeros] == '0')
        ++leadingZeros;
    digits.remove(0, leadingZeros);
    pointAt -= leadingZeros;
    while (!digits.isEmpty() && digits.back() == '0')
        digits.chop(1);
    if (digits.isEmpty())
        return QByteArrayLiteral("0");
    QByteArray result = negative ? QByteArrayLiteral("-") : QByteArray();
    if (pointAt <= 0)
        result += "0." + QByteArray(-pointAt, '0') + digits;
    else if (pointAt >= digits.size())
        result += digits + QByteArray(pointAt - digits.size(), '0');
    else
        result += digits.left(pointAt) + '.' + digits.mid(pointAt);
    return result;
}

QByteArray canonicalTimestamp(QByteArrayView text)
{
    QByteArray result = trimmed(text).toByteArray();
    const qsizetype point = result.indexOf('.');
    if (point < 0)
        return result;
    while (result.size() > point + 1 && result.back() == '0')
        result.chop(1);
    if (result.size() == point + 1)
        result.chop(1);
    return result;
}

QByteArray canonicalInterval(QByteArrayView text)
{
    text = trimmed(text);
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const qsizetype space = text.indexOf(' ', i);
    if (space <= i)
        return text.toByteArray();
    const QByteArray days = canonicalDecimal(text.sliced(i, space - i));
    const QByteArrayView clock = text.sliced(space + 1);
    const qsizetype point = clock.indexOf('.');
    const QByteArrayView hms = point < 0 ? clock : clock.first(point);
    if (hms.size() != 8 || hms[2] != ':' || hms[5] != ':' || days.contains('.')
        || days.startsWith('-'))
        return text.toByteArray();
    QByteArray fraction = point < 0 ? QByteArray() : clock.sliced(point + 1).toByteArray();
    while (!fraction.isEmpty() && fraction.back() == '0')
        fraction.chop(1);
    const bool zero = days == "0" && hms == "00:00:00" && fraction.isEmpty();
    QByteArray result = (negative && !zero) ? QByteArrayLiteral("-") : QByteArrayLiteral("+");
    result += days + ' ' + hms.toByteArray();
    if (!fraction.isEmpty())
        result += '.' + fraction;
    return result;
}

QByteArray isoDateText(QByteArrayView ociDate)
{
    OCIDate date{};
    std::memcpy(&date, ociDate.data(), std::min<std::size_t>(sizeof date, ociDate.size()));
    char buffer[32];
    const int length = std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d",
                                     int(date.OCIDateYYYY), int(date.OCIDateMM),
                                     int(date.OCIDateDD), int(date.OCIDateTime.OCITimeHH),
                                     int(date.OCIDateTime.OCITimeMI),
                                     int(date.OCIDateTime.OCITimeSS));
    return QByteArray(buffer, length);
}

CanonicalValueHash::CanonicalValueHash(OracleBindKind kind, bool blankPadded)
    : kind_(kind), blankPadded_(blankPadded)
{
}

bool CanonicalValueHash::streams() const
{
    switch (kind_) {
    case OracleBindKind::Clob:
    case OracleBindKind::Blob:
    case OracleBindKind::Raw:
        return true;
    case OracleBindKind::Text:
        return !blankPadded_;
    default:
        return false;
    }
}

void CanonicalValueHash::add(QByteArrayView piece)
{
    if (streams())
        hash_.add(piece);
    else
        collected_.append(piece);
}

std::uint64_t CanonicalValueHash::finish()
{
    if (!streams()) {
        QByteArray canonical;
        switch (kind_) {
        case OracleBindKind::Number: canonical = canonicalDecimal(collected_); break;
        case OracleBindKind::Timestamp: canonical = canonicalTimestamp(collected_); break;
        case OracleBindKind::Interval: canonical = canonicalInterval(collected_); break;
        case OracleBindKind::Date:
            canonical = collected_.isEmpty() ? QByteArray() : isoDateText(collected_);
            break;
        default:  // blank-padded text
            canonical = collected_;
            while (!canonical.isEmpty() && canonical.back() == ' ')
                canonical.chop(1);
            break;
        }
        hash_.add(canonical);
    }
    return hash_.length() == 0 ? nullHash() : hash_.finish();
}

std::uint64_t CanonicalValueHash::nullHash()
{
    return 0x6A09E667F3BCC908ULL;
}

}  // namespace dovrelle
