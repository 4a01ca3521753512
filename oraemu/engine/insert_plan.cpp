// INSERT: values checked against the column types in C++, then prepared SQLite inserts of one row,
// or of a group of rows for the bulk of an array insert.
#include "ora_error.h"
#include "parser.h"
#include "plans.h"
#include "session.h"

#include <algorithm>
#include <cstdlib>

namespace oraemu {

namespace {

// A text built only of literals, CHR(n) and || (as a DEFAULT that spells control characters):
// its value, or false when the expression is anything else.
bool foldConstantText(const Expr& expr, std::string& out)
{
    switch (expr.kind) {
    case Expr::Kind::Null: return true;  // '' and NULL add nothing
    case Expr::Kind::String: out += expr.text; return true;
    case Expr::Kind::Binary:
        return expr.text == "||" && foldConstantText(*expr.args[0], out) && foldConstantText(*expr.args[1], out);
    case Expr::Kind::Function: {
        if (expr.text != "CHR" || expr.args.size() != 1 || expr.args[0]->kind != Expr::Kind::Number)
            return false;
        const long code = std::strtol(expr.args[0]->text.c_str(), nullptr, 10);
        if (code < 0 || code > 127)
            return false;
        out += static_cast<char>(code);
        return true;
    }
    default: return false;
    }
}

}  // namespace

InsertPlan::Target valueTargetOf(const Expr& expr)
{
    InsertPlan::Target target;
    if (expr.kind == Expr::Kind::Binary || expr.kind == Expr::Kind::Function) {
        std::string text;
        if (foldConstantText(expr, text)) {
            if (!text.empty()) {
                target.kind = InsertPlan::Target::Kind::Literal;
                target.literal = std::move(text);
            }
            return target;
        }
    }
    switch (expr.kind) {
    case Expr::Kind::Null: return target;
    case Expr::Kind::String:
    case Expr::Kind::Number:
        target.kind = InsertPlan::Target::Kind::Literal;
        target.literal = expr.text;
        return target;
    case Expr::Kind::Negate:
        if (expr.args[0]->kind == Expr::Kind::Number) {
            target.kind = InsertPlan::Target::Kind::Literal;
            target.literal = "-" + expr.args[0]->text;
            return target;
        }
        break;
    case Expr::Kind::Bind:
        target.kind = InsertPlan::Target::Kind::Bind;
        target.placeholder = static_cast<std::size_t>(expr.bindIndex);
        return target;
    case Expr::Kind::Function: {
        const bool now = expr.text == "SYSDATE" || expr.text == "SYSTIMESTAMP" || expr.text == "CURRENT_DATE" ||
                         expr.text == "CURRENT_TIMESTAMP";
        if (now && expr.args.empty()) {
            target.kind = InsertPlan::Target::Kind::Now;
            return target;
        }
        const bool conversion = expr.text == "TO_DATE" || expr.text == "TO_TIMESTAMP";
        if (conversion && !expr.args.empty() && expr.args.size() <= 2) {
            for (const auto& arg : expr.args)
                if (arg->kind != Expr::Kind::String && arg->kind != Expr::Kind::Null)
                    throw OraError(3001, "unimplemented feature");
            if (expr.args[0]->kind == Expr::Kind::Null)
                return target;
            target.kind = expr.text == "TO_DATE" ? InsertPlan::Target::Kind::Date : InsertPlan::Target::Kind::Timestamp;
            target.literal = expr.args[0]->text;
            if (expr.args.size() == 2)
                target.format = expr.args[1]->text;
            return target;
        }
        break;
    }
    case Expr::Kind::Column: throw OraError(984, "column not allowed here");
    default: break;
    }
    throw OraError(3001, "unimplemented feature");
}

// Each case returns its value directly, so a bind's value is built once, where the caller keeps it.
InValue targetValue(const InsertPlan::Target& target, BindSource& binds, std::uint32_t row, const Nls& nls)
{
    switch (target.kind) {
    case InsertPlan::Target::Kind::Bind: return binds.value(target.placeholder, row);
    case InsertPlan::Target::Kind::Literal: return InValue::text(target.literal);
    case InsertPlan::Target::Kind::Date:
    case InsertPlan::Target::Kind::Timestamp: {
        const bool timestamp = target.kind == InsertPlan::Target::Kind::Timestamp;
        const DateFormat format = target.format.empty() ? (timestamp ? nls.timestampFormat : nls.dateFormat)
                                                        : DateFormat(target.format);
        return InValue::dateTime(format.parse(target.literal));
    }
    case InsertPlan::Target::Kind::Now: return InValue::dateTime(DateTime::now());
    case InsertPlan::Target::Kind::Null:
    case InsertPlan::Target::Kind::Identity: break;  // the caller takes the identity's next value
    }
    return {};
}

std::vector<InsertPlan::UniqueKey> uniqueKeysOf(Session& session, const TableDef& table)
{
    std::vector<InsertPlan::UniqueKey> keys;
    for (const ConstraintDef& constraint : session.catalog().constraintsOf(table)) {
        if (constraint.type != 'P' && constraint.type != 'U')
            continue;
        std::vector<int> columns = constraint.columns;
        std::sort(columns.begin(), columns.end());
        keys.push_back({columns, constraint.owner + "." + constraint.name});
    }
    for (const IndexDef& index : session.catalog().indexesOf(table)) {
        if (!index.unique)
            continue;
        std::vector<int> columns = index.columns;
        std::sort(columns.begin(), columns.end());
        keys.push_back({columns, index.owner + "." + index.name});
    }
    return keys;
}

void throwUniqueViolation(const TableDef& table, const std::vector<InsertPlan::UniqueKey>& keys,
                          const std::string& sqliteMessage)
{
    std::vector<int> columns;
    std::size_t at = 0;
    const std::string marker = table.dataTable() + ".c";
    while ((at = sqliteMessage.find(marker, at)) != std::string::npos) {
        at += marker.size();
        columns.push_back(std::atoi(sqliteMessage.c_str() + at) - 1);
    }
    std::sort(columns.begin(), columns.end());
    for (const auto& key : keys)
        if (key.columns == columns)
            throw OraError(1, "unique constraint (" + key.name + ") violated");
    throw OraError(1, "unique constraint (" + table.owner + ".UNKNOWN) violated");
}

namespace {

// What a column gets when the INSERT does not name it: the identity's next value, its DEFAULT, or NULL.
std::vector<InsertPlan::Target> defaultTargets(const TableDef& table)
{
    std::vector<InsertPlan::Target> targets(table.columns.size());
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        if (static_cast<int>(i) == table.identityColumn)
            targets[i].kind = InsertPlan::Target::Kind::Identity;
        else if (!table.columns[i].defaultText.empty())
            targets[i] = valueTargetOf(*parseExpression(table.columns[i].defaultText));
    }
    return targets;
}

// Rows that an array insert puts into one SQLite statement: SQLite's own cost of running a
// statement, about a fifth of a one-row insert, is then spread over them.
constexpr std::size_t insertGroupRows = 32;

std::size_t maxParameters(Session& session)
{
    return static_cast<std::size_t>(std::max(sqlite3_limit(session.db(), SQLITE_LIMIT_VARIABLE_NUMBER, -1), 1));
}

InValue identityValue(Session& session, const TableDef& table)
{
    InValue value;
    value.number = session.catalog().takeIdentityValue(table);
    value.kind = value.number.toInt64(value.i) ? InValue::Kind::Int : InValue::Kind::Number;
    return value;
}

}  // namespace

