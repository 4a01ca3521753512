#pragma once

#include "db/oci_defs.h"
#include "db/value.h"

#include <QByteArrayView>
#include <QString>
#include <string>

namespace dovrelle {

// How the values of one Oracle column are held and bound.
enum class OracleBindKind {
    Number,     // exact decimal text, bound as characters; Oracle reads it as a number
    Text,       // UTF-8 characters (VARCHAR2, CHAR and any type Oracle converts from text)
    Clob,       // UTF-8 characters bound as long text
    Date,       // OCIDate
    Timestamp,  // "YYYY-MM-DD HH24:MI:SS.FF" text, the session's timestamp format
    Raw,        // bytes
    Blob,       // bytes bound as long raw
    Interval,   // INTERVAL DAY TO SECOND: "+D HH:MI:SS.ffffff" text
    // Native binary floating point, bound with the value's own bits (SQLT_BFLOAT, SQLT_BDOUBLE).
    // Only the insert buffer binds them so (insertBindKindFor); readers take them as Number.
    BinaryFloat,
    BinaryDouble,
};

// A column of an Oracle table as the describe reports it.
struct OracleColumn {
    QString name;
    ub2 dataType = 0;   // SQLT_* describe code
    ub2 dataSize = 0;   // bytes
    ub2 charSize = 0;   // characters, for character columns
    sb2 precision = 0;
    sb1 scale = 0;
    ub1 charsetForm = 0;  // SQLCS_NCHAR for NCHAR, NVARCHAR2 and NCLOB
    // The byte size counts UTF-8 bytes (the database character set is AL32UTF8), so the UTF-8
    // value bound can be measured against it.
    bool sizeInUtf8 = true;
    OracleBindKind kind = OracleBindKind::Text;
};

OracleBindKind bindKindFor(ub2 describedType);
// The kind an insert binds a column of the described type with: BINARY_FLOAT and BINARY_DOUBLE
// natively, so their values keep every bit; anything else as bindKindFor.
OracleBindKind insertBindKindFor(ub2 describedType);

// The most bytes a value of the column may have in its bind: the column's own byte limit, and never
// more than 4000 for text and 2000 for RAW, since Oracle reads a wider bind as LONG data, which only
// LONG and LOB columns take (ORA-01461). 0 when the column's kind has no such limit.
std::size_t bindByteLimit(const OracleColumn& column);

// LOB values are bound after all others: Oracle refuses a bind that may be over 4000 bytes once a
// LOB bind has been given (ORA-24816).
bool bindsLast(const OracleColumn& column);
QString oracleTypeName(const OracleColumn& column);  // "NUMBER", "DATE" ..., for messages

// Converts a value for a column of the given kind and appends its bound form to `out`.
// Returns false when the value is NULL in Oracle's eyes (nothing appended). Throws Error with
// the reason when the column cannot take the value.
bool convertForOracle(const Value& value, OracleBindKind kind, std::string& out);

// The same as convertForOracle(Value::fromText(decodeUtf8KeepingBom(utf8)), ...), a null view as
// NULL; valid UTF-8 bound as characters or bytes is appended as it is, without the detour
// through UTF-16.
bool convertUtf8TextForOracle(QByteArrayView utf8, OracleBindKind kind, std::string& out);
// The same as convertForOracle(Value::fromDecimal(QString::fromLatin1(latin1)), ...), a null
// view as NULL; read straight from the bytes for a NUMBER column.
bool convertDecimalTextForOracle(QByteArrayView latin1, OracleBindKind kind, std::string& out);

// A binary floating-point value (a MySQL FLOAT when `singlePrecision`, else a DOUBLE) for a column
// of the given kind: the same bits for BINARY_FLOAT and BINARY_DOUBLE, and for NUMBER and text the
// shortest decimal text that reads back as the same binary value (-0 as 0 in a NUMBER, which has
// no negative zero). Throws Error with the reason for a value NUMBER cannot hold (|x| >= 1E126,
// or a non-zero |x| < 1E-130).
bool convertFloatingPointForOracle(double value, bool singlePrecision, OracleBindKind kind,
                                   std::string& out);
// The shortest text that reads back as the same binary value ("16777216", "1e308", "-0").
std::string shortestFloatingPointText(double value, bool singlePrecision);

// A MySQL TIME value in a DATE or TIMESTAMP column is the time of day on this date; hours
// beyond 23 and negative times move the date by whole days.
constexpr int timeBaseYear = 1900;

}  // namespace dovrelle
