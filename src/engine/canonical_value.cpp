#include "engine/canonical_value.h"

#include "db/padded_number.h"

#include <array>
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

void append(std::string& out, QByteArrayView bytes)
{
    out.append(bytes.data(), static_cast<std::size_t>(bytes.size()));
}

// A decimal text taken apart without copying: its digits are those of `whole` followed by those of
// `fraction`, and the decimal point stands before digit number `pointAt` (which an exponent may
// move out of the digits).
struct DecimalParts {
    bool signed_ = false;  // a sign written, "+" or "-"
    bool negative = false;
    QByteArrayView whole;
    bool hasPoint = false;
    QByteArrayView fraction;
    long long pointAt = 0;
    bool hasExponent = false;

    qsizetype digitCount() const { return whole.size() + fraction.size(); }
    char digit(qsizetype i) const { return i < whole.size() ? whole[i] : fraction[i - whole.size()]; }
};

QByteArrayView digitsFrom(QByteArrayView text, qsizetype& i)
{
    const qsizetype start = i;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return text.sliced(start, i - start);
}

// False when the text is no number.
bool parseDecimal(QByteArrayView text, DecimalParts& parts)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        parts.signed_ = true;
        parts.negative = text[i++] == '-';
    }
    parts.whole = digitsFrom(text, i);
    if (i < n && text[i] == '.') {
        ++i;
        parts.hasPoint = true;
        parts.fraction = digitsFrom(text, i);
    }
    parts.pointAt = parts.whole.size();
    if (parts.digitCount() == 0)
        return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        parts.hasExponent = true;
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
        parts.pointAt += negativeExponent ? -exponent : exponent;
    }
    return i == n;
}

// Appends digits number `from` to `to` (not included): at most one run of `whole` and one of
// `fraction`.
void appendDigits(std::string& out, const DecimalParts& parts, qsizetype from, qsizetype to)
{
    const qsizetype wholeSize = parts.whole.size();
    if (from < wholeSize) {
        const qsizetype end = std::min(to, wholeSize);
        append(out, parts.whole.sliced(from, end - from));
        from = end;
    }
    if (from < to)
        append(out, parts.fraction.sliced(from - wholeSize, to - from));
}

// True when the text of a number has its canonical form already, as most numbers Oracle writes
// do: no exponent, no plus sign, no leading zero but the one before a point, no trailing zero in
// the fraction, no negative zero.
bool isCanonicalDecimal(const DecimalParts& parts)
{
    const QByteArrayView whole = parts.whole;
    if (parts.hasExponent || (parts.signed_ && !parts.negative) || whole.isEmpty()
        || (whole.size() > 1 && whole.front() == '0'))
        return false;
    if (!parts.hasPoint)
        return !(parts.negative && whole == "0");
    return !parts.fraction.isEmpty() && parts.fraction.back() != '0';
}

// The canonical form of a decimal text: the text itself where it has that form already, else
// written into `scratch`.
QByteArrayView canonicalDecimalView(QByteArrayView text, std::string& scratch)
{
    text = trimmed(text);
    DecimalParts parts;
    if (!parseDecimal(text, parts) || isCanonicalDecimal(parts))
        return text;
    qsizetype first = 0;
    qsizetype last = parts.digitCount();
    while (first < last && parts.digit(first) == '0')
        ++first;
    while (last > first && parts.digit(last - 1) == '0')
        --last;
    if (first == last)
        return "0";
    const long long pointAt = parts.pointAt - first;
    const qsizetype count = last - first;
    scratch.clear();
    if (parts.negative)
        scratch += '-';
    if (pointAt <= 0) {
        scratch += "0.";
        scratch.append(static_cast<std::size_t>(-pointAt), '0');
        appendDigits(scratch, parts, first, last);
    } else if (pointAt >= count) {
        appendDigits(scratch, parts, first, last);
        scratch.append(static_cast<std::size_t>(pointAt - count), '0');
    } else {
        appendDigits(scratch, parts, first, first + pointAt);
        scratch += '.';
        appendDigits(scratch, parts, first + pointAt, last);
    }
    return QByteArrayView(scratch.data(), static_cast<qsizetype>(scratch.size()));
}

// The text without the trailing zeros of its fraction, and without a point that has no fraction.
QByteArrayView canonicalTimestampView(QByteArrayView text)
{
    text = trimmed(text);
    const qsizetype point = text.indexOf('.');
    if (point < 0)
        return text;
    while (text.size() > point + 1 && text.back() == '0')
        text.chop(1);
    if (text.size() == point + 1)
        text.chop(1);
    return text;
}

constexpr std::size_t isoDateTextCapacity = 32;  // "-32768-255-255 255:255:255" at the most

