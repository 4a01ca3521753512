#include "database.h"

#include "catalog.h"
#include "datetime.h"
#include "decimal.h"
#include "identifiers.h"
#include "ora_error.h"
#include "storage_tuning.h"

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

std::string_view textArgument(sqlite3_value* value)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return std::string_view(text ? text : "", sqlite3_value_bytes(value));
}

void resultError(sqlite3_context* context, const OraError& error)
{
    sqlite3_result_error(context, error.message().c_str(), static_cast<int>(error.message().size()));
}

// ora_single_row(rows, value): a scalar sub-query's value, which Oracle refuses from more than one row.
void singleRow(sqlite3_context* context, int, sqlite3_value** args)
{
    if (sqlite3_value_int64(args[0]) > 1) {
        resultError(context, OraError(1427, "single-row subquery returns more than one row"));
        return;
    }
    sqlite3_result_value(context, args[1]);
}

std::optional<Decimal> numberArgument(sqlite3_value* value)
{
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER: return Decimal::fromInt(sqlite3_value_int64(value));
    case SQLITE_FLOAT: return Decimal::fromDouble(sqlite3_value_double(value));
    default: return Decimal::parse(textArgument(value));
    }
}

void resultNumber(sqlite3_context* context, const Decimal& number)
{
    std::int64_t whole = 0;
    if (number.toInt64(whole)) {
        sqlite3_result_int64(context, whole);
        return;
    }
    const std::string text = number.toString();
    sqlite3_result_text(context, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

// a + b, a - b, a * b and a / b on exact decimals; the operator is the function's user data.
void arithmetic(sqlite3_context* context, int, sqlite3_value** args)
{
    if (sqlite3_value_type(args[0]) == SQLITE_NULL || sqlite3_value_type(args[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto a = numberArgument(args[0]);
    const auto b = numberArgument(args[1]);
    if (!a || !b) {
        resultError(context, OraError(1722, "invalid number"));
        return;
    }
    switch (*static_cast<const char*>(sqlite3_user_data(context))) {
    case '+': resultNumber(context, Decimal::add(*a, *b)); return;
    case '-': resultNumber(context, Decimal::add(*a, b->negated())); return;
    case '*': resultNumber(context, Decimal::multiply(*a, *b)); return;
    default: {
        const auto quotient = Decimal::divide(*a, *b);
        if (!quotient)
            resultError(context, OraError(1476, "divisor is equal to zero"));
        else
            resultNumber(context, *quotient);
    }
    }
}

// ROUND(n, d) and TRUNC(n, d) of numbers; the user data says which.
void roundNumber(sqlite3_context* context, int count, sqlite3_value** args)
{
    if (sqlite3_value_type(args[0]) == SQLITE_NULL || (count > 1 && sqlite3_value_type(args[1]) == SQLITE_NULL)) {
        sqlite3_result_null(context);
        return;
    }
    auto number = numberArgument(args[0]);
    if (!number) {
        resultError(context, OraError(1722, "invalid number"));
        return;
    }
    const int scale = count > 1 ? sqlite3_value_int(args[1]) : 0;
    if (sqlite3_user_data(context))
        number->truncateToScale(scale);
    else
        number->roundToScale(scale);
    resultNumber(context, *number);
}

// TO_NUMBER(text): the number in its stored form.
void toNumber(sqlite3_context* context, int, sqlite3_value** args)
{
    const int type = sqlite3_value_type(args[0]);
    if (type == SQLITE_NULL || type == SQLITE_INTEGER) {
        sqlite3_result_value(context, args[0]);
        return;
    }
    auto number = type == SQLITE_FLOAT ? Decimal::fromDouble(sqlite3_value_double(args[0]))
                                       : Decimal::parse(textArgument(args[0]));
    if (!number) {
        resultError(context, OraError(1722, "invalid number"));
        return;
    }
    std::int64_t whole = 0;
    if (number->toInt64(whole)) {
        sqlite3_result_int64(context, whole);
        return;
    }
    const std::string text = number->toString();
    sqlite3_result_text(context, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

// TO_DATE / TO_TIMESTAMP(text, format, fraction digits): the stored form of the value.
void parseDate(sqlite3_context* context, int, sqlite3_value** args)
{
    if (sqlite3_value_type(args[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    try {
        DateTime value = DateFormat(textArgument(args[1])).parse(textArgument(args[0]));
        const int digits = sqlite3_value_int(args[2]);
        value.roundFraction(digits);
        const std::string text = value.toStorage(digits);
        sqlite3_result_text(context, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    } catch (const OraError& error) {
        resultError(context, error);
    }
}

// TO_CHAR(date or timestamp, format, fraction digits).
void formatDate(sqlite3_context* context, int, sqlite3_value** args)
{
    if (sqlite3_value_type(args[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    try {
        const std::string text =
            DateFormat(textArgument(args[1])).format(DateTime::fromStorage(textArgument(args[0])), sqlite3_value_int(args[2]));
        sqlite3_result_text(context, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    } catch (const OraError& error) {
        resultError(context, error);
    }
}

// The service of a logon is a database file's path: the error names the file, so that a
// mistyped path is seen at once.
[[noreturn]] void unresolvable(const std::string& path, const char* why)
{
    throw OraError(12154, "TNS:could not resolve the connect identifier specified (" + std::string(why) + ": " +
                              path + ")");
}

SqliteDb openFile(const std::string& path, int flags)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteDb db(raw);
    if (rc != SQLITE_OK)
        unresolvable(path, "cannot open the oraemu database file");
    sqlite3_busy_timeout(db.get(), busyTimeoutMs);
    sqlite3_create_collation(db.get(), "oranum", SQLITE_UTF8, nullptr, compareNumbers);
    static int upperTag = 1;
    sqlite3_create_function(db.get(), "upper", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, &upperTag, caseFunction, nullptr,
                            nullptr);
    sqlite3_create_function(db.get(), "lower", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, caseFunction, nullptr,
                            nullptr);
    static const char operators[] = "+-*/";
    for (int i = 0; i < 4; ++i)
        sqlite3_create_function(db.get(), (std::string("ora_op") + std::to_string(i)).c_str(), 2,
                                SQLITE_UTF8 | SQLITE_DETERMINISTIC, const_cast<char*>(operators + i), arithmetic,
                                nullptr, nullptr);
    static int truncateTag = 1;
    for (int arguments = 1; arguments <= 2; ++arguments) {
        sqlite3_create_function(db.get(), "ora_round", arguments, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                roundNumber, nullptr, nullptr);
        sqlite3_create_function(db.get(), "ora_trunc", arguments, SQLITE_UTF8 | SQLITE_DETERMINISTIC, &truncateTag,
                                roundNumber, nullptr, nullptr);
    }
    sqlite3_create_function(db.get(), "ora_to_number", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, toNumber,
                            nullptr, nullptr);
    sqlite3_create_function(db.get(), "ora_parse_date", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, parseDate,
                            nullptr, nullptr);
    sqlite3_create_function(db.get(), "ora_format_date", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, formatDate,
                            nullptr, nullptr);
    sqlite3_create_function(db.get(), "ora_single_row", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, singleRow,
                            nullptr, nullptr);
    sqlite3_create_function(db.get(), "ora_sum", 1, SQLITE_UTF8, nullptr, nullptr, accumulate, finishSum);
    sqlite3_create_function(db.get(), "ora_avg", 1, SQLITE_UTF8, nullptr, nullptr, accumulate, finishAverage);
    sqlite3_extended_result_codes(db.get(), 1);
    return db;
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
    sqlExec(db.get(), "PRAGMA page_size=" + std::to_string(newFilePageSize));
    tuneConnection(db.get());
    sqlExec(db.get(), "BEGIN");
    Catalog::createSchema(db.get());
    sqlExec(db.get(), "COMMIT");
}

SqliteDb openDatabase(const std::string& path)
{
    if (!isFile(path))
        unresolvable(path, "no oraemu database file");
    SqliteDb db = openFile(path, SQLITE_OPEN_READWRITE);
    try {
        {
            // Finished before the upgrade, which may drop a catalog table (no statement may be reading).
            SqlStatement check(db.get(), "SELECT value FROM oraemu_meta WHERE key = 'format'");
            if (!check.step())
                unresolvable(path, "not an oraemu database file");
        }
        tuneConnection(db.get());
        Catalog::upgradeSchema(db.get());
    } catch (const OraError& error) {
        if (error.code() == 54 || error.code() == 12154)
            throw;
        unresolvable(path, "not an oraemu database file");
    }
    return db;
}

void addUser(const std::string& path, const std::string& name, const std::string& password)
{
    const std::string folded = foldName(name);
    if (folded.empty() || isReservedWord(folded) || !std::isalpha(static_cast<unsigned char>(folded[0])) ||
        folded.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_$#") != std::string::npos)
        throw OraError(1935, "missing user or role name");
    if (folded.size() > maxIdentifierBytes())
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

namespace oraemu {

namespace {

std::string graceKey(const std::string& user)
{
    return "password_grace:" + user;
}

}  // namespace

void setPasswordGrace(const std::string& path, const std::string& name, int days)
{
    SqliteDb db = openDatabase(path);
    const std::string folded = foldName(name);
    if (!Catalog(db.get()).userExists(folded))
        throw OraError(1918, "user '" + folded + "' does not exist");
    SqlStatement erase(db.get(), "DELETE FROM oraemu_meta WHERE key = ?");
    erase.bind(1, graceKey(folded));
    erase.step();
    if (days <= 0)
        return;
    SqlStatement insert(db.get(), "INSERT INTO oraemu_meta VALUES(?, ?)");
    insert.bind(1, graceKey(folded));
    insert.bind(2, std::to_string(days));
    insert.step();
}

int passwordGraceDays(sqlite3* db, const std::string& user)
{
    SqlStatement query(db, "SELECT value FROM oraemu_meta WHERE key = ?");
    query.bind(1, graceKey(user));
    return query.step() ? std::stoi(query.columnText(0)) : 0;
}

}  // namespace oraemu
