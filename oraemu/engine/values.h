#pragma once

#include "catalog.h"
#include "decimal.h"
#include "datetime.h"
#include "nls.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace oraemu {

// A value as a client hands it over (a bind or a literal), before it meets a column.
struct InValue {
    enum class Kind { Null, Text, Bytes, Int, UInt, Double, Date, Number };
    Kind kind = Kind::Null;
    std::string_view bytes;  // Text (UTF-8) and Bytes; must outlive the conversion
    std::int64_t i = 0;
    std::uint64_t u = 0;
    double d = 0;
    DateTime date;
    Decimal number;  // Number: an OCINumber bind
    // Text the client bound in its national character set (OCI_ATTR_CHARSET_FORM SQLCS_NCHAR).
    bool nationalForm = false;

    static InValue text(std::string_view t) { InValue v; v.kind = Kind::Text; v.bytes = t; return v; }
    static InValue dateTime(const DateTime& t) { InValue v; v.kind = Kind::Date; v.date = t; return v; }
};

// What is stored in SQLite for one column value. `text` may view the input (no copy) or `buffer`.
struct Stored {
    enum class Kind { Null, Text, Blob, Int };
    Kind kind = Kind::Null;
    std::string_view text;
    std::int64_t i = 0;
    std::string buffer;
};

// Converts a client value to the stored form of a column, checking it as Oracle does
// (ORA-01722, ORA-01438, ORA-12899, ORA-01861 ...). NULL checks are the caller's.
void convertForColumn(const InValue& value, const TableDef& table, std::size_t column, const Nls& nls, Stored& out);

// Converts a value for a comparison with a value of the given type (no length checks).
void convertForType(const InValue& value, const ColumnType& type, const Nls& nls, Stored& out);

// A value read back from SQLite.
struct OutValue {
    enum class Kind { Null, Int, Real, Text, Blob };
    Kind kind = Kind::Null;
    std::int64_t i = 0;
    double d = 0;
    std::string_view bytes;
};

// The value as text, as Oracle converts it for a character define: numbers in plain notation,
// dates and timestamps by the session's formats, RAW and BLOB as upper-case hexadecimal.
std::string renderText(const OutValue& value, const ColumnType& type, const Nls& nls);

// Counts UTF-8 characters.
std::size_t utf8Length(std::string_view text);
// Bytes of the UTF-8 text in AL16UTF16 (2 per character, 4 beyond U+FFFF).
std::size_t utf16ByteLength(std::string_view text);
bool isValidUtf8(std::string_view text);

}  // namespace oraemu
