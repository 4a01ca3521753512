#include "values.h"
#include "time_zone.h"
#include "database_charset.h"

#include "decimal.h"
#include "interval.h"
#include "ora_error.h"

#include <charconv>
#include <cstdlib>

#include <cmath>

namespace oraemu {

namespace {

using K = ColumnType::Kind;

const char* inKindName(InValue::Kind kind)
{
    switch (kind) {
    case InValue::Kind::Bytes: return "BINARY";
    case InValue::Kind::Date: return "DATE";
    case InValue::Kind::Text: return "CHAR";
    default: return "NUMBER";
    }
}

[[noreturn]] void inconsistent(const char* expected, InValue::Kind got)
{
    throw OraError(932, std::string("inconsistent datatypes: expected ") + expected + " got " + inKindName(got));
}

Decimal toDecimal(const InValue& value, const Nls& nls)
{
    switch (value.kind) {
    case InValue::Kind::Text: {
        auto parsed = Decimal::parse(value.bytes, nls.decimalPoint);
        if (!parsed)
            throw OraError(1722, "invalid number");
        return *parsed;
    }
    case InValue::Kind::Int: return Decimal::fromInt(value.i);
    case InValue::Kind::UInt: return Decimal::fromUInt(value.u);
    case InValue::Kind::Number: return value.number;
    case InValue::Kind::Double: {
        auto parsed = Decimal::fromDouble(value.d);
        if (!parsed)
            throw OraError(1722, "invalid number");
        return *parsed;
    }
    default: inconsistent("NUMBER", value.kind);
    }
}

// Integers that fit 64 bits are stored as SQLite integers (compact and quick to index); other
// numbers as their exact decimal text. Either way one number has exactly one stored form.
void storeInteger(std::int64_t value, const ColumnType& type, Stored& out)
{
    if (type.kind == K::Number && type.scaleGiven) {
        const int precision = type.precision > 0 ? type.precision : 38;
        std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
        int digits = 0;
        while (magnitude) {
            magnitude /= 10;
            ++digits;
        }
        if (digits > precision - type.scale)
            throw OraError(1438, "value larger than specified precision allowed for this column");
    }
    out.kind = Stored::Kind::Int;
    out.i = value;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Plain decimal text (" -12.50 ", "7", ".5") for a NUMBER column that keeps every digit of it: its
// stored form is written straight from the text, into the buffer of `out` that the previous row
// already grew, and is the same form the general path below gives through Decimal. False, with
// nothing stored, for text that needs the general path: an exponent, rounding to the column's
// scale, more than 38 digits, an integer beyond 18 digits, or no number at all.
bool storePlainDecimal(std::string_view text, const ColumnType& type, char decimalPoint, Stored& out)
{
    std::size_t i = 0, end = text.size();
    while (i < end && isBlank(text[i]))
        ++i;
    while (end > i && isBlank(text[end - 1]))
        --end;
    bool negative = false;
    if (i < end && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    const std::size_t integerStart = i;
    while (i < end && text[i] >= '0' && text[i] <= '9')
        ++i;
    const bool anyIntegerDigit = i > integerStart;
    std::string_view integer = text.substr(integerStart, i - integerStart);
    std::string_view fraction;
    if (i < end && text[i] == decimalPoint) {
        const std::size_t fractionStart = ++i;
        while (i < end && text[i] >= '0' && text[i] <= '9')
            ++i;
        fraction = text.substr(fractionStart, i - fractionStart);
    }
    if (i != end || (!anyIntegerDigit && fraction.empty()))
        return false;
    while (!integer.empty() && integer.front() == '0')
        integer.remove_prefix(1);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.remove_suffix(1);
    if (integer.size() + fraction.size() > 38)
        return false;
    if (type.scaleGiven) {
        if (fraction.size() > static_cast<std::size_t>(type.scale))
            return false;
        // Digits before the point (or, below one, minus the zeros after it) against the precision.
        int exponent = static_cast<int>(integer.size());
        if (integer.empty())
            exponent = -static_cast<int>(std::min(fraction.find_first_not_of('0'), fraction.size()));
        const int precision = type.precision > 0 ? type.precision : 38;
        if ((!integer.empty() || !fraction.empty()) && exponent > precision - type.scale)
            throw OraError(1438, "value larger than specified precision allowed for this column");
    }
    if (fraction.empty()) {
        if (integer.size() > 18)
            return false;
        std::int64_t whole = 0;
        for (char digit : integer)
            whole = whole * 10 + (digit - '0');
        out.kind = Stored::Kind::Int;
        out.i = negative ? -whole : whole;
        return true;
    }
    out.buffer.clear();
    if (negative)
        out.buffer += '-';
    if (integer.empty())
        out.buffer += '0';
    else
        out.buffer.append(integer);
    out.buffer += '.';
    out.buffer.append(fraction);
    out.kind = Stored::Kind::Text;
    out.text = out.buffer;
    return true;
}

void storeNumber(const InValue& value, const ColumnType& type, const Nls& nls, Stored& out)
{
    const bool plainScale = type.kind == K::Number && (!type.scaleGiven || type.scale >= 0);
    if (plainScale) {
        if (value.kind == InValue::Kind::Int) {
            storeInteger(value.i, type, out);
            return;
        }
        if (value.kind == InValue::Kind::Text && storePlainDecimal(value.bytes, type, nls.decimalPoint, out))
            return;
    }
    Decimal number = toDecimal(value, nls);
    if (type.kind == K::Float) {
        number.roundToSignificant(static_cast<int>(std::ceil(type.precision * 0.30103)));
    } else if (type.scaleGiven) {
        number.roundToScale(type.scale);
        const int precision = type.precision > 0 ? type.precision : 38;
        if (!number.isZero() && number.exponent > precision - type.scale)
            throw OraError(1438, "value larger than specified precision allowed for this column");
    } else {
        number.roundToSignificant(40);
    }
    if (!number.isZero() && number.exponent > 126)
        throw OraError(1426, "numeric overflow");
    if (!number.isZero() && number.exponent < -129)  // below 1E-130 NUMBER underflows to zero
        number = Decimal{};
    std::int64_t whole = 0;
    if (number.toInt64(whole)) {
        out.kind = Stored::Kind::Int;
        out.i = whole;
        return;
    }
    out.buffer = number.toString();
    out.kind = Stored::Kind::Text;
    out.text = out.buffer;
}

// BINARY_FLOAT and BINARY_DOUBLE: the nearest binary value, kept in the stored form of the
// number it reads back as (an integer, or the shortest exact decimal text).
void storeBinary(const InValue& value, const ColumnType& type, const Nls& nls, Stored& out)
{
    double number = 0;
    switch (value.kind) {
    case InValue::Kind::Int: number = static_cast<double>(value.i); break;
    case InValue::Kind::UInt: number = static_cast<double>(value.u); break;
    case InValue::Kind::Double: number = value.d; break;
    case InValue::Kind::Number: number = value.number.toDouble(); break;
    case InValue::Kind::Text: number = std::strtod(toDecimal(value, nls).toString().c_str(), nullptr); break;
    default: inconsistent("NUMBER", value.kind);
    }
    char buffer[64];
    std::to_chars_result written;
    if (type.kind == K::BinaryFloat)
        written = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(number));
    else
        written = std::to_chars(buffer, buffer + sizeof buffer, number);
    const auto exact = Decimal::parse(std::string_view(buffer, static_cast<std::size_t>(written.ptr - buffer)));
    if (!exact || !std::isfinite(type.kind == K::BinaryFloat ? static_cast<float>(number) : number))
        throw OraError(1722, "invalid number");
    if (number == 0 && std::signbit(number)) {
        out.buffer = "-0";  // the sign of a negative zero is kept in its text; the integer 0 would lose it
        out.kind = Stored::Kind::Text;
        out.text = out.buffer;
        return;
    }
    std::int64_t whole = 0;
    if (exact->toInt64(whole)) {
        out.kind = Stored::Kind::Int;
        out.i = whole;
        return;
    }
    out.buffer = exact->toString();
    out.kind = Stored::Kind::Text;
    out.text = out.buffer;
}

void storeInterval(const InValue& value, const ColumnType& type, Stored& out)
{
    if (value.kind != InValue::Kind::Text)
        inconsistent("INTERVAL DAY TO SECOND", value.kind);
    out.kind = Stored::Kind::Int;
    out.i = parseIntervalDaySecond(value.bytes, type);
}

DateTime toDateTime(const InValue& value, const DateFormat& format)
{
    if (value.kind == InValue::Kind::Text)
        return format.parse(value.bytes);
    if (value.kind == InValue::Kind::Date) {
        value.date.validate();
        return value.date;
    }
    inconsistent("DATE", value.kind);
}

std::string hexOf(std::string_view bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string bytesOfHex(std::string_view text)
{
    std::string out;
    out.reserve(text.size() / 2 + 1);
    std::size_t i = 0;
    if (text.size() % 2 == 1) {
        const int low = hexDigit(text[0]);
        if (low < 0)
            throw OraError(1465, "invalid hex number");
        out += static_cast<char>(low);
        i = 1;
    }
    for (; i < text.size(); i += 2) {
        const int high = hexDigit(text[i]), low = hexDigit(text[i + 1]);
        if (high < 0 || low < 0)
            throw OraError(1465, "invalid hex number");
        out += static_cast<char>(high * 16 + low);
    }
    return out;
}

// The value as text for a character column (no length check).
void textOf(const InValue& value, const Nls& nls, Stored& out)
{
    out.kind = Stored::Kind::Text;
    switch (value.kind) {
    case InValue::Kind::Text: out.text = value.bytes; return;
    case InValue::Kind::Bytes: out.buffer = hexOf(value.bytes); break;
    case InValue::Kind::Date: out.buffer = nls.dateFormat.format(value.date, 0); break;
    default: {
        out.buffer = toDecimal(value, nls).toString();
        if (nls.decimalPoint != '.')
            for (char& c : out.buffer)
                if (c == '.')
                    c = nls.decimalPoint;
    }
    }
    out.text = out.buffer;
}

[[noreturn]] void tooLarge(const TableDef& table, std::size_t column, std::size_t actual, int maximum)
{
    throw OraError(12899, "value too large for column \"" + table.owner + "\".\"" + table.name + "\".\"" +
                              table.columns[column].name + "\" (actual: " + std::to_string(actual) +
                              ", maximum: " + std::to_string(maximum) + ")");
}

void storeBytes(const InValue& value, Stored& out)
{
    out.kind = Stored::Kind::Blob;
    if (value.kind == InValue::Kind::Bytes) {
        out.text = value.bytes;
    } else if (value.kind == InValue::Kind::Text) {
        out.buffer = bytesOfHex(value.bytes);
        out.text = out.buffer;
    } else {
        inconsistent("BINARY", value.kind);
    }
}

// Text on its way into a character column passes through the database character set, which may
// lack some characters; national text bound in the national form for a national column does not.
void holdInDatabaseCharset(const InValue& value, const ColumnType& type, const Nls& nls, Stored& out)
{
    if (holdsAllCharacters(nls.databaseCharset) || (type.isNational() && value.nationalForm))
        return;
    out.buffer = replaceUnheldCharacters(out.text, nls.databaseCharset);
    out.text = out.buffer;
}

// TIMESTAMP WITH TIME ZONE keeps the zone the text named (the session's when it named none);
// WITH LOCAL TIME ZONE keeps the instant, in the database time zone (UTC).
void storeZonedTimestamp(const InValue& value, const ColumnType& type, const Nls& nls, Stored& out)
{
    DateTime timestamp = toDateTime(value, nls.timestampTzFormat);
    timestamp.roundFraction(type.scale);
    timestamp.validate();
    const int offset = timestamp.offsetGiven ? timestamp.offsetMinutes : nls.timeZoneMinutes;
    if (type.kind == K::TimestampTz)
        out.buffer = zonedStorage(timestamp, offset, type.scale);
    else
        out.buffer = shiftMinutes(timestamp, -offset).toStorage(type.scale);
    out.kind = Stored::Kind::Text;
    out.text = out.buffer;
}

bool isEmpty(const InValue& value)
{
    return value.kind == InValue::Kind::Null ||
           ((value.kind == InValue::Kind::Text || value.kind == InValue::Kind::Bytes) && value.bytes.empty());
}

void convert(const InValue& value, const ColumnType& type, const Nls& nls, Stored& out, const TableDef* table,
             std::size_t column)
{
    out.kind = Stored::Kind::Null;
    if (isEmpty(value))
        return;
    switch (type.kind) {
    case K::Number:
    case K::Float: storeNumber(value, type, nls, out); return;
    case K::BinaryFloat:
    case K::BinaryDouble: storeBinary(value, type, nls, out); return;
    case K::IntervalDaySecond: storeInterval(value, type, out); return;
    case K::Date:
        toDateTime(value, nls.dateFormat).storeInto(out.buffer, 0);
        out.kind = Stored::Kind::Text;
        out.text = out.buffer;
        return;
    case K::Timestamp:
    {
        DateTime timestamp = toDateTime(value, nls.timestampFormat);
        timestamp.roundFraction(type.scale);
        timestamp.validate();
        timestamp.storeInto(out.buffer, type.scale);
    }
        out.kind = Stored::Kind::Text;
        out.text = out.buffer;
        return;
    case K::TimestampTz:
    case K::TimestampLtz: storeZonedTimestamp(value, type, nls, out); return;
    case K::Raw:
    case K::Blob:
        storeBytes(value, out);
        if (table && type.kind == K::Raw && out.text.size() > static_cast<std::size_t>(type.length))
            tooLarge(*table, column, out.text.size(), type.length);
        return;
    case K::Clob:
    case K::NClob:
        if (value.kind == InValue::Kind::Bytes) {
            out.kind = Stored::Kind::Text;
            out.text = value.bytes;
        } else {
            textOf(value, nls, out);
        }
        holdInDatabaseCharset(value, type, nls, out);
        return;
    case K::Varchar2:
    case K::NVarchar2:
    case K::Char:
    case K::NChar: {
        textOf(value, nls, out);
        holdInDatabaseCharset(value, type, nls, out);
        // A character takes at least one byte: text of no more bytes than the column has characters
        // fits without counting them, unless CHAR pads it up to that count.
        const bool padded = type.kind == K::Char || type.kind == K::NChar;
        std::size_t length = out.text.size();
        if (type.charSemantics && (padded || length > static_cast<std::size_t>(type.length)))
            length = utf8Length(out.text);
        if (table && length > static_cast<std::size_t>(type.length))
            tooLarge(*table, column, length, type.length);
        // Character semantics does not lift the byte limit of the type (4000 for VARCHAR2, 2000 for CHAR),
        // counted in the column's own character set: AL16UTF16 for the national types.
        if (table && type.charSemantics) {
            const std::size_t bytes = type.isNational() ? utf16ByteLength(out.text) : out.text.size();
            if (bytes > static_cast<std::size_t>(type.byteLength()))
                tooLarge(*table, column, bytes, type.byteLength());
        }
        // CHAR values are blank-padded, stored and compared alike.
        if (padded && length < static_cast<std::size_t>(type.length)) {
            if (out.text.data() != out.buffer.data())
                out.buffer.assign(out.text);
            out.buffer.append(type.length - length, ' ');
            out.text = out.buffer;
        }
        return;
    }
    }
}

}  // namespace

void convertForColumn(const InValue& value, const TableDef& table, std::size_t column, const Nls& nls, Stored& out)
{
    convert(value, table.columns[column].type, nls, out, &table, column);
}

void convertForType(const InValue& value, const ColumnType& type, const Nls& nls, Stored& out)
{
    convert(value, type, nls, out, nullptr, 0);
}

std::size_t utf8Length(std::string_view text)
{
    std::size_t count = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)
            ++count;
    return count;
}

std::size_t utf16ByteLength(std::string_view text)
{
    std::size_t bytes = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)
            bytes += c >= 0xF0 ? 4 : 2;
    return bytes;
}

bool isValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = text[i];
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || (extra > 0 && i + extra >= text.size()))
            return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += extra + 1;
    }
    return true;
}

