#pragma once

#include "db/oracle_name.h"

#include <QString>
#include <functional>

namespace dovrelle {

// Longest Oracle name the system creates, in characters; also the server's limit in bytes before
// Oracle 12.2 (from 12.2 on it is 128 bytes, see OracleConnection::maxIdentifierBytes).
inline constexpr int kOracleNameLength = 30;

// The name with a to z turned into A to Z when upperCase is set; no other character changes.
QString applyNameCase(const QString& name, bool upperCase);

// The first `length` characters of the name (all of it when shorter). A cut never splits a
// surrogate pair: a lone high surrogate left at the end is dropped.
QString leftChars(const QString& name, int length);

// The longest start of the name that has at most `maxBytes` bytes in UTF-8; never splits a
// character (nor a surrogate pair).
QString leftUtf8Bytes(const QString& name, int maxBytes);

// A column, index or constraint name cut to the Oracle limit: at most 30 characters and at most
// `maxBytes` bytes in UTF-8 (the server's identifier limit).
QString cutToOracleLength(const QString& name, int maxBytes = kOracleNameLength);

// A MySQL column's Oracle name: cut to the Oracle limit, then the name case.
QString oracleColumnName(const QString& mysqlName, bool upperCase, int maxBytes);

// The Oracle table name for a (name-cased) MySQL table name: unchanged when it has at most 30
// characters and `maxBytes` bytes; otherwise its first 26 characters (fewer when they pass
// `maxBytes` - 4 bytes) followed by the first of "0000" .. "0100" for which `exists` is false, or
// the one ending in "0100" when every one exists.
QString oracleTableName(const QString& casedName, const std::function<bool(const QString&)>& exists,
                        int maxBytes = kOracleNameLength);

// True when the Oracle table name of this (name-cased) MySQL name takes a four-digit suffix.
bool needsLongNameSuffix(const QString& casedName, int maxBytes = kOracleNameLength);
// True when `oracleName` is one of the 101 suffixed names oracleTableName may choose for it.
bool isSuffixedNameOf(const QString& oracleName, const QString& casedName,
                      int maxBytes = kOracleNameLength);

// Oracle names reach SQL through oracleQuotedName (db/oracle_name.h), the one quoting rule.

// The name as a MySQL identifier: between backticks, a backtick inside doubled.
QString mysqlQuotedName(const QString& name);

}  // namespace dovrelle
