#pragma once

#include <QString>
#include <optional>

namespace dovrelle {

// Reads the MySQL or MariaDB string literal that starts at text[at] and moves `at` past it:
// an optional character set introducer (_utf8mb4), then '...' or "..." with backslash escapes
// (\\ \' \" \n \r \t \0 \Z \b; \% and \_ keep their backslash) and doubled quotes, or a hex
// (X'..', 0x..) or bit (b'..', 0b..) literal whose bytes are UTF-8 text. Returns nothing (and
// leaves `at`) when no such literal starts there or its bytes are no UTF-8 text.
std::optional<QString> readMySqlStringLiteral(const QString& text, qsizetype& at);

// A whole listed text that is one string literal (MariaDB's COLUMN_DEFAULT form), or nothing.
std::optional<QString> mysqlStringLiteralValue(const QString& text);

}  // namespace dovrelle
