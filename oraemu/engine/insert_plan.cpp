// INSERT: values checked against the column types in C++, then one prepared SQLite insert per row.
#include "ora_error.h"
#include "parser.h"
#include "plans.h"
#include "session.h"

#include <algorithm>

namespace oraemu {

InsertPlan::Target valueTargetOf(const Expr& expr)
{
    InsertPlan::Target target;
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

InValue identityValue(Session& session, const TableDef& table)
{
    InValue value;
    value.kind = InValue::Kind::Int;
    value.i = session.catalog().takeIdentityValue(table);
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
    plan->storage.resize(table.columns.size());
    plan->uniqueKeys = uniqueKeysOf(session, table);
    auto checks = std::make_unique<RowConstraintChecks>(session, table);
    if (!checks->empty())
        plan->constraintChecks = std::move(checks);
    return plan;
}

std::uint64_t runInsert(Session& session, InsertPlan& plan, BindSource& binds, std::uint32_t iterations,
                        std::uint32_t offset)
{
    const TableDef& table = *plan.table;
    const Nls& nls = session.nls();
    session.beginWrite();
    SqlStatement& insert = plan.statement;
    std::uint64_t done = 0;
    for (std::uint32_t row = offset; row < offset + iterations; ++row) {
        try {
            for (std::size_t c = 0; c < plan.targets.size(); ++c) {
                const InsertPlan::Target& target = plan.targets[c];
                const InValue value = target.kind == InsertPlan::Target::Kind::Identity
                                          ? identityValue(session, table)
                                          : targetValue(target, binds, row, nls);
                Stored& stored = plan.storage[c];
                convertForColumn(value, table, c, nls, stored);
                const int param = static_cast<int>(c + 1);
                switch (stored.kind) {
                case Stored::Kind::Null:
                    if (!table.columns[c].nullable)
                        throw OraError(1400, "cannot insert NULL into (\"" + table.owner + "\".\"" + table.name +
                                                 "\".\"" + table.columns[c].name + "\")");
                    insert.bindNull(param);
                    break;
                case Stored::Kind::Text: insert.bindStatic(param, stored.text); break;
                case Stored::Kind::Blob: insert.bindBlobStatic(param, stored.text); break;
                case Stored::Kind::Int: insert.bind(param, stored.i); break;
                }
            }
            if (plan.constraintChecks)
                plan.constraintChecks->verify(session, plan.storage, binds);
            const int rc = insert.stepRaw();
            if (rc != SQLITE_DONE) {
                const std::string message = sqlite3_errmsg(session.db());
                sqlite3_reset(insert.get());
                if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
                    throwUniqueViolation(table, plan.uniqueKeys, message);
                throwSqliteError(session.db(), rc);
            }
            sqlite3_reset(insert.get());
        } catch (OraError& error) {
            sqlite3_reset(insert.get());
            error.setRowOffset(row);
            throw;
        }
        ++done;
    }
    return done;
}

}  // namespace oraemu
