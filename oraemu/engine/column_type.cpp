#include "column_type.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace oraemu {

std::string ColumnType::dataTypeName() const
{
    switch (kind) {
    case Kind::Varchar2: return "VARCHAR2";
    case Kind::NVarchar2: return "NVARCHAR2";
    case Kind::Char: return "CHAR";
    case Kind::NChar: return "NCHAR";
    case Kind::Number: return "NUMBER";
    case Kind::Float: return "FLOAT";
    case Kind::Date: return "DATE";
    case Kind::Timestamp: return "TIMESTAMP(" + std::to_string(scale) + ")";
    case Kind::Raw: return "RAW";
    case Kind::Blob: return "BLOB";
    case Kind::Clob: return "CLOB";
    case Kind::NClob: return "NCLOB";
    case Kind::TimestampTz: return "TIMESTAMP(" + std::to_string(scale) + ") WITH TIME ZONE";
    case Kind::TimestampLtz: return "TIMESTAMP(" + std::to_string(scale) + ") WITH LOCAL TIME ZONE";
    case Kind::BinaryFloat: return "BINARY_FLOAT";
    case Kind::BinaryDouble: return "BINARY_DOUBLE";
    case Kind::IntervalDaySecond:
        return "INTERVAL DAY(" + std::to_string(precision) + ") TO SECOND(" + std::to_string(scale) + ")";
    }
    return "UNDEFINED";
}

int ColumnType::byteLength() const
{
    switch (kind) {
    case Kind::Varchar2:
    case Kind::Char:
        return charSemantics ? std::min(length * 4, kind == Kind::Char ? 2000 : 4000) : length;
    case Kind::NVarchar2:
    case Kind::NChar: return length * 2;
    case Kind::Number:
    case Kind::Float: return 22;
    case Kind::Date: return 7;
    case Kind::Timestamp:
    case Kind::TimestampLtz: return 11;
    case Kind::TimestampTz: return 13;
    case Kind::Raw: return length;
    case Kind::Blob:
    case Kind::Clob:
    case Kind::NClob: return 4000;
    case Kind::BinaryFloat: return 4;
    case Kind::BinaryDouble: return 8;
    case Kind::IntervalDaySecond: return 11;
    }
    return 0;
}

std::string ColumnType::encode() const
{
    std::ostringstream out;
    out << static_cast<int>(kind) << ' ' << length << ' ' << (charSemantics ? 1 : 0) << ' ' << precision << ' '
        << scale << ' ' << (scaleGiven ? 1 : 0);
    return out.str();
}

ColumnType ColumnType::decode(const std::string& text)
{
    ColumnType type;
    std::istringstream in(text);
    int kind = 0, chars = 0, given = 0;
    in >> kind >> type.length >> chars >> type.precision >> type.scale >> given;
    type.kind = static_cast<Kind>(kind);
    type.charSemantics = chars != 0;
    type.scaleGiven = given != 0;
    return type;
}

}  // namespace oraemu
