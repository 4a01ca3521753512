#pragma once

#include "sqlite_util.h"

#include <string>
#include <string_view>

namespace oraemu {

// The database character set (NLS_CHARACTERSET) of an oraemu database. New databases use
// AL32UTF8; `oraemu charset` gives a database one of the few other sets modelled here, so that a
// client can be tested against a database that cannot hold every character. The national
// character set (NCHAR, NVARCHAR2, NCLOB) is always AL16UTF16.
inline constexpr std::string_view unicodeCharacterSet = "AL32UTF8";
inline constexpr std::string_view nationalCharacterSet = "AL16UTF16";

// True for the sets oraemu models: AL32UTF8, UTF8, US7ASCII, WE8ISO8859P1, WE8MSWIN1252.
bool isModelledCharacterSet(std::string_view name);
// Oracle's number of the set (873 for AL32UTF8, 178 for WE8MSWIN1252 ...).
int characterSetId(std::string_view name);
// True when the set holds every Unicode character (AL32UTF8, UTF8).
bool holdsAllCharacters(std::string_view name);

// The UTF-8 text as it is stored in a database of the given set: every character the set lacks
// becomes the set's replacement character ('?' in US7ASCII, inverted question mark in the
// Western European sets), as Oracle's conversion does.
std::string replaceUnheldCharacters(std::string_view utf8, std::string_view name);

// Stores the set in the database file; ORA-12715 for a set that is not modelled.
void setDatabaseCharacterSet(const std::string& path, const std::string& name);
// The set the database was given, AL32UTF8 when none.
std::string databaseCharacterSet(sqlite3* db);

}  // namespace oraemu
