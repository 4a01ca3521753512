#pragma once

#include "decimal.h"

namespace oraemu {

// Oracle's own form of a NUMBER, as OCINumber (SQLT_VNU) carries it: 22 bytes, the first the length
// of those that follow; then an exponent byte (base 100, sign in the top bit) and up to 20 base-100
// digits, each plus one (positive) or subtracted from 101 (negative, ended by 102 when shorter).
constexpr std::size_t oracleNumberBytes = 22;

// Writes the number, rounded to 40 significant digits; ORA-01426 when it is beyond NUMBER's range.
void encodeOracleNumber(Decimal number, unsigned char* out);
// Reads it back; ORA-01722 for bytes that are no NUMBER.
Decimal decodeOracleNumber(const unsigned char* in);

}  // namespace oraemu