std::string renderText(const OutValue& value, const ColumnType& type, const Nls& nls)
{
    switch (value.kind) {
    case OutValue::Kind::Null: return {};
    case OutValue::Kind::Int:
        if (type.kind == K::IntervalDaySecond)
            return formatIntervalDaySecond(value.i, type);
        return std::to_string(value.i);
    case OutValue::Kind::Real: {
        auto number = Decimal::fromDouble(value.d);
        return number ? number->toString() : std::string("~");
    }
    case OutValue::Kind::Blob: return hexOf(value.bytes);
    case OutValue::Kind::Text: break;
    }
    switch (type.kind) {
    case K::Number:
    case K::Float:
    case K::BinaryFloat:
    case K::BinaryDouble: {
        std::string text(value.bytes);
        if (nls.decimalPoint != '.')
            for (char& c : text)
                if (c == '.')
                    c = nls.decimalPoint;
        return text;
    }
    case K::Date: return nls.dateFormat.format(DateTime::fromStorage(value.bytes), 0);
    case K::Timestamp: return nls.timestampFormat.format(DateTime::fromStorage(value.bytes), type.scale);
    case K::TimestampTz: return nls.timestampTzFormat.format(clockTimeOf(value.bytes, type, nls), type.scale);
    case K::TimestampLtz: return nls.timestampFormat.format(clockTimeOf(value.bytes, type, nls), type.scale);
    case K::Raw:
    case K::Blob: return hexOf(value.bytes);
    default: return std::string(value.bytes);
    }
}

}  // namespace oraemu
