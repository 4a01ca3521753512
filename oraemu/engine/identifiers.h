#pragma once

#include <string>
#include <string_view>

namespace oraemu {

// The longest name in bytes: 30, as in a database whose COMPATIBLE setting is below 12.2; the
// environment variable ORAEMU_MAX_IDENTIFIER_BYTES=128 makes it behave as 12.2 and later.
std::size_t maxIdentifierBytes();

// Words Oracle reserves: they cannot be unquoted names.
bool isReservedWord(std::string_view upperWord);

// Upper-cases the letters, as Oracle folds an unquoted name.
std::string foldName(std::string_view name);

// Upper or lower case of UTF-8 text (Latin, Greek and Cyrillic letters; others unchanged).
std::string changeLetterCase(std::string_view text, bool toUpper);

}  // namespace oraemu
