#include "tokenizer.h"

#include "identifiers.h"
#include "ora_error.h"

#include <cctype>

namespace oraemu {

namespace {

// The longest text literal Oracle accepts in a statement (MAX_STRING_SIZE = STANDARD).
constexpr std::size_t maxLiteralBytes = 4000;

bool isWordStart(unsigned char c) { return std::isalpha(c) || c >= 0x80; }
bool isWordChar(unsigned char c) { return std::isalnum(c) || c == '_' || c == '$' || c == '#' || c >= 0x80; }

}  // namespace

std::vector<Token> tokenize(std::string_view sql)
{
    std::vector<Token> tokens;
    std::size_t i = 0;
    const std::size_t n = sql.size();
    while (i < n) {
        const unsigned char c = sql[i];
        if (std::isspace(c)) {
            ++i;
            continue;
        }
        if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            while (i < n && sql[i] != '\n')
                ++i;
            continue;
        }
        if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
            const std::size_t close = sql.find("*/", i + 2);
            i = close == std::string_view::npos ? n : close + 2;
            continue;
        }
        Token token;
        token.offset = i;
        if (isWordStart(c)) {
            const std::size_t start = i;
            while (i < n && isWordChar(static_cast<unsigned char>(sql[i])))
                ++i;
            token.kind = Token::Kind::Word;
            token.raw = std::string(sql.substr(start, i - start));
            token.text = foldName(token.raw);
        } else if (c == '"') {
            const std::size_t close = sql.find('"', i + 1);
            if (close == std::string_view::npos)
                throw OraError(1740, "missing double quote in identifier");
            token.kind = Token::Kind::QuotedName;
            token.text = std::string(sql.substr(i + 1, close - i - 1));
            token.raw = token.text;
            i = close + 1;
        } else if (c == '\'') {
            token.kind = Token::Kind::String;
            ++i;
            for (;;) {
                if (i >= n)
                    throw OraError(1756, "quoted string not properly terminated");
                if (sql[i] == '\'') {
                    if (i + 1 < n && sql[i + 1] == '\'') {
                        token.text += '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                token.text += sql[i++];
            }
            if (token.text.size() > maxLiteralBytes)
                throw OraError(1704, "string literal too long");
        } else if (std::isdigit(c) || (c == '.' && i + 1 < n && std::isdigit(static_cast<unsigned char>(sql[i + 1])))) {
            const std::size_t start = i;
            while (i < n && std::isdigit(static_cast<unsigned char>(sql[i])))
                ++i;
            if (i < n && sql[i] == '.') {
                ++i;
                while (i < n && std::isdigit(static_cast<unsigned char>(sql[i])))
                    ++i;
            }
            if (i < n && (sql[i] == 'e' || sql[i] == 'E')) {
                std::size_t j = i + 1;
                if (j < n && (sql[j] == '+' || sql[j] == '-'))
                    ++j;
                if (j < n && std::isdigit(static_cast<unsigned char>(sql[j]))) {
                    i = j;
                    while (i < n && std::isdigit(static_cast<unsigned char>(sql[i])))
                        ++i;
                }
            }
            token.kind = Token::Kind::Number;
            token.text = std::string(sql.substr(start, i - start));
        } else if (c == ':') {
            ++i;
            token.kind = Token::Kind::Bind;
            if (i < n && sql[i] == '"') {
                const std::size_t close = sql.find('"', i + 1);
                if (close == std::string_view::npos)
                    throw OraError(1740, "missing double quote in identifier");
                token.text = std::string(sql.substr(i + 1, close - i - 1));
                i = close + 1;
            } else {
                const std::size_t start = i;
                while (i < n && isWordChar(static_cast<unsigned char>(sql[i])))
                    ++i;
                if (i == start)
                    throw OraError(1036, "illegal variable name/number");
                token.text = foldName(sql.substr(start, i - start));
            }
        } else {
            static const char* const twoChar[] = {"<>", "!=", "<=", ">=", "||", "^="};
            token.kind = Token::Kind::Symbol;
            for (const char* pair : twoChar) {
                if (i + 1 < n && sql[i] == pair[0] && sql[i + 1] == pair[1]) {
                    token.text = pair;
                    break;
                }
            }
            if (token.text.empty()) {
                if (std::string_view("(),.;*=<>+-/").find(static_cast<char>(c)) == std::string_view::npos)
                    throw OraError(911, "invalid character");
                token.text = std::string(1, static_cast<char>(c));
            }
            i += token.text.size();
        }
        tokens.push_back(std::move(token));
    }
    Token end;
    end.offset = n;
    tokens.push_back(end);
    return tokens;
}

}  // namespace oraemu
