#include "db/oracle_column.h"

#include "db/error.h"
#include "db/padded_number.h"
#include "db/utf8_text.h"

#include <QDate>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace dovrelle {

namespace {

// Oracle NUMBER holds magnitudes below 1E126, and no non-zero magnitude below 1E-130.
constexpr int maxNumberMagnitude = 126;
constexpr double firstMagnitudeBeyondNumber = 1e126;
constexpr double smallestNumberMagnitude = 1e-130;

void appendAscii(std::string& out, QStringView text)
{
    out.reserve(out.size() + text.size());
    for (QChar c : text)
        out.push_back(static_cast<char>(c.unicode()));
}

void appendAscii(std::string& out, QLatin1StringView text)
{
    out.append(text.data(), static_cast<std::size_t>(text.size()));
}

// The text without the white space (as QChar::isSpace tells it) at either end.
template <typename View>
View withoutOuterSpaces(View text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && QChar(text[begin]).isSpace())
        ++begin;
    while (end > begin && QChar(text[end - 1]).isSpace())
        --end;
    return text.sliced(begin, end - begin);
}

template <typename T>
void appendNumber(std::string& out, T number)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    out.append(buffer, result.ptr);
}

// Checks that `text` is a decimal number Oracle can hold ("-12.50", "1e5", ".5") and appends it.
// Returns false for an empty text, which Oracle takes as NULL. Reads UTF-16 text and the Latin-1
// text of MySQL's decimals alike.
template <typename View>
bool appendDecimalText(View original, std::string& out)
{
    const View text = withoutOuterSpaces(original);
    if (original.isEmpty())
        return false;
    auto fail = [&](const QString& why) -> bool {
        throw Error(QStringLiteral("'%1' %2").arg(original.toString(), why));
    };
    const auto at = [&](qsizetype i) { return QChar(text[i]); };
    const auto isDigit = [&](qsizetype i) { return at(i).isDigit() && at(i).unicode() < 128; };
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (at(i) == u'+' || at(i) == u'-'))
        ++i;
    int integerDigits = 0, leadingZeros = 0, fractionZerosBeforeFirst = 0;
    bool nonZeroSeen = false, anyDigit = false;
    for (; i < n && isDigit(i); ++i) {
        anyDigit = true;
        if (at(i) != u'0')
            nonZeroSeen = true;
        if (nonZeroSeen)
            ++integerDigits;
        else
            ++leadingZeros;
    }
    if (i < n && at(i) == u'.') {
        ++i;
        for (; i < n && isDigit(i); ++i) {
            anyDigit = true;
            if (!nonZeroSeen) {
                if (at(i) == u'0')
                    ++fractionZerosBeforeFirst;
                else
                    nonZeroSeen = true;
            }
        }
    }
    if (!anyDigit)
        return fail(QStringLiteral("is not a number"));
    long long exponent = 0;
    if (i < n && (at(i) == u'e' || at(i) == u'E')) {
        ++i;
        bool negative = false;
        if (i < n && (at(i) == u'+' || at(i) == u'-'))
            negative = at(i++) == u'-';
        const qsizetype start = i;
        for (; i < n && isDigit(i); ++i)
            exponent = qMin(exponent * 10 + (at(i).unicode() - '0'), 1000000LL);
        if (i == start)
            return fail(QStringLiteral("is not a number"));
        if (negative)
            exponent = -exponent;
    }
    if (i != n)
        return fail(QStringLiteral("is not a number"));
    Q_UNUSED(leadingZeros);
    if (nonZeroSeen) {
        const long long magnitude =
            (integerDigits > 0 ? integerDigits : -fractionZerosBeforeFirst) + exponent;
        if (magnitude > maxNumberMagnitude)
            return fail(QStringLiteral("is too large for an Oracle NUMBER"));
    }
    appendAscii(out, text);
    return true;
}

