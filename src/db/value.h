#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <variant>

namespace dovrelle {

// A calendar date and time as MySQL delivers it. Fields may be zero ("0000-00-00"):
// such a value is kept as it is, never turned into another date; isValidDate() tells.
struct DateTimeParts {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
    int microsecond = 0;      // 0..999999
    int fractionDigits = 0;   // declared fractional precision of the source, 0..6
    bool negative = false;    // MySQL TIME may be negative
    bool operator==(const DateTimeParts&) const = default;
    bool isValidDate() const;  // a real calendar date (year 1..9999, month 1..12, day within month)
    QString toIsoText() const;  // "YYYY-MM-DD HH:MM:SS[.ffffff]" (zero dates printed as they are)
};

// One field value of a source row or a target column.
class Value {
public:
    enum class Kind {
        Null,
        Bool,
        Int,       // signed 64-bit
        UInt,      // unsigned 64-bit (bigint unsigned above INT64_MAX)
        Double,
        Decimal,   // exact decimal number as text: "-12.50", never through a double
        Text,
        Bytes,
        Date,      // DateTimeParts, date part only
        Time,      // DateTimeParts, time part only (hour may exceed 23)
        DateTime,  // DateTimeParts
    };

    Value() = default;
    static Value null() { return Value(); }
    static Value fromBool(bool b) { return Value(Kind::Bool, b); }
    static Value fromInt(std::int64_t v) { return Value(Kind::Int, v); }
    static Value fromUInt(std::uint64_t v) { return Value(Kind::UInt, v); }
    static Value fromDouble(double v) { return Value(Kind::Double, v); }
    static Value fromDecimal(QString text) { return Value(Kind::Decimal, std::move(text)); }
    static Value fromText(QString text) { return Value(Kind::Text, std::move(text)); }
    static Value fromBytes(QByteArray bytes) { return Value(Kind::Bytes, std::move(bytes)); }
    static Value fromDate(DateTimeParts p) { return Value(Kind::Date, p); }
    static Value fromTime(DateTimeParts p) { return Value(Kind::Time, p); }
    static Value fromDateTime(DateTimeParts p) { return Value(Kind::DateTime, p); }

    Kind kind() const { return kind_; }
    bool isNull() const { return kind_ == Kind::Null; }

    bool asBool() const { return std::get<bool>(data_); }
    std::int64_t asInt() const { return std::get<std::int64_t>(data_); }
    std::uint64_t asUInt() const { return std::get<std::uint64_t>(data_); }
    double asDouble() const { return std::get<double>(data_); }
    const QString& asString() const { return std::get<QString>(data_); }  // Decimal or Text
    const QByteArray& asBytes() const { return std::get<QByteArray>(data_); }
    const DateTimeParts& asDateTime() const { return std::get<DateTimeParts>(data_); }  // Date, Time, DateTime

    // Human-readable text of any kind (NULL gives an empty text); numbers exact.
    QString toText() const;

    bool operator==(const Value&) const = default;

private:
    using Data = std::variant<std::monostate, bool, std::int64_t, std::uint64_t, double, QString,
                              QByteArray, DateTimeParts>;
    template <typename T>
    Value(Kind k, T v) : kind_(k), data_(std::move(v)) {}

    Kind kind_ = Kind::Null;
    Data data_;
};

}  // namespace dovrelle
