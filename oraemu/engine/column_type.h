#pragma once

#include <string>

namespace oraemu {

// The Oracle type of a table column or select-list item.
struct ColumnType {
    // New kinds go at the end: the catalog keeps a kind as its number.
    enum class Kind { Varchar2, NVarchar2, Char, NChar, Number, Float, Date, Timestamp, Raw, Blob, Clob,
                      BinaryFloat, BinaryDouble, IntervalDaySecond, NClob, TimestampTz, TimestampLtz };
    Kind kind = Kind::Varchar2;
    int length = 0;          // characters or bytes (Varchar2, Char, Raw)
    bool charSemantics = false;
    int precision = 0;       // Number: 0 = none given; Float: binary precision; interval: day digits
    int scale = 0;           // Number: digits after the point; Timestamp and interval: fraction digits
    bool scaleGiven = false;

    bool isText() const { return kind == Kind::Varchar2 || kind == Kind::NVarchar2 || kind == Kind::Char || kind == Kind::NChar; }
    bool isNumber() const
    {
        return kind == Kind::Number || kind == Kind::Float || kind == Kind::BinaryFloat || kind == Kind::BinaryDouble;
    }
    // TIMESTAMP, TIMESTAMP WITH TIME ZONE, TIMESTAMP WITH LOCAL TIME ZONE
    bool isTimestamp() const
    {
        return kind == Kind::Timestamp || kind == Kind::TimestampTz || kind == Kind::TimestampLtz;
    }
    bool isLob() const { return kind == Kind::Blob || kind == Kind::Clob || kind == Kind::NClob; }
    // NCHAR, NVARCHAR2 and NCLOB: held in the national character set.
    bool isNational() const { return kind == Kind::NVarchar2 || kind == Kind::NChar || kind == Kind::NClob; }

    // The name catalog views show in DATA_TYPE, e.g. "VARCHAR2", "TIMESTAMP(6)".
    std::string dataTypeName() const;
    // DATA_LENGTH in bytes, as Oracle reports it for an AL32UTF8 database.
    int byteLength() const;

    // Serialised form kept in the catalog, and back.
    std::string encode() const;
    static ColumnType decode(const std::string& text);
};

}  // namespace oraemu
