#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace oraemu {

struct Token {
    enum class Kind { Word, QuotedName, String, Number, Bind, Symbol, End };
    Kind kind = Kind::End;
    std::string text;   // Word: upper-cased; QuotedName/String: content; Bind: name upper-cased
    std::string raw;    // as written (Word), for messages
    std::size_t offset = 0;

    bool isWord(std::string_view word) const { return kind == Kind::Word && text == word; }
    bool isSymbol(std::string_view symbol) const { return kind == Kind::Symbol && text == symbol; }
};

// Splits an Oracle SQL statement into tokens. Throws ORA-01756 for an open string literal,
// ORA-01740 for an open quoted name, ORA-00911 for a character that has no place in SQL.
std::vector<Token> tokenize(std::string_view sql);

}  // namespace oraemu
