// DELETE, UPDATE and TRUNCATE TABLE.
#include "datetime.h"
#include "decimal.h"
#include "ora_error.h"
#include "plans.h"
#include "returning.h"
#include "session.h"
#include "translator.h"

#include <algorithm>
#include <optional>

namespace oraemu {

namespace {

// Steps an SQLite DELETE or UPDATE to its end, keeping the rows its RETURNING clause hands back.
int stepCollecting(SqlStatement& statement, ReturnedRows* returned, std::uint32_t iteration)
{
    int rc = statement.stepRaw();
    while (rc == SQLITE_ROW) {
        ReturnedRow row;
        for (std::size_t i = 0; i < returned->columns.size(); ++i)
            row.push_back(returnedValue(statement.get(), static_cast<int>(i)));
        returned->iteration(iteration).push_back(std::move(row));
        rc = statement.stepRaw();
    }
    if (rc == SQLITE_DONE && returned->iteration(iteration).size() > returned->maxRows) {
        sqlite3_reset(statement.get());
        throw OraError(24369, "required callbacks not registered for one or more bind handles");
    }
    return rc;
}

// An assignment whose value comes from the row: a column, or an expression the translator reads
// (an operator, a function). Literals, binds, SYSDATE and TO_DATE of literals are bound directly.
bool readsRow(const Expr& expr)
{
    try {
        valueTargetOf(expr);
        return false;
    } catch (const OraError&) {
        return true;
    }
}

// The columns an UPDATE sets: ORA-00904, ORA-01747 or ORA-32796 for one it may not set.
std::vector<int> assignedColumns(const TableDef& table, const Update& update)
{
    std::vector<int> columns;
    for (const auto& assignment : update.assignments) {
        const int column = table.columnIndex(assignment.first);
        if (column < 0)
            throwInvalidIdentifier(assignment.first);
        if (std::find(columns.begin(), columns.end(), column) != columns.end())
            throw OraError(1747, "invalid user.table.column, table.column, or column name");
        if (column == table.identityColumn && table.identityAlways)
            throw OraError(32796, "cannot update a generated always identity column");
        columns.push_back(column);
    }
    return columns;
}

// Binds the stored form of one assigned value; ORA-01407 for NULL in a NOT NULL column.
void bindAssigned(SqlStatement& statement, int index, const Stored& value, const TableDef& table, int column)
{
    switch (value.kind) {
    case Stored::Kind::Null:
        if (!table.columns[column].nullable)
            throw OraError(1407, "cannot update (\"" + table.owner + "\".\"" + table.name + "\".\"" +
                                     table.columns[column].name + "\") to NULL");
        statement.bindNull(index);
        break;
    case Stored::Kind::Text: statement.bindStatic(index, value.text); break;
    case Stored::Kind::Blob: statement.bindBlobStatic(index, value.text); break;
    case Stored::Kind::Int: statement.bind(index, value.i); break;
    }
}

// Runs a bound UPDATE once; returns the rows it changed (ORA-00001 for a broken key).
std::uint64_t stepUpdate(Session& session, SqlStatement& statement, const TableDef& table,
                         const std::vector<InsertPlan::UniqueKey>& keys, ReturnedRows* returned,
                         std::uint32_t iteration)
{
    const int rc = returned ? stepCollecting(statement, returned, iteration) : statement.stepRaw();
    if (rc != SQLITE_DONE) {
        const std::string message = sqlite3_errmsg(session.db());
        sqlite3_reset(statement.get());
        if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
            throwUniqueViolation(table, keys, message);
        throwSqliteError(session.db(), rc);
    }
    const auto changed = static_cast<std::uint64_t>(sqlite3_changes64(session.db()));
    sqlite3_reset(statement.get());
    return changed;
}

// What identifies a row of the data table: its rowid, or the key of a WITHOUT ROWID table.
std::vector<std::string> rowKeyOf(Session& session, const TableDef& table)
{
    SqlStatement withoutRowid(session.db(), "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?1 "
                                            "AND upper(sql) LIKE '%WITHOUT ROWID'");
    withoutRowid.bind(1, std::string_view(table.dataTable()));
    if (!withoutRowid.step())
        return {"rowid"};
    std::vector<std::string> key;
    SqlStatement keyColumns(session.db(), "SELECT name FROM pragma_table_info(?1) WHERE pk > 0 ORDER BY pk");
    keyColumns.bind(1, std::string_view(table.dataTable()));
    while (keyColumns.step())
        key.push_back(keyColumns.columnText(0));
    return key;
}

void bindReadValue(SqlStatement& statement, int index, const ReturnedValue& value)
{
    switch (value.kind) {
    case OutValue::Kind::Null: statement.bindNull(index); break;
    case OutValue::Kind::Int: statement.bind(index, value.i); break;
    case OutValue::Kind::Real: statement.bindDouble(index, value.d); break;
    case OutValue::Kind::Text: statement.bindStatic(index, value.bytes); break;
    case OutValue::Kind::Blob: statement.bindBlobStatic(index, value.bytes); break;
    }
}

// A value an expression computed in SQLite, as a client value of the expression's type, so that
// the column's conversion checks it as it checks any other value.
InValue computedValue(const ReturnedValue& value, const ColumnType& type)
{
    InValue in;
    switch (value.kind) {
    case OutValue::Kind::Null: break;
    case OutValue::Kind::Int: in.kind = InValue::Kind::Int; in.i = value.i; break;
    case OutValue::Kind::Real: in.kind = InValue::Kind::Double; in.d = value.d; break;
    case OutValue::Kind::Blob: in.kind = InValue::Kind::Bytes; in.bytes = value.bytes; break;
    case OutValue::Kind::Text:
        if (type.kind == ColumnType::Kind::Date || type.isTimestamp())
            return InValue::dateTime(DateTime::fromStorage(value.bytes));
        if (type.isNumber())
            if (const auto number = Decimal::parse(value.bytes)) {
                in.kind = InValue::Kind::Number;
                in.number = *number;
                break;
            }
        in = InValue::text(value.bytes);
        break;
    }
    return in;
}

// An UPDATE setting values computed from each row (SET n = n + 1, SET v = UPPER(v)): the rows and
// their new values are read first, all from the rows as they were, then each row is updated by
// its key with the values converted and checked for their columns.
std::uint64_t runRowUpdate(Session& session, const Update& update, const TableDef& table, BindSource& binds,
                           std::uint32_t iterations, std::uint32_t offset, ReturnedRows* returned)
{
    const std::vector<int> columns = assignedColumns(table, update);
    QuerySource source = sourceOf(session, update.table);
    std::vector<ParamSource> params;
    Translator translator(session, source, update.alias, params);
    const std::vector<std::string> key = rowKeyOf(session, table);
    std::string read = "SELECT ";
    for (std::size_t i = 0; i < key.size(); ++i)
        read += (i ? ", src." : "src.") + key[i];
    std::vector<std::optional<Typed>> computed;  // per assignment; empty: bound as before
    std::vector<InsertPlan::Target> targets;
    for (const auto& assignment : update.assignments) {
        if (readsRow(*assignment.second)) {
            computed.push_back(translator.translate(*assignment.second));
            read += ", " + computed.back()->sql;
            targets.emplace_back();
        } else {
            computed.emplace_back();
            targets.push_back(valueTargetOf(*assignment.second));
        }
    }
    read += " FROM " + table.dataTable() + " AS src";
    if (update.where)
        read += " WHERE " + translator.translate(*update.where).sql;
    std::string write = "UPDATE " + table.dataTable() + " AS src SET ";
    for (std::size_t i = 0; i < columns.size(); ++i)
        write += (i ? ", " : "") + TableDef::dataColumn(columns[i]) + " = ?" + std::to_string(i + 1);
    for (std::size_t i = 0; i < key.size(); ++i)
        write += (i ? " AND " : " WHERE ") + key[i] + " IS ?" + std::to_string(columns.size() + i + 1);
    if (returned)
        write += sqliteReturning(returned->columns);
    session.beginWrite();
    SqlStatement reader(session.db(), read);
    SqlStatement writer(session.db(), write);
    const auto keys = uniqueKeysOf(session, table);
    std::vector<Stored> storage(params.size());
    std::vector<Stored> values(columns.size());
    std::uint64_t changed = 0;
    // As in the single statement form: with foreign keys, checks or RETURNING a failure undoes the
    // whole execute, otherwise only the failing iteration (whose rows are updated one by one).
    std::optional<StatementSavepoint> savepoint;
    const bool relational = hasRelationalConstraints(session, table);
    if (returned || relational)
        savepoint.emplace(session);
    for (std::uint32_t row = offset; row < offset + iterations; ++row) {
        try {
            StatementSavepoint iteration(session);
            bindParams(session, reader, params, storage, binds, row);
            std::vector<ReturnedRow> rows;
            while (reader.step()) {
                ReturnedRow current;
                for (int i = 0; i < sqlite3_column_count(reader.get()); ++i)
                    current.push_back(returnedValue(reader.get(), i));
                rows.push_back(std::move(current));
            }
            reader.reset();
            for (const ReturnedRow& old : rows) {
                std::size_t next = key.size();
                for (std::size_t i = 0; i < columns.size(); ++i) {
                    const InValue value = computed[i] ? computedValue(old[next++], computed[i]->type)
                                                      : targetValue(targets[i], binds, row, session.nls());
                    convertForColumn(value, table, columns[i], session.nls(), values[i]);
                    bindAssigned(writer, static_cast<int>(i + 1), values[i], table, columns[i]);
                }
                for (std::size_t i = 0; i < key.size(); ++i)
                    bindReadValue(writer, static_cast<int>(columns.size() + i + 1), old[i]);
                changed += stepUpdate(session, writer, table, keys, returned, row - offset);
            }
            iteration.release();
        } catch (OraError& error) {
            reader.reset();
            sqlite3_reset(writer.get());
            error.setRowOffset(row);
            throw;
        }
    }
    if (savepoint) {
        if (changed > 0 && relational)
            verifyTableConstraints(session, table);
        savepoint->release();
    }
    return changed;
}

}  // namespace

std::uint64_t runDelete(Session& session, const Delete& del, BindSource& binds, ReturnedRows* returned)
{
    auto table = session.catalog().findTable(session.ownerOf(del.table.schema), del.table.name);
    if (!table)
        throw OraError(942, "table or view does not exist");
    QuerySource source = sourceOf(session, del.table);
    std::vector<ParamSource> params;
    Translator translator(session, source, {}, params);
    std::string sql = "DELETE FROM " + table->dataTable() + " AS src";
    if (del.where)
        sql += " WHERE " + translator.translate(*del.where).sql;
    if (returned)
        sql += sqliteReturning(returned->columns);
    session.beginWrite();
    SqlStatement statement(session.db(), sql);
    std::vector<Stored> storage(params.size());
    bindParams(session, statement, params, storage, binds, 0);
    StatementSavepoint savepoint(session);
    if (returned) {
        if (const int rc = stepCollecting(statement, returned, 0); rc != SQLITE_DONE)
            throwSqliteError(session.db(), rc);
    } else {
        statement.step();
    }
    const auto deleted = static_cast<std::uint64_t>(sqlite3_changes64(session.db()));
    if (deleted > 0)
        applyDeleteRules(session, *table);
    savepoint.release();
    return deleted;
}

std::uint64_t runUpdate(Session& session, const Update& update, BindSource& binds, std::uint32_t iterations,
                        std::uint32_t offset, ReturnedRows* returned)
{
    if (iterations == 0)
        throw OraError(24333, "zero iteration count");
    auto table = session.catalog().findTable(session.ownerOf(update.table.schema), update.table.name);
    if (!table)
        throw OraError(942, "table or view does not exist");
    if (std::any_of(update.assignments.begin(), update.assignments.end(),
                    [](const auto& assignment) { return readsRow(*assignment.second); }))
        return runRowUpdate(session, update, *table, binds, iterations, offset, returned);
    const std::vector<int> columns = assignedColumns(*table, update);
    std::vector<InsertPlan::Target> targets;
    for (const auto& assignment : update.assignments)
        targets.push_back(valueTargetOf(*assignment.second));
    QuerySource source = sourceOf(session, update.table);
    std::vector<ParamSource> params;
    Translator translator(session, source, update.alias, params);
    const std::string where = update.where ? " WHERE " + translator.translate(*update.where).sql : std::string();
    std::string set;
    for (std::size_t i = 0; i < columns.size(); ++i)
        set += (i ? ", " : "") + TableDef::dataColumn(columns[i]) + " = ?" + std::to_string(params.size() + i + 1);
    session.beginWrite();
    SqlStatement statement(session.db(), "UPDATE " + table->dataTable() + " AS src SET " + set + where +
                                             (returned ? sqliteReturning(returned->columns) : std::string()));
    const auto keys = uniqueKeysOf(session, *table);
    std::vector<Stored> storage(params.size());
    std::vector<Stored> values(columns.size());
    std::uint64_t changed = 0;
    // Only a table with foreign keys or checks is verified after the rows change; a failure then
    // undoes the whole statement.
    std::optional<StatementSavepoint> savepoint;
    if (returned || hasRelationalConstraints(session, *table))
        savepoint.emplace(session);
    for (std::uint32_t row = offset; row < offset + iterations; ++row) {
        try {
            bindParams(session, statement, params, storage, binds, row);
            for (std::size_t i = 0; i < columns.size(); ++i) {
                const int index = static_cast<int>(params.size() + i + 1);
                const InValue value = targetValue(targets[i], binds, row, session.nls());
                convertForColumn(value, *table, columns[i], session.nls(), values[i]);
                bindAssigned(statement, index, values[i], *table, columns[i]);
            }
            changed += stepUpdate(session, statement, *table, keys, returned, row - offset);
        } catch (OraError& error) {
            sqlite3_reset(statement.get());
            error.setRowOffset(row);
            throw;
        }
    }
    if (savepoint) {
        if (changed > 0)
            verifyTableConstraints(session, *table);
        savepoint->release();
    }
    return changed;
}

void runTruncate(Session& session, const Truncate& truncate)
{
    auto table = session.catalog().findTable(session.ownerOf(truncate.table.schema), truncate.table.name);
    if (!table)
        throw OraError(942, "table or view does not exist");
    refuseWhenReferenced(session, *table);
    sqlExec(session.db(), "DELETE FROM " + table->dataTable());
}

}  // namespace oraemu