std::unique_ptr<InsertPlan> compileInsert(Session& session, const Insert& insert)
{
    auto plan = std::make_unique<InsertPlan>();
    plan->table = session.catalog().findTable(session.ownerOf(insert.table.schema), insert.table.name);
    if (!plan->table)
        throw OraError(942, "table or view does not exist");
    const TableDef& table = *plan->table;
    std::vector<int> columns;
    if (insert.columns.empty()) {
        for (std::size_t i = 0; i < table.columns.size(); ++i)
            columns.push_back(static_cast<int>(i));
    } else {
        for (const std::string& name : insert.columns) {
            const int index = table.columnIndex(name);
            if (index < 0)
                throwInvalidIdentifier(name);
            if (std::find(columns.begin(), columns.end(), index) != columns.end())
                throw OraError(957, "duplicate column name");
            columns.push_back(index);
        }
    }
    if (insert.values.size() < columns.size())
        throw OraError(947, "not enough values");
    if (insert.values.size() > columns.size())
        throw OraError(913, "too many values");
    plan->targets = defaultTargets(table);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (insert.values[i]->kind == Expr::Kind::Default)
            continue;  // VALUES (DEFAULT): what the column gets when the INSERT does not name it
        if (columns[i] == table.identityColumn && table.identityAlways)
            throw OraError(32795, "cannot insert into a generated always identity column");
        plan->targets[columns[i]] = valueTargetOf(*insert.values[i]);
    }

    std::string names, params;
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        names += (i ? ", " : "") + TableDef::dataColumn(i);
        params += i ? ", ?" : "?";
    }
    plan->statement = SqlStatement(session.db(), "INSERT INTO " + table.dataTable() + "(" + names + ") VALUES(" + params + ")");
    plan->uniqueKeys = uniqueKeysOf(session, table);
    auto checks = std::make_unique<RowConstraintChecks>(session, table);
    if (!checks->empty())
        plan->constraintChecks = std::move(checks);
    // Foreign keys and checks look at the table as each row arrives, and identity values are taken
    // row by row in order: such tables take their rows one at a time.
    if (!plan->constraintChecks && table.identityColumn < 0)
        plan->groupRows =
            std::max<std::size_t>(1, std::min(insertGroupRows, maxParameters(session) / table.columns.size()));
    plan->storage.resize(plan->groupRows * table.columns.size());
    return plan;
}