// The shortest text that reads back as the same binary value, appended to `out`.
void appendShortestFloatingPointText(double value, bool singlePrecision, std::string& out)
{
    char buffer[64];
    const char* const end = singlePrecision
        ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value)).ptr
        : std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    // "1e308", "2.5e-7": the exponent as Oracle and MySQL print it, without "+" or leading zeros.
    const char* const begin = buffer;
    const char* const e = std::find(begin, end, 'e');
    out.append(begin, e);
    if (e == end)
        return;
    out.push_back('e');
    const char* digits = e + 1;
    if (*digits == '+') {
        ++digits;
    } else if (*digits == '-') {
        out.push_back('-');
        ++digits;
    }
    while (digits + 1 < end && *digits == '0')
        ++digits;
    out.append(digits, end);
}

// The value as a NUMBER takes it: its shortest text, after checking that NUMBER can hold it.
bool appendBinaryAsNumber(double v, bool singlePrecision, std::string& out)
{
    if (!std::isfinite(v))
        throw Error(QStringLiteral("%1 cannot be stored in an Oracle NUMBER")
                        .arg(QString::fromStdString(shortestFloatingPointText(v, singlePrecision))));
    if (v == 0) {
        out.push_back('0');  // NUMBER has no negative zero
        return true;
    }
    // The shortest text of a value reaches 1E126 exactly when the value reaches the double nearest
    // to 1E126 (and likewise for 1E-130), so comparing the values tells what the text would.
    const double magnitude = std::fabs(singlePrecision ? double(static_cast<float>(v)) : v);
    if (magnitude >= firstMagnitudeBeyondNumber)
        throw Error(QStringLiteral("%1 is beyond NUMBER (too large: NUMBER holds magnitudes below 1E126)")
                        .arg(QString::fromStdString(shortestFloatingPointText(v, singlePrecision))));
    if (magnitude < smallestNumberMagnitude)
        throw Error(QStringLiteral("%1 is too small for NUMBER (NUMBER holds no non-zero magnitude below 1E-130)")
                        .arg(QString::fromStdString(shortestFloatingPointText(v, singlePrecision))));
    appendShortestFloatingPointText(v, singlePrecision, out);
    return true;
}

bool appendDouble(double v, std::string& out)
{
    return appendBinaryAsNumber(v, false, out);
}

// The value's bits for a BINARY_FLOAT or BINARY_DOUBLE bind.
bool appendBinaryBits(double v, OracleBindKind kind, std::string& out)
{
    if (kind == OracleBindKind::BinaryFloat) {
        const float narrow = static_cast<float>(v);
        if (std::isinf(narrow) && !std::isinf(v))
            throw Error(QStringLiteral("%1 is beyond BINARY_FLOAT")
                            .arg(QString::fromStdString(shortestFloatingPointText(v, false))));
        out.append(reinterpret_cast<const char*>(&narrow), sizeof narrow);
    } else {
        out.append(reinterpret_cast<const char*>(&v), sizeof v);
    }
    return true;
}

// UTF-16 to UTF-8 straight into the output (no temporary per value); a lone surrogate becomes
// U+FFFD as in Qt's own conversion.
void appendUtf8(std::string& out, QStringView text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = text[i].unicode();
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(static_cast<char16_t>(c), text[++i].unicode());
        else if (QChar::isSurrogate(c))
            c = 0xFFFD;
        if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        }
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

QString utf8Text(const QByteArray& bytes)
{
    if (!isValidUtf8(bytes))
        throw Error(QStringLiteral("the bytes are not valid UTF-8 text"));
    return decodeUtf8KeepingBom(bytes);
}

bool convertNumber(const Value& value, std::string& out)
{
    switch (value.kind()) {
    case Value::Kind::Null:
        return false;
    case Value::Kind::Bool:
        out.push_back(value.asBool() ? '1' : '0');
        return true;
    case Value::Kind::Int:
        appendNumber(out, value.asInt());
        return true;
    case Value::Kind::UInt:
        appendNumber(out, value.asUInt());
        return true;
    case Value::Kind::Double:
        return appendDouble(value.asDouble(), out);
    case Value::Kind::Decimal:
    case Value::Kind::Text:
        return appendDecimalText(QStringView(value.asString()), out);
    case Value::Kind::Bytes:
        return appendDecimalText(QStringView(utf8Text(value.asBytes())), out);
    case Value::Kind::Date:
    case Value::Kind::Time:
    case Value::Kind::DateTime:
        break;
    }
    throw Error(QStringLiteral("the date or time %1 is not a number").arg(value.toText()));
}

