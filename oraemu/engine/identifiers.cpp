#include "identifiers.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace oraemu {

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

std::string foldName(std::string_view name)
{
    std::string out(name);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace oraemu