namespace {

// Converts one row's values into `row` (one Stored per column), checking each as Oracle does.
void convertRow(Session& session, InsertPlan& plan, BindSource& binds, std::uint32_t iteration, Stored* row)
{
    const TableDef& table = *plan.table;
    const Nls& nls = session.nls();
    for (std::size_t c = 0; c < plan.targets.size(); ++c) {
        const InsertPlan::Target& target = plan.targets[c];
        using Kind = InsertPlan::Target::Kind;
        const InValue value = target.kind == Kind::Bind       ? binds.value(target.placeholder, iteration)
                              : target.kind == Kind::Identity ? identityValue(session, table)
                                                              : targetValue(target, binds, iteration, nls);
        convertForColumn(value, table, c, nls, row[c]);
        if (row[c].kind == Stored::Kind::Null && static_cast<int>(c) == table.identityColumn && table.identityOnNull)
            convertForColumn(identityValue(session, table), table, c, nls, row[c]);
        if (row[c].kind == Stored::Kind::Null && !table.columns[c].nullable)
            throw OraError(1400, "cannot insert NULL into (\"" + table.owner + "\".\"" + table.name + "\".\"" +
                                     table.columns[c].name + "\")");
    }
}

// Binds one converted row to the parameters from `first` on; the values stay where they are until
// the statement has run.
void bindRow(SqlStatement& statement, int first, const Stored* row, std::size_t columns)
{
    for (std::size_t c = 0; c < columns; ++c) {
        const int param = first + static_cast<int>(c);
        switch (row[c].kind) {
        case Stored::Kind::Null: statement.bindNull(param); break;
        case Stored::Kind::Text: statement.bindStatic(param, row[c].text); break;
        case Stored::Kind::Blob: statement.bindBlobStatic(param, row[c].text); break;
        case Stored::Kind::Int: statement.bind(param, row[c].i); break;
        }
    }
}

// Runs a bound insert; ORA-00001 for a key it breaks, the SQLite error otherwise. Before it throws,
// `inserted` tells how many of the statement's rows went in.
void runBound(Session& session, const InsertPlan& plan, SqlStatement& insert, std::int64_t& inserted)
{
    const int rc = insert.stepRaw();
    if (rc == SQLITE_DONE) {
        sqlite3_reset(insert.get());
        return;
    }
    inserted = sqlite3_changes64(session.db());
    const std::string message = sqlite3_errmsg(session.db());
    sqlite3_reset(insert.get());
    if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
        throwUniqueViolation(*plan.table, plan.uniqueKeys, message);
    throwSqliteError(session.db(), rc);
}

// Inserts a row already converted into `row`.
void insertConverted(Session& session, InsertPlan& plan, BindSource& binds, std::uint32_t iteration, const Stored* row)
{
    try {
        bindRow(plan.statement, 1, row, plan.targets.size());
        if (plan.constraintChecks)
            plan.constraintChecks->verify(session, plan.storage, binds);
        std::int64_t inserted = 0;
        runBound(session, plan, plan.statement, inserted);
    } catch (OraError& error) {
        error.setRowOffset(iteration);
        throw;
    }
}

void insertOne(Session& session, InsertPlan& plan, BindSource& binds, std::uint32_t iteration)
{
    try {
        convertRow(session, plan, binds, iteration, plan.storage.data());
    } catch (OraError& error) {
        error.setRowOffset(iteration);
        throw;
    }
    insertConverted(session, plan, binds, iteration, plan.storage.data());
}

// The statement of a group: INSERT OR FAIL keeps the rows before a failing one, as separate
// inserts would, without the statement journal that undoing them would need.
SqlStatement groupStatementOf(Session& session, const InsertPlan& plan)
{
    const TableDef& table = *plan.table;
    std::string names, row;
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        names += (i ? ", " : "") + TableDef::dataColumn(i);
        row += i ? ", ?" : "(?";
    }
    row += ")";
    std::string sql = "INSERT OR FAIL INTO " + table.dataTable() + "(" + names + ") VALUES";
    for (std::size_t r = 0; r < plan.groupRows; ++r)
        sql += (r ? ", " : "") + row;
    return SqlStatement(session.db(), sql);
}