// A source value of any kind for a BINARY_FLOAT or BINARY_DOUBLE column.
bool convertBinaryFloating(const Value& value, OracleBindKind kind, std::string& out)
{
    switch (value.kind()) {
    case Value::Kind::Null:
        return false;
    case Value::Kind::Bool:
        return appendBinaryBits(value.asBool() ? 1.0 : 0.0, kind, out);
    case Value::Kind::Int:
        return appendBinaryBits(static_cast<double>(value.asInt()), kind, out);
    case Value::Kind::UInt:
        return appendBinaryBits(static_cast<double>(value.asUInt()), kind, out);
    case Value::Kind::Double:
        return appendBinaryBits(value.asDouble(), kind, out);
    case Value::Kind::Decimal:
    case Value::Kind::Text:
    case Value::Kind::Bytes: {
        const QString original = value.kind() == Value::Kind::Bytes ? utf8Text(value.asBytes())
                                                                     : value.asString();
        const std::string text = original.trimmed().toStdString();
        if (original.isEmpty())
            return false;
        double number = 0;
        const auto read = std::from_chars(text.data(), text.data() + text.size(), number);
        if (text.empty() || read.ec != std::errc() || read.ptr != text.data() + text.size())
            throw Error(QStringLiteral("'%1' is not a number").arg(original));
        return appendBinaryBits(number, kind, out);
    }
    case Value::Kind::Date:
    case Value::Kind::Time:
    case Value::Kind::DateTime:
        break;
    }
    throw Error(QStringLiteral("the date or time %1 is not a number").arg(value.toText()));
}

bool convertText(const Value& value, std::string& out)
{
    switch (value.kind()) {
    case Value::Kind::Null:
        return false;
    case Value::Kind::Bytes: {
        const QByteArray& bytes = value.asBytes();
        if (!isValidUtf8(bytes))
            throw Error(QStringLiteral("the bytes are not valid UTF-8 text"));
        out.append(bytes.constData(), bytes.size());
        return true;
    }
    case Value::Kind::Int:
        appendNumber(out, value.asInt());
        return true;
    case Value::Kind::UInt:
        appendNumber(out, value.asUInt());
        return true;
    case Value::Kind::Text:
    case Value::Kind::Decimal:
        appendUtf8(out, value.asString());
        return true;
    default:
        appendUtf8(out, value.toText());
        return true;
    }
}

bool convertBytes(const Value& value, std::string& out)
{
    if (value.kind() == Value::Kind::Bytes) {
        const QByteArray& bytes = value.asBytes();
        out.append(bytes.constData(), bytes.size());
        return true;
    }
    return convertText(value, out);
}

bool validTimeOfDay(const DateTimeParts& p)
{
    return !p.negative && p.hour >= 0 && p.hour <= 23 && p.minute >= 0 && p.minute <= 59
        && p.second >= 0 && p.second <= 59 && p.microsecond >= 0 && p.microsecond <= 999999;
}

// The time of a TIME value placed on the base date (see timeBaseYear).
DateTimeParts timeOnBaseDate(const DateTimeParts& t)
{
    if (t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 59 || t.hour < 0)
        throw Error(QStringLiteral("%1 is not a valid time").arg(Value::fromTime(t).toText()));
    long long micros = ((t.hour * 60LL + t.minute) * 60 + t.second) * 1000000LL + t.microsecond;
    if (t.negative)
        micros = -micros;
    constexpr long long microsPerDay = 86400LL * 1000000;
    long long days = micros / microsPerDay;
    long long rest = micros % microsPerDay;
    if (rest < 0) {
        rest += microsPerDay;
        --days;
    }
    const QDate date = QDate(timeBaseYear, 1, 1).addDays(days);
    DateTimeParts p;
    p.year = date.year();
    p.month = date.month();
    p.day = date.day();
    p.microsecond = static_cast<int>(rest % 1000000);
    const long long seconds = rest / 1000000;
    p.hour = static_cast<int>(seconds / 3600);
    p.minute = static_cast<int>(seconds / 60 % 60);
    p.second = static_cast<int>(seconds % 60);
    p.fractionDigits = t.fractionDigits;
    return p;
}

