#pragma once

#include <QString>
#include <optional>

namespace dovrelle {

// Reads a whole number the way the settings reader accepts one: blanks before it, an optional
// sign, then decimal digits, or hexadecimal digits after "$", "x" or "0x" (x in either case).
// Nothing may follow the number; the empty text is not a number. Hexadecimal numbers up to
// eight digits wrap into the 32-bit range as two's complement.
std::optional<int> parseWholeNumber(const QString& text);

// parseWholeNumber, throwing Error "''<text>'' is not a valid integer value" when it fails (the
// text shown as quotedRejectedValue shows it, or not at all when it holds another setting's text).
int toWholeNumber(const QString& text);

// The entry of a radio group with `count` entries that the number n chooses: a number beyond the
// last entry chooses the last one, -1 or less chooses none (-1).
int radioEntryFor(int n, int count);

}  // namespace dovrelle