// Inserts iterations first..first+groupRows-1 with one statement. Errors come as separate inserts
// give them: when a row's values fail to convert, the rows before it go in one by one first (one of
// them may fail before it); when the statement fails, SQLite's count of inserted rows names the row.
void insertGroup(Session& session, InsertPlan& plan, BindSource& binds, std::uint32_t first)
{
    if (!plan.groupStatement)
        plan.groupStatement = groupStatementOf(session, plan);
    const std::size_t columns = plan.targets.size();
    for (std::size_t r = 0; r < plan.groupRows; ++r) {
        Stored* row = plan.storage.data() + r * columns;
        const auto iteration = static_cast<std::uint32_t>(first + r);
        try {
            convertRow(session, plan, binds, iteration, row);
        } catch (OraError& error) {
            for (std::size_t done = 0; done < r; ++done)
                insertConverted(session, plan, binds, first + static_cast<std::uint32_t>(done),
                                plan.storage.data() + done * columns);
            error.setRowOffset(iteration);
            throw;
        }
        bindRow(plan.groupStatement, static_cast<int>(r * columns + 1), row, columns);
    }
    std::int64_t inserted = 0;
    try {
        runBound(session, plan, plan.groupStatement, inserted);
    } catch (OraError& error) {
        error.setRowOffset(first + static_cast<std::uint32_t>(inserted));
        throw;
    }
}

}  // namespace

std::uint64_t runInsert(Session& session, InsertPlan& plan, BindSource& binds, std::uint32_t iterations,
                        std::uint32_t offset)
{
    session.beginWrite();
    const bool grouped = plan.groupRows > 1 && binds.keepsValues();
    const std::uint32_t end = offset + iterations;
    std::uint32_t row = offset;
    while (row < end) {
        if (grouped && end - row >= plan.groupRows) {
            insertGroup(session, plan, binds, row);
            row += static_cast<std::uint32_t>(plan.groupRows);
        } else {
            insertOne(session, plan, binds, row);
            ++row;
        }
    }
    return iterations;
}

}  // namespace oraemu
