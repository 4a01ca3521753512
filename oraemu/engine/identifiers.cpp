#include "identifiers.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace oraemu {

std::size_t maxIdentifierBytes()
{
    const char* text = std::getenv("ORAEMU_MAX_IDENTIFIER_BYTES");
    return text && std::strcmp(text, "128") == 0 ? 128 : 30;
}

bool isReservedWord(std::string_view word)
{
    static constexpr std::array<std::string_view, 110> reserved = {
        "ACCESS",   "ADD",       "ALL",        "ALTER",     "AND",       "ANY",       "AS",        "ASC",
        "AUDIT",    "BETWEEN",   "BY",         "CHAR",      "CHECK",     "CLUSTER",   "COLUMN",    "COMMENT",
        "COMPRESS", "CONNECT",   "CREATE",     "CURRENT",   "DATE",      "DECIMAL",   "DEFAULT",   "DELETE",
        "DESC",     "DISTINCT",  "DROP",       "ELSE",      "EXCLUSIVE", "EXISTS",    "FILE",      "FLOAT",
        "FOR",      "FROM",      "GRANT",      "GROUP",     "HAVING",    "IDENTIFIED", "IMMEDIATE", "IN",
        "INCREMENT", "INDEX",    "INITIAL",    "INSERT",    "INTEGER",   "INTERSECT", "INTO",      "IS",
        "LEVEL",    "LIKE",      "LOCK",       "LONG",      "MAXEXTENTS", "MINUS",    "MLSLABEL",  "MODE",
        "MODIFY",   "NOAUDIT",   "NOCOMPRESS", "NOT",       "NOWAIT",    "NULL",      "NUMBER",    "OF",
        "OFFLINE",  "ON",        "ONLINE",     "OPTION",    "OR",        "ORDER",     "PCTFREE",   "PRIOR",
        "PRIVILEGES", "PUBLIC",  "RAW",        "RENAME",    "RESOURCE",  "REVOKE",    "ROW",       "ROWID",
        "ROWNUM",   "ROWS",      "SELECT",     "SESSION",   "SET",       "SHARE",     "SIZE",      "SMALLINT",
        "START",    "SUCCESSFUL", "SYNONYM",   "SYSDATE",   "TABLE",     "THEN",      "TO",        "TRIGGER",
        "UID",      "UNION",     "UNIQUE",     "UPDATE",    "USER",      "VALIDATE",  "VALUES",    "VARCHAR",
        "VARCHAR2", "VIEW",      "WHENEVER",   "WHERE",     "WITH",      "CHAR",
    };
    return std::find(reserved.begin(), reserved.end(), word) != reserved.end();
}

namespace {

// Upper or lower case of one code point for the Latin, Greek and Cyrillic letters.
char32_t changeCase(char32_t c, bool toUpper)
{
    if (toUpper) {
        if (c >= 'a' && c <= 'z')
            return c - 32;
        if ((c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) ||
            (c >= 0x430 && c <= 0x44F))
            return c - 32;
        if (c >= 0x450 && c <= 0x45F)
            return c - 80;
        if (c >= 0x100 && c <= 0x137 && c != 0x130 && c != 0x131)
            return (c % 2 == 1) ? c - 1 : c;
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
            return (c % 2 == 0) ? c - 1 : c;
        if (c >= 0x14A && c <= 0x177)
            return (c % 2 == 1) ? c - 1 : c;
        return c;
    }
    if (c >= 'A' && c <= 'Z')
        return c + 32;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F))
        return c + 32;
    if (c >= 0x400 && c <= 0x40F)
        return c + 80;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return (c % 2 == 1) ? c + 1 : c;
    if (c >= 0x100 && c <= 0x137 && c != 0x130 && c != 0x131)
        return (c % 2 == 0) ? c + 1 : c;
    if (c >= 0x14A && c <= 0x177)
        return (c % 2 == 0) ? c + 1 : c;
    return c;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string changeLetterCase(std::string_view text, bool toUpper)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = text[i];
        if (c < 0x80) {
            out += static_cast<char>(changeCase(c, toUpper));
            ++i;
        } else if ((c >> 5) == 6 && i + 1 < text.size()) {
            const char32_t point = ((c & 0x1F) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F);
            appendUtf8(out, changeCase(point, toUpper));
            i += 2;
        } else {
            out += static_cast<char>(c);  // other sequences stay as they are, byte by byte
            ++i;
        }
    }
    return out;
}

std::string foldName(std::string_view name)
{
    return changeLetterCase(name, true);
}

}  // namespace oraemu