// Reads "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS" or "YYYY-MM-DD HH:MM:SS.ffffff" ('T' also separates).
bool parseDateTimeText(QStringView text, DateTimeParts& p)
{
    text = text.trimmed();
    auto number = [&](qsizetype from, qsizetype length, int& target) {
        if (from + length > text.size())
            return false;
        int v = 0;
        for (qsizetype i = from; i < from + length; ++i) {
            if (text[i] < u'0' || text[i] > u'9')
                return false;
            v = v * 10 + (text[i].unicode() - '0');
        }
        target = v;
        return true;
    };
    if (!number(0, 4, p.year) || text.size() < 10 || text[4] != u'-' || !number(5, 2, p.month)
        || text[7] != u'-' || !number(8, 2, p.day))
        return false;
    if (text.size() == 10)
        return true;
    if (text.size() < 19 || (text[10] != u' ' && text[10] != u'T') || !number(11, 2, p.hour)
        || text[13] != u':' || !number(14, 2, p.minute) || text[16] != u':'
        || !number(17, 2, p.second))
        return false;
    if (text.size() == 19)
        return true;
    const qsizetype digits = text.size() - 20;
    if (text[19] != u'.' || digits < 1 || digits > 6 || !number(20, digits, p.microsecond))
        return false;
    for (qsizetype d = digits; d < 6; ++d)
        p.microsecond *= 10;
    p.fractionDigits = static_cast<int>(digits);
    return true;
}

// The calendar value of a source value for a DATE or TIMESTAMP column; false for NULL.
bool dateTimeOf(const Value& value, DateTimeParts& p)
{
    switch (value.kind()) {
    case Value::Kind::Null:
        return false;
    case Value::Kind::Date:
    case Value::Kind::DateTime:
        p = value.asDateTime();
        break;
    case Value::Kind::Time:
        p = timeOnBaseDate(value.asDateTime());
        return true;
    case Value::Kind::Text:
    case Value::Kind::Bytes: {
        const QString text = value.kind() == Value::Kind::Text ? value.asString()
                                                               : utf8Text(value.asBytes());
        if (text.isEmpty())
            return false;
        if (!parseDateTimeText(text, p))
            throw Error(QStringLiteral("'%1' is not a date").arg(text));
        break;
    }
    default:
        throw Error(QStringLiteral("%1 is not a date").arg(value.toText()));
    }
    if (!p.isValidDate() || !validTimeOfDay(p))
        throw Error(QStringLiteral("%1 is not a valid date").arg(p.toIsoText()));
    return true;
}

bool convertDate(const Value& value, std::string& out)
{
    DateTimeParts p;
    if (!dateTimeOf(value, p))
        return false;
    OCIDate date{};
    date.OCIDateYYYY = static_cast<sb2>(p.year);
    date.OCIDateMM = static_cast<ub1>(p.month);
    date.OCIDateDD = static_cast<ub1>(p.day);
    date.OCIDateTime.OCITimeHH = static_cast<ub1>(p.hour);
    date.OCIDateTime.OCITimeMI = static_cast<ub1>(p.minute);
    date.OCIDateTime.OCITimeSS = static_cast<ub1>(p.second);
    out.append(reinterpret_cast<const char*>(&date), sizeof date);
    return true;
}

// Writes ".ffffff".
char* writeMicroseconds(char* at, int microsecond)
{
    *at++ = '.';
    return writePaddedNumber(at, microsecond, 6);
}

bool convertTimestamp(const Value& value, std::string& out)
{
    DateTimeParts p;
    if (!dateTimeOf(value, p))
        return false;
    char buffer[160];
    char* at = writeDateAndClock(buffer, p.year, p.month, p.day, p.hour, p.minute, p.second);
    at = writeMicroseconds(at, p.microsecond);
    out.append(buffer, static_cast<std::size_t>(at - buffer));
    return true;
}

