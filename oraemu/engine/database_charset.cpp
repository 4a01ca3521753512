#include "database_charset.h"

#include "database.h"
#include "identifiers.h"
#include "ora_error.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace oraemu {

namespace {

constexpr const char* metaKey = "nls_characterset";

struct CharacterSet {
    std::string_view name;
    int id;
};

constexpr std::array<CharacterSet, 5> modelledSets = {{
    {"AL32UTF8", 873},
    {"UTF8", 871},
    {"US7ASCII", 1},
    {"WE8ISO8859P1", 31},
    {"WE8MSWIN1252", 178},
}};

// The characters of Windows-1252 at 0x80..0x9F (the rest of the set is Latin-1).
constexpr std::array<char32_t, 27> windows1252Extras = {
    0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x017D, 0x2018,
    0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178};

bool holds(std::string_view set, char32_t c)
{
    if (c < 0x80 || holdsAllCharacters(set))
        return true;
    if (set == "WE8ISO8859P1")
        return c <= 0xFF;
    if (set == "WE8MSWIN1252")
        return (c >= 0xA0 && c <= 0xFF) ||
               std::find(windows1252Extras.begin(), windows1252Extras.end(), c) != windows1252Extras.end();
    return false;  // US7ASCII
}

// Reads one UTF-8 character at `at`; an invalid byte counts as one character of its own.
char32_t nextCharacter(std::string_view text, std::size_t& at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    const int extra = lead < 0x80 ? 0 : (lead >> 5) == 6 ? 1 : (lead >> 4) == 14 ? 2 : (lead >> 3) == 30 ? 3 : -1;
    if (extra <= 0 || at + static_cast<std::size_t>(extra) >= text.size()) {
        ++at;
        return extra == 0 ? lead : 0xFFFD;
    }
    char32_t c = lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k)
        c = (c << 6) | (static_cast<unsigned char>(text[at + k]) & 0x3F);
    at += static_cast<std::size_t>(extra) + 1;
    return c;
}

}  // namespace

bool isModelledCharacterSet(std::string_view name)
{
    return std::any_of(modelledSets.begin(), modelledSets.end(), [&](const CharacterSet& s) { return s.name == name; });
}

int characterSetId(std::string_view name)
{
    for (const CharacterSet& set : modelledSets)
        if (set.name == name)
            return set.id;
    return 873;
}

bool holdsAllCharacters(std::string_view name)
{
    return name == "AL32UTF8" || name == "UTF8";
}

std::string replaceUnheldCharacters(std::string_view utf8, std::string_view name)
{
    const std::string_view replacement = name == "US7ASCII" ? "?" : "\xC2\xBF";
    std::string out;
    out.reserve(utf8.size());
    std::size_t at = 0;
    while (at < utf8.size()) {
        const std::size_t start = at;
        const char32_t c = nextCharacter(utf8, at);
        if (holds(name, c))
            out.append(utf8.substr(start, at - start));
        else
            out.append(replacement);
    }
    return out;
}

void setDatabaseCharacterSet(const std::string& path, const std::string& name)
{
    const std::string folded = foldName(name);
    if (!isModelledCharacterSet(folded))
        throw OraError(12715, "invalid character set specified");
    SqliteDb db = openDatabase(path);
    SqlStatement store(db.get(), "INSERT OR REPLACE INTO oraemu_meta VALUES(?, ?)");
    store.bind(1, std::string(metaKey));
    store.bind(2, folded);
    store.step();
}

std::string databaseCharacterSet(sqlite3* db)
{
    SqlStatement query(db, "SELECT value FROM oraemu_meta WHERE key = ?");
    query.bind(1, std::string(metaKey));
    return query.step() ? query.columnText(0) : std::string(unicodeCharacterSet);
}

}  // namespace oraemu