constexpr std::array<char, 200> twoDigitTable()
{
    std::array<char, 200> table{};
    for (int i = 0; i < 100; ++i) {
        table[2 * i] = static_cast<char>('0' + i / 10);
        table[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return table;
}

constexpr std::array<char, 200> twoDigits = twoDigitTable();

void writeTwoDigits(char* at, int value)  // 0 to 99
{
    at[0] = twoDigits[2 * value];
    at[1] = twoDigits[2 * value + 1];
}

// The usual date, years 0 to 9999 and every field below 100, as fixed columns of two digits.
bool writeUsualIsoDate(const OCIDate& date, char* buffer)
{
    const int fields[] = {date.OCIDateYYYY / 100,      date.OCIDateYYYY % 100,
                          date.OCIDateMM,              date.OCIDateDD,
                          date.OCIDateTime.OCITimeHH,  date.OCIDateTime.OCITimeMI,
                          date.OCIDateTime.OCITimeSS};
    if (date.OCIDateYYYY < 0 || date.OCIDateYYYY > 9999)
        return false;
    for (int field : fields)
        if (field > 99)
            return false;
    static constexpr char layout[] = "0000-00-00 00:00:00";
    static constexpr int fieldAt[] = {0, 2, 5, 8, 11, 14, 17};
    std::memcpy(buffer, layout, sizeof layout - 1);
    for (int i = 0; i < 7; ++i)
        writeTwoDigits(buffer + fieldAt[i], fields[i]);
    return true;
}

// Writes "YYYY-MM-DD HH:MM:SS" and returns its length.
std::size_t writeIsoDate(QByteArrayView ociDate, char* buffer)
{
    OCIDate date{};
    std::memcpy(&date, ociDate.data(), std::min<std::size_t>(sizeof date, ociDate.size()));
    if (writeUsualIsoDate(date, buffer))
        return sizeof "0000-00-00 00:00:00" - 1;
    const char* end = writeDateAndClock(buffer, date.OCIDateYYYY, date.OCIDateMM, date.OCIDateDD,
                                        date.OCIDateTime.OCITimeHH, date.OCIDateTime.OCITimeMI,
                                        date.OCIDateTime.OCITimeSS);
    return static_cast<std::size_t>(end - buffer);
}

}  // namespace

QByteArray canonicalDecimal(QByteArrayView text)
{
    std::string scratch;
    return canonicalDecimalView(text, scratch).toByteArray();
}

QByteArray canonicalTimestamp(QByteArrayView text)
{
    return canonicalTimestampView(text).toByteArray();
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
    char buffer[isoDateTextCapacity];
    return QByteArray(buffer, static_cast<qsizetype>(writeIsoDate(ociDate, buffer)));
}

namespace {

bool isStreamed(OracleBindKind kind, bool blankPadded)
{
    switch (kind) {
    case OracleBindKind::Clob:
    case OracleBindKind::Blob:
    case OracleBindKind::Raw:
        return true;
    case OracleBindKind::Text:
        return !blankPadded;
    default:
        return false;
    }
}

}  // namespace

CanonicalValueHash::CanonicalValueHash(OracleBindKind kind, bool blankPadded)
    : kind_(kind), streams_(isStreamed(kind, blankPadded))
{
}

void CanonicalValueHash::add(QByteArrayView piece)
{
    if (streams_)
        hash_.add(piece);
    else
        append(collected_, piece);
}

QByteArrayView CanonicalValueHash::canonicalForm(QByteArrayView value)
{
    switch (kind_) {
    case OracleBindKind::Number: return canonicalDecimalView(value, canonical_);
    case OracleBindKind::Timestamp: return canonicalTimestampView(value);
    case OracleBindKind::Interval: {
        const QByteArray interval = canonicalInterval(value);
        canonical_.assign(interval.constData(), static_cast<std::size_t>(interval.size()));
        return QByteArrayView(canonical_.data(), static_cast<qsizetype>(canonical_.size()));
    }
    case OracleBindKind::Date:
        if (value.isEmpty())
            return {};
        canonical_.resize(isoDateTextCapacity);
        canonical_.resize(writeIsoDate(value, canonical_.data()));
        return QByteArrayView(canonical_.data(), static_cast<qsizetype>(canonical_.size()));
    default:  // blank-padded text
        while (!value.isEmpty() && value.back() == ' ')
            value.chop(1);
        return value;
    }
}

std::uint64_t CanonicalValueHash::finish()
{
    if (!streams_) {
        const std::uint64_t result = hashWhole(
            canonicalForm(QByteArrayView(collected_.data(), static_cast<qsizetype>(collected_.size()))));
        collected_.clear();
        return result;
    }
    const std::uint64_t result = hash_.length() == 0 ? nullHash() : hash_.finish();
    hash_.clear();
    return result;
}

std::uint64_t CanonicalValueHash::hashOf(QByteArrayView value)
{
    return hashWhole(streams_ ? value : canonicalForm(value));
}

std::uint64_t CanonicalValueHash::hashWhole(QByteArrayView canonical)
{
    return canonical.isEmpty() ? nullHash() : ContentHash::of(canonical);
}

std::uint64_t CanonicalValueHash::nullHash()
{
    return 0x6A09E667F3BCC908ULL;
}

}  // namespace dovrelle