// A MySQL TIME (a duration of up to ±838 hours) as "+D HH:MI:SS.ffffff", the text Oracle reads
// as an INTERVAL DAY TO SECOND; a text is read the same way when it looks like a time.
bool convertInterval(const Value& value, std::string& out)
{
    DateTimeParts t;
    switch (value.kind()) {
    case Value::Kind::Null:
        return false;
    case Value::Kind::Time:
        t = value.asDateTime();
        break;
    default: {
        const QString text = value.kind() == Value::Kind::Bytes ? utf8Text(value.asBytes()) : value.toText();
        if (text.isEmpty())
            return false;
        appendUtf8(out, text);  // Oracle's own message tells what is wrong with it
        return true;
    }
    }
    if (t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 59 || t.hour < 0)
        throw Error(QStringLiteral("%1 is not a valid time").arg(value.toText()));
    char buffer[160];
    char* at = buffer;
    *at++ = t.negative ? '-' : '+';
    at = writePaddedNumber(at, t.hour / 24, 1);
    *at++ = ' ';
    at = writeClock(at, t.hour % 24, t.minute, t.second);
    at = writeMicroseconds(at, t.microsecond);
    out.append(buffer, static_cast<std::size_t>(at - buffer));
    return true;
}

}  // namespace

OracleBindKind insertBindKindFor(ub2 describedType)
{
    switch (describedType) {
    case oci::SQLT_IBFLOAT: return OracleBindKind::BinaryFloat;
    case oci::SQLT_IBDOUBLE: return OracleBindKind::BinaryDouble;
    default: return bindKindFor(describedType);
    }
}

OracleBindKind bindKindFor(ub2 describedType)
{
    switch (describedType) {
    case oci::SQLT_NUM:
    case oci::SQLT_INT:
    case oci::SQLT_FLT:
    case oci::SQLT_UIN:
    case 100:  // BINARY_FLOAT
    case 101:  // BINARY_DOUBLE
        return OracleBindKind::Number;
    case oci::SQLT_DAT:
    case oci::SQLT_ODT:
        return OracleBindKind::Date;
    case 180:  // TIMESTAMP and its time-zone variants, internal and external codes
    case 181:
    case 231:
    case oci::SQLT_TIMESTAMP:
    case oci::SQLT_TIMESTAMP_TZ:
    case oci::SQLT_TIMESTAMP_LTZ:
        return OracleBindKind::Timestamp;
    case oci::SQLT_BIN:
        return OracleBindKind::Raw;
    case oci::SQLT_INTERVAL_DS_INTERNAL:
    case oci::SQLT_INTERVAL_DS:
        return OracleBindKind::Interval;
    case oci::SQLT_LBI:
    case oci::SQLT_BLOB:
        return OracleBindKind::Blob;
    case oci::SQLT_LNG:
    case oci::SQLT_CLOB:
        return OracleBindKind::Clob;
    default:
        return OracleBindKind::Text;  // VARCHAR2, CHAR, and whatever Oracle converts from text
    }
}

std::size_t bindByteLimit(const OracleColumn& column)
{
    constexpr std::size_t maxTextBind = 4000;
    constexpr std::size_t maxRawBind = 2000;
    switch (column.kind) {
    case OracleBindKind::Text: {
        // The describe's byte size counts the database's bytes; for national columns, and in a
        // database whose character set is not AL32UTF8, those are not the UTF-8 bytes bound, so
        // only the bind's own limit applies to them.
        const bool ownLimit = (column.dataType == oci::SQLT_CHR || column.dataType == oci::SQLT_AFC)
            && column.charsetForm != oci::SQLCS_NCHAR && column.sizeInUtf8 && column.dataSize > 0;
        return ownLimit ? std::min<std::size_t>(column.dataSize, maxTextBind) : maxTextBind;
    }
    case OracleBindKind::Raw:
        return column.dataSize > 0 ? std::min<std::size_t>(column.dataSize, maxRawBind) : maxRawBind;
    default:
        return 0;
    }
}

bool bindsLast(const OracleColumn& column)
{
    return column.kind == OracleBindKind::Clob || column.kind == OracleBindKind::Blob;
}

