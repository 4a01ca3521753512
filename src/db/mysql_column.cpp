#include "db/mysql_column.h"

#include "db/error.h"
#include "db/mysql_charset.h"
#include "db/utf8_text.h"

#include <mysql.h>

#include <charconv>
#include <limits>

namespace dovrelle {

namespace {

constexpr unsigned int binaryCharset = 63;

struct TypeClass {
    const char* tag;
    MySqlColumn::Kind kind;
};

TypeClass stringClass(const MYSQL_FIELD& field, const char* textTag)
{
    if (field.charsetnr == binaryCharset)
        return {"TBlobField", MySqlColumn::Kind::Bytes};
    return {textTag, MySqlColumn::Kind::Text};
}

TypeClass typeClassOf(const MYSQL_FIELD& field)
{
    using K = MySqlColumn::Kind;
    const bool isUnsigned = field.flags & UNSIGNED_FLAG;
    switch (field.type) {
    case MYSQL_TYPE_TINY:
    case MYSQL_TYPE_SHORT:
    case MYSQL_TYPE_INT24:
    case MYSQL_TYPE_YEAR:
        return {"TIntegerField", K::Integer};
    case MYSQL_TYPE_LONG:  // int unsigned reaches 4294967295, beyond a 32-bit integer
        return {isUnsigned ? "TLargeintField" : "TIntegerField", K::Integer};
    case MYSQL_TYPE_LONGLONG:
        return {"TLargeintField", isUnsigned ? K::UnsignedBig : K::Integer};
    case MYSQL_TYPE_FLOAT:
    case MYSQL_TYPE_DOUBLE:
        return {"TFloatField", K::Float};
    case MYSQL_TYPE_DECIMAL:
    case MYSQL_TYPE_NEWDECIMAL:
        return {"TFMTBCDField", K::Decimal};
    case MYSQL_TYPE_BIT:
        return field.length == 1 ? TypeClass{"TBooleanField", K::Bool} : TypeClass{"TLargeintField", K::Bits};
    case MYSQL_TYPE_DATE:
    case MYSQL_TYPE_NEWDATE:
        return {"TDateField", K::Date};
    case MYSQL_TYPE_TIME:
        return {"TTimeField", K::Time};
    case MYSQL_TYPE_DATETIME:
    case MYSQL_TYPE_TIMESTAMP:
        return {"TSQLTimeStampField", K::DateTime};
    case MYSQL_TYPE_TINY_BLOB:
    case MYSQL_TYPE_MEDIUM_BLOB:
    case MYSQL_TYPE_LONG_BLOB:
    case MYSQL_TYPE_BLOB:
        return stringClass(field, "TMemoField");
    case MYSQL_TYPE_JSON:  // MySQL marks JSON binary, but it is always text
        return {"TMemoField", K::Text};
    case MYSQL_TYPE_GEOMETRY:
        return {"TBlobField", K::Bytes};
    default:  // char, varchar, enum, set, NULL
        return stringClass(field, "TStringField");
    }
}

// Reads the fixed-width parts of MySQL's temporal texts ("2024-01-02 03:04:05.123456").
class TemporalReader {
public:
    TemporalReader(QByteArrayView text) : text_(text) {}

    bool atEnd() const { return pos_ == text_.size(); }
    bool skip(char c)
    {
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    // A number of exactly `width` digits, or (width 0) of one or more digits.
    bool number(int width, int& out)
    {
        const qsizetype start = pos_;
        long long value = 0;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9'
               && (width == 0 || pos_ - start < width) && pos_ - start < 9)
            value = value * 10 + (text_[pos_++] - '0');
        out = int(value);
        return pos_ > start && (width == 0 || pos_ - start == width);
    }
    // An optional ".ffffff": the microseconds and the count of digits written.
    bool fraction(int& microsecond, int& digits)
    {
        microsecond = 0;
        digits = 0;
        if (!skip('.'))
            return true;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9' && digits < 6) {
            microsecond = microsecond * 10 + (text_[pos_++] - '0');
            ++digits;
        }
        for (int d = digits; d < 6; ++d)
            microsecond *= 10;
        return digits > 0;
    }

private:
    QByteArrayView text_;
    qsizetype pos_ = 0;
};

bool readDate(TemporalReader& r, DateTimeParts& p)
{
    return r.number(4, p.year) && r.skip('-') && r.number(2, p.month) && r.skip('-') && r.number(2, p.day);
}

bool readTime(TemporalReader& r, DateTimeParts& p, int hourWidth)
{
    int digits = 0;
    const bool ok = r.number(hourWidth, p.hour) && r.skip(':') && r.number(2, p.minute) && r.skip(':')
        && r.number(2, p.second) && r.fraction(p.microsecond, digits);
    if (p.fractionDigits < 0)
        p.fractionDigits = digits;
    return ok;
}

}  // namespace

