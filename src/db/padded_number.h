#pragma once

namespace dovrelle {

// Writes the number as printf's "%0<width>lld" does: at least `width` characters, zeros after
// the minus sign. Returns the end of what was written (at most 21 characters past `width`).
// Dates and times are written this way once per value of a table, where snprintf's format
// parsing would cost more than the rest of the value's handling.
char* writePaddedNumber(char* at, long long value, int width);

// Writes "HH:MI:SS", the hours with at least two digits.
char* writeClock(char* at, long long hours, int minute, int second);

// Writes "YYYY-MM-DD HH:MI:SS".
char* writeDateAndClock(char* at, int year, int month, int day, long long hours, int minute, int second);

}  // namespace dovrelle