QString oracleTypeName(const OracleColumn& column)
{
    switch (column.dataType) {
    case oci::SQLT_NUM: return QStringLiteral("NUMBER");
    case oci::SQLT_CHR: return QStringLiteral("VARCHAR2");
    case oci::SQLT_AFC: return QStringLiteral("CHAR");
    case oci::SQLT_DAT: return QStringLiteral("DATE");
    case oci::SQLT_BIN: return QStringLiteral("RAW");
    case oci::SQLT_LNG: return QStringLiteral("LONG");
    case oci::SQLT_LBI: return QStringLiteral("LONG RAW");
    case oci::SQLT_CLOB: return QStringLiteral("CLOB");
    case oci::SQLT_BLOB: return QStringLiteral("BLOB");
    case 100: return QStringLiteral("BINARY_FLOAT");
    case 101: return QStringLiteral("BINARY_DOUBLE");
    case 180:
    case oci::SQLT_TIMESTAMP: return QStringLiteral("TIMESTAMP");
    case 181:
    case oci::SQLT_TIMESTAMP_TZ: return QStringLiteral("TIMESTAMP WITH TIME ZONE");
    case 231:
    case oci::SQLT_TIMESTAMP_LTZ: return QStringLiteral("TIMESTAMP WITH LOCAL TIME ZONE");
    case oci::SQLT_INTERVAL_DS_INTERNAL:
    case oci::SQLT_INTERVAL_DS: return QStringLiteral("INTERVAL DAY TO SECOND");
    default: return QStringLiteral("type %1").arg(column.dataType);
    }
}

bool convertForOracle(const Value& value, OracleBindKind kind, std::string& out)
{
    switch (kind) {
    case OracleBindKind::Number: return convertNumber(value, out);
    case OracleBindKind::Text:
    case OracleBindKind::Clob: return convertText(value, out);
    case OracleBindKind::Date: return convertDate(value, out);
    case OracleBindKind::Timestamp: return convertTimestamp(value, out);
    case OracleBindKind::Raw:
    case OracleBindKind::Blob: return convertBytes(value, out);
    case OracleBindKind::Interval: return convertInterval(value, out);
    case OracleBindKind::BinaryFloat:
    case OracleBindKind::BinaryDouble: return convertBinaryFloating(value, kind, out);
    }
    return false;
}

std::string shortestFloatingPointText(double value, bool singlePrecision)
{
    std::string text;
    appendShortestFloatingPointText(value, singlePrecision, text);
    return text;
}

bool convertFloatingPointForOracle(double value, bool singlePrecision, OracleBindKind kind,
                                   std::string& out)
{
    switch (kind) {
    case OracleBindKind::Number:
        return appendBinaryAsNumber(value, singlePrecision, out);
    case OracleBindKind::BinaryFloat:
    case OracleBindKind::BinaryDouble:
        return appendBinaryBits(value, kind, out);
    case OracleBindKind::Text:
    case OracleBindKind::Clob:
        appendShortestFloatingPointText(value, singlePrecision, out);
        return true;
    default:
        return convertForOracle(Value::fromDouble(value), kind, out);
    }
}

bool convertUtf8TextForOracle(QByteArrayView utf8, OracleBindKind kind, std::string& out)
{
    const bool boundAsText = kind == OracleBindKind::Text || kind == OracleBindKind::Clob
        || kind == OracleBindKind::Raw || kind == OracleBindKind::Blob;
    if (utf8.isNull())
        return convertForOracle(Value::null(), kind, out);
    // Valid UTF-8 comes back unchanged from UTF-16; anything else takes the replacement rules of
    // the decoding.
    if (!boundAsText || !isValidUtf8(utf8))
        return convertForOracle(Value::fromText(decodeUtf8KeepingBom(utf8)), kind, out);
    out.append(utf8.data(), static_cast<std::size_t>(utf8.size()));
    return true;
}

bool convertDecimalTextForOracle(QByteArrayView latin1, OracleBindKind kind, std::string& out)
{
    if (latin1.isNull())
        return convertForOracle(Value::null(), kind, out);
    if (kind != OracleBindKind::Number)
        return convertForOracle(Value::fromDecimal(QString::fromLatin1(latin1)), kind, out);
    return appendDecimalText(QLatin1StringView(latin1), out);
}

}  // namespace dovrelle