MySqlColumn mysqlColumnOf(const MYSQL_FIELD& field, QString name)
{
    const TypeClass typeClass = typeClassOf(field);
    MySqlColumn column;
    column.name = std::move(name);
    column.typeTag = QString::fromLatin1(typeClass.tag);
    column.kind = typeClass.kind;
    column.charsetNumber = field.charsetnr;
    column.singlePrecision = field.type == MYSQL_TYPE_FLOAT;
    // Temporal columns declare 0..6 fraction digits; expressions may report "not fixed" (31, 39).
    column.fractionDigits = field.decimals <= 6 ? int(field.decimals) : -1;
    return column;
}

Value MySqlColumn::valueOf(QByteArrayView bytes, MySqlTextCodec* textCodec) const
{
    const auto fail = [&](const char* what) {
        return Error(QStringLiteral("Column %1: '%2' is not %3")
                         .arg(name, QString::fromLatin1(bytes), QLatin1String(what)));
    };
    const char* first = bytes.data();
    const char* last = first + bytes.size();
    switch (kind) {
    case Kind::Integer: {
        std::int64_t v = 0;
        const auto r = std::from_chars(first, last, v);
        if (r.ec != std::errc() || r.ptr != last)
            throw fail("an integer");
        return Value::fromInt(v);
    }
    case Kind::UnsignedBig: {
        std::uint64_t v = 0;
        const auto r = std::from_chars(first, last, v);
        if (r.ec != std::errc() || r.ptr != last)
            throw fail("an unsigned integer");
        if (v <= std::uint64_t(std::numeric_limits<std::int64_t>::max()))
            return Value::fromInt(std::int64_t(v));
        return Value::fromUInt(v);
    }
    case Kind::Float: {
        double v = 0;
        const auto r = std::from_chars(first, last, v);
        if (r.ec != std::errc() || r.ptr != last)
            throw fail("a floating-point number");
        return Value::fromDouble(v);
    }
    case Kind::Decimal:
        return Value::fromDecimal(QString::fromLatin1(bytes));
    case Kind::Text:
        return Value::fromText(textCodec ? textCodec->decode(bytes) : decodeUtf8KeepingBom(bytes));
    case Kind::Bytes:
        return Value::fromBytes(bytes.toByteArray());
    case Kind::Bool:  // bit(1): one byte, 0 or 1
        return Value::fromBool(!bytes.isEmpty() && bytes.back() != 0);
    case Kind::Bits: {  // bit(n): the value's bytes, most significant first
        std::uint64_t v = 0;
        for (char c : bytes)
            v = (v << 8) | static_cast<unsigned char>(c);
        return Value::fromUInt(v);
    }
    case Kind::Date:
    case Kind::Time:
    case Kind::DateTime: {
        DateTimeParts p;
        p.fractionDigits = fractionDigits;
        TemporalReader r(bytes);
        bool ok = false;
        if (kind == Kind::Date) {
            ok = readDate(r, p);
            p.fractionDigits = 0;
        } else if (kind == Kind::Time) {
            p.negative = r.skip('-');
            ok = readTime(r, p, 0);
        } else {
            ok = readDate(r, p) && r.skip(' ') && readTime(r, p, 2);
        }
        if (!ok || !r.atEnd())
            throw fail(kind == Kind::Date ? "a date" : kind == Kind::Time ? "a time" : "a date and time");
        return kind == Kind::Date ? Value::fromDate(p)
            : kind == Kind::Time  ? Value::fromTime(p)
                                  : Value::fromDateTime(p);
    }
    }
    return Value::fromText(decodeUtf8KeepingBom(bytes));
}

}  // namespace dovrelle
