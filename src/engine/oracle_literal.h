#pragma once

#include <QString>

namespace dovrelle {

// A text as an Oracle expression: a quoted literal (a quote inside doubled), with each control
// character as CHR(n) joined by ||, so no line break, NUL or other control character travels
// inside the statement's own text. Every other character stays as it is; the session's AL32UTF8
// carries it.
QString oracleTextLiteral(const QString& text);

// A text as one plain Oracle string literal (a quote inside doubled), for the statements that
// take nothing but a literal (COMMENT ON).
QString oracleQuotedText(const QString& text);

}  // namespace dovrelle
