#pragma once

#include <string>
#include <string_view>

namespace oraemu {

constexpr std::size_t maxIdentifierBytes = 30;

// Words Oracle reserves: they cannot be unquoted names.
bool isReservedWord(std::string_view upperWord);

// Upper-cases the letters, as Oracle folds an unquoted name.
std::string foldName(std::string_view name);

// Upper or lower case of UTF-8 text (Latin, Greek and Cyrillic letters; others unchanged).
std::string changeLetterCase(std::string_view text, bool toUpper);

}  // namespace oraemu
