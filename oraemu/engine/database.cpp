#include "database.h"

#include "catalog.h"
#include "decimal.h"
#include "identifiers.h"
#include "ora_error.h"

#include <sys/stat.h>

#include <memory>
#include <optional>

namespace oraemu {

namespace {

int compareNumbers(void*, int sizeA, const void* a, int sizeB, const void* b)
{
    return compareNumberText(std::string_view(static_cast<const char*>(a), sizeA),
                             std::string_view(static_cast<const char*>(b), sizeB));
}

// upper() and lower() as Oracle has them: beyond ASCII letters too.
void caseFunction(sqlite3_context* context, int, sqlite3_value** args)
{
    if (sqlite3_value_type(args[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(args[0]));
    const std::string changed =
        changeLetterCase(std::string_view(text, sqlite3_value_bytes(args[0])), sqlite3_user_data(context) != nullptr);
    sqlite3_result_text(context, changed.data(), static_cast<int>(changed.size()), SQLITE_TRANSIENT);
}

// SUM and AVG over NUMBER values, exact as Oracle computes them (SQLite's would round through double).
struct Accumulator {
    Decimal sum;
    std::uint64_t count = 0;
};

Accumulator* accumulatorOf(sqlite3_context* context, bool create)
{
    auto** slot = static_cast<Accumulator**>(sqlite3_aggregate_context(context, create ? sizeof(Accumulator*) : 0));
    if (!slot)
        return nullptr;
    if (!*slot && create)
        *slot = new Accumulator;
    return *slot;
}

void accumulate(sqlite3_context* context, int, sqlite3_value** args)
{
    std::optional<Decimal> value;
    switch (sqlite3_value_type(args[0])) {
    case SQLITE_NULL: return;
    case SQLITE_INTEGER: value = Decimal::fromInt(sqlite3_value_int64(args[0])); break;
    case SQLITE_FLOAT: value = Decimal::fromDouble(sqlite3_value_double(args[0])); break;
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(args[0]));
        value = Decimal::parse(std::string_view(text ? text : "", sqlite3_value_bytes(args[0])));
    }
    }
    if (!value) {
        sqlite3_result_error(context, "ORA-01722: invalid number", -1);
        return;
    }
    Accumulator* accumulator = accumulatorOf(context, true);
    if (!accumulator) {
        sqlite3_result_error_nomem(context);
        return;
    }
    accumulator->sum = Decimal::add(accumulator->sum, *value);
    ++accumulator->count;
}

void finishAggregate(sqlite3_context* context, bool average)
{
    std::unique_ptr<Accumulator> accumulator(accumulatorOf(context, false));
    if (!accumulator || accumulator->count == 0) {
        sqlite3_result_null(context);
        return;
    }
    const Decimal result = average ? accumulator->sum.dividedBy(accumulator->count) : accumulator->sum;
    std::int64_t whole = 0;
    if (result.toInt64(whole)) {
        sqlite3_result_int64(context, whole);
    } else {
        const std::string text = result.toString();
        sqlite3_result_text(context, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
}

void finishSum(sqlite3_context* context) { finishAggregate(context, false); }
void finishAverage(sqlite3_context* context) { finishAggregate(context, true); }

[[noreturn]] void unresolvable()
{
    throw OraError(12154, "TNS:could not resolve the connect identifier specified");
}

SqliteDb openFile(const std::string& path, int flags)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteDb db(raw);
    if (rc != SQLITE_OK)
        unresolvable();
    sqlite3_busy_timeout(db.get(), 20000);
    sqlite3_create_collation(db.get(), "oranum", SQLITE_UTF8, nullptr, compareNumbers);
    static int upperTag = 1;
    sqlite3_create_function(db.get(), "upper", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, &upperTag, caseFunction, nullptr,
                            nullptr);
    sqlite3_create_function(db.get(), "lower", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, caseFunction, nullptr,
                            nullptr);
    sqlite3_create_function(db.get(), "ora_sum", 1, SQLITE_UTF8, nullptr, nullptr, accumulate, finishSum);
    sqlite3_create_function(db.get(), "ora_avg", 1, SQLITE_UTF8, nullptr, nullptr, accumulate, finishAverage);
    sqlite3_extended_result_codes(db.get(), 1);
    return db;
}

void configure(sqlite3* db)
{
    sqlExec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA case_sensitive_like=ON;"
                "PRAGMA cache_size=-16000;");
}

bool isFile(const std::string& path)
{
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

void createDatabase(const std::string& path)
{
    if (isFile(path))
        throw OraError(1501, "CREATE DATABASE failed: " + path + " exists");
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    SqliteDb db(raw);
    if (rc != SQLITE_OK)
        throw OraError(1501, "CREATE DATABASE failed: cannot create " + path);
    configure(db.get());
    sqlExec(db.get(), "BEGIN");
    Catalog::createSchema(db.get());
    sqlExec(db.get(), "COMMIT");
}

SqliteDb openDatabase(const std::string& path)
{
    if (!isFile(path))
        unresolvable();
    SqliteDb db = openFile(path, SQLITE_OPEN_READWRITE);
    try {
        SqlStatement check(db.get(), "SELECT value FROM oraemu_meta WHERE key = 'format'");
        if (!check.step())
            unresolvable();
        configure(db.get());
    } catch (const OraError& error) {
        if (error.code() == 54)
            throw;
        unresolvable();
    }
    return db;
}

void addUser(const std::string& path, const std::string& name, const std::string& password)
{
    const std::string folded = foldName(name);
    if (folded.empty() || isReservedWord(folded) || !std::isalpha(static_cast<unsigned char>(folded[0])) ||
        folded.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_$#") != std::string::npos)
        throw OraError(1935, "missing user or role name");
    if (folded.size() > maxIdentifierBytes)
        throw OraError(972, "identifier is too long");
    if (password.empty())
        throw OraError(988, "missing or invalid password(s)");
    SqliteDb db = openDatabase(path);
    Catalog catalog(db.get());
    if (catalog.userExists(folded))
        throw OraError(1920, "user name '" + folded + "' conflicts with another user or role name");
    SqlStatement insert(db.get(), "INSERT INTO oraemu_users VALUES(?, ?)");
    insert.bind(1, folded);
    insert.bind(2, password);
    insert.step();
}

}  // namespace oraemu
