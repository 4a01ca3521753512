// DELETE, UPDATE and TRUNCATE TABLE.
#include "ora_error.h"
#include "plans.h"
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
    std::vector<int> columns;
    std::vector<InsertPlan::Target> targets;
    for (const auto& [name, expr] : update.assignments) {
        const int column = table->columnIndex(name);
        if (column < 0)
            throwInvalidIdentifier(name);
        if (std::find(columns.begin(), columns.end(), column) != columns.end())
            throw OraError(1747, "invalid user.table.column, table.column, or column name");
        if (column == table->identityColumn && table->identityAlways)
            throw OraError(32796, "cannot update a generated always identity column");
        columns.push_back(column);
        targets.push_back(valueTargetOf(*expr));
    }
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
                switch (values[i].kind) {
                case Stored::Kind::Null:
                    if (!table->columns[columns[i]].nullable)
                        throw OraError(1407, "cannot update (\"" + table->owner + "\".\"" + table->name + "\".\"" +
                                                 table->columns[columns[i]].name + "\") to NULL");
                    statement.bindNull(index);
                    break;
                case Stored::Kind::Text: statement.bindStatic(index, values[i].text); break;
                case Stored::Kind::Blob: statement.bindBlobStatic(index, values[i].text); break;
                case Stored::Kind::Int: statement.bind(index, values[i].i); break;
                }
            }
            const int rc = returned ? stepCollecting(statement, returned, row - offset) : statement.stepRaw();
            if (rc != SQLITE_DONE) {
                const std::string message = sqlite3_errmsg(session.db());
                sqlite3_reset(statement.get());
                if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
                    throwUniqueViolation(*table, keys, message);
                throwSqliteError(session.db(), rc);
            }
            changed += static_cast<std::uint64_t>(sqlite3_changes64(session.db()));
            sqlite3_reset(statement.get());
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
