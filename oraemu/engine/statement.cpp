#include "statement.h"

#include "ora_error.h"
#include "parser.h"
#include "plans.h"
#include "session.h"

namespace oraemu {

Statement::Statement(Session& session, std::string sql)
    : session_(session), sql_(std::move(sql)), parsed_(parseStatement(sql_))
{
}

Statement::~Statement() = default;

bool Statement::isQuery() const
{
    return std::holds_alternative<Select>(parsed_.statement);
}

void Statement::refreshPlans()
{
    const std::int64_t generation = session_.catalog().generation();
    if (generation == generation_)
        return;
    closeCursor();
    query_.reset();
    insert_.reset();
    generation_ = generation;
}

const std::vector<ResultColumn>& Statement::describe()
{
    if (!isQuery())
        throw OraError(24338, "statement handle not executed");
    // An open cursor keeps the plan it was opened with. Every fetched row asks for the columns, and
    // looking the catalog's generation up each time cost a SQLite query per row.
    if (!cursorOpen_)
        refreshPlans();
    if (!query_) {
        try {
            query_ = compileQuery(session_, std::get<Select>(parsed_.statement));
        } catch (...) {
            generation_ = -1;
            throw;
        }
    }
    return query_->columns;
}

void Statement::open(BindSource& binds)
{
    describe();
    closeCursor();
    if (const auto* select = std::get_if<Select>(&parsed_.statement); select && select->lock != Select::Lock::None)
        session_.lockForUpdate(session_.tableIdOf(select->from), select->lock == Select::Lock::Wait);
    bindParams(session_, query_->statement, query_->params, query_->storage, binds, 0);
    cursorOpen_ = true;
}

bool Statement::fetch()
{
    if (!cursorOpen_)
        throw OraError(1002, "fetch out of sequence");
    if (query_->statement.step())
        return true;
    closeCursor();
    return false;
}

OutValue Statement::value(std::size_t column) const
{
    sqlite3_stmt* stmt = query_->statement.get();
    const int index = static_cast<int>(column);
    OutValue out;
    switch (sqlite3_column_type(stmt, index)) {
    case SQLITE_INTEGER:
        out.kind = OutValue::Kind::Int;
        out.i = sqlite3_column_int64(stmt, index);
        break;
    case SQLITE_FLOAT:
        out.kind = OutValue::Kind::Real;
        out.d = sqlite3_column_double(stmt, index);
        break;
    case SQLITE_TEXT: {
        out.kind = OutValue::Kind::Text;
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, index));
        out.bytes = std::string_view(text, sqlite3_column_bytes(stmt, index));
        break;
    }
    case SQLITE_BLOB: {
        out.kind = OutValue::Kind::Blob;
        const auto* blob = static_cast<const char*>(sqlite3_column_blob(stmt, index));
        out.bytes = std::string_view(blob ? blob : "", sqlite3_column_bytes(stmt, index));
        break;
    }
    default: break;
    }
    return out;
}

void Statement::closeCursor()
{
    if (cursorOpen_ && query_)
        query_->statement.reset();
    cursorOpen_ = false;
}

std::vector<const ColumnType*> Statement::placeholderTargets()
{
    const auto* insert = std::get_if<Insert>(&parsed_.statement);
    if (!insert)
        return {};
    refreshPlans();
    if (!insert_)
        insert_ = compileInsert(session_, *insert);
    std::vector<const ColumnType*> targets(parsed_.placeholders.size(), nullptr);
    for (std::size_t column = 0; column < insert_->targets.size(); ++column) {
        const InsertPlan::Target& target = insert_->targets[column];
        if (target.kind == InsertPlan::Target::Kind::Bind && target.placeholder < targets.size())
            targets[target.placeholder] = &insert_->table->columns[column].type;
    }
    return targets;
}

std::int64_t Statement::insertTableId() const
{
    return insert_ && insert_->table ? insert_->table->id : 0;
}

namespace {

const Returning* returningOf(const Command& command)
{
    if (const auto* insert = std::get_if<Insert>(&command))
        return &insert->returning;
    if (const auto* update = std::get_if<Update>(&command))
        return &update->returning;
    if (const auto* del = std::get_if<Delete>(&command))
        return &del->returning;
    return nullptr;
}

const ObjectName& dmlTable(const Command& command)
{
    return std::visit(
        [](const auto& statement) -> const ObjectName& {
            using T = std::decay_t<decltype(statement)>;
            if constexpr (std::is_same_v<T, Insert> || std::is_same_v<T, Update> || std::is_same_v<T, Delete>)
                return statement.table;
            else
                throw OraError(3001, "unimplemented feature");
        },
        command);
}

}  // namespace

const std::vector<std::size_t>& Statement::returningInto() const
{
    static const std::vector<std::size_t> none;
    const Returning* returning = returningOf(parsed_.statement);
    return returning ? returning->into : none;
}

std::vector<ColumnType> Statement::returningTypes()
{
    const Returning* returning = returningOf(parsed_.statement);
    if (!returning || returning->values.empty())
        return {};
    const ObjectName& name = dmlTable(parsed_.statement);
    auto table = session_.catalog().findTable(session_.ownerOf(name.schema), name.name);
    if (!table)
        throw OraError(942, "table or view does not exist");
    std::vector<ColumnType> types;
    for (const int column : returningColumns(*table, *returning))
        types.push_back(table->columns[column].type);
    return types;
}

const std::vector<ReturnedRow>& Statement::returnedRows(std::uint32_t iteration) const
{
    static const std::vector<ReturnedRow> none;
    return iteration < returned_.iterations.size() ? returned_.iterations[iteration] : none;
}

// INSERT ... RETURNING: one iteration at a time, each handing back the row it inserted.
std::uint64_t Statement::insertReturning(BindSource& binds, std::uint32_t iterations, std::uint32_t offset)
{
    for (std::uint32_t i = 0; i < iterations; ++i) {
        runInsert(session_, *insert_, binds, 1, offset + i);
        ReturnedRow row;
        for (const int column : returned_.columns)
            row.push_back(returnedValue(insert_->storage[static_cast<std::size_t>(column)]));
        returned_.iteration(i).push_back(std::move(row));
    }
    return iterations;
}

std::uint64_t Statement::execute(BindSource& binds, std::uint32_t iterations, std::uint32_t offset)
{
    Session& s = session_;
    returned_ = {};
    const Returning* returning = returningOf(parsed_.statement);
    ReturnedRows* returned = nullptr;
    if (returning && !returning->values.empty()) {
        const ObjectName& name = dmlTable(parsed_.statement);
        auto table = s.catalog().findTable(s.ownerOf(name.schema), name.name);
        if (!table)
            throw OraError(942, "table or view does not exist");
        returned_.columns = returningColumns(*table, *returning);
        returned_.maxRows = returnedRowLimit_;
        returned = &returned_;
    }
    return std::visit(
        [&](const auto& statement) -> std::uint64_t {
            using T = std::decay_t<decltype(statement)>;
            if constexpr (std::is_same_v<T, Select>) {
                open(binds);
                return 0;
            } else if constexpr (std::is_same_v<T, Insert>) {
                if (iterations == 0)
                    throw OraError(24333, "zero iteration count");
                refreshPlans();
                if (!insert_)
                    insert_ = compileInsert(s, statement);
                s.lockForChange(insert_->table->id);
                if (returned)
                    return insertReturning(binds, iterations, offset);
                return runInsert(s, *insert_, binds, iterations, offset);
            } else if constexpr (std::is_same_v<T, Delete>) {
                s.lockForChange(s.tableIdOf(statement.table));
                return runDelete(s, statement, binds, returned);
            } else if constexpr (std::is_same_v<T, Update>) {
                s.lockForChange(s.tableIdOf(statement.table));
                return runUpdate(s, statement, binds, iterations, offset, returned);
            } else if constexpr (std::is_same_v<T, Truncate>) {
                s.runDdl([&] { runTruncate(s, statement); }, s.tableIdOf(statement.table));
            } else if constexpr (std::is_same_v<T, CreateTable>) {
                s.runDdl([&] { runCreateTable(s, statement); });
            } else if constexpr (std::is_same_v<T, DropTable>) {
                s.runDdl([&] { runDropTable(s, statement); }, s.tableIdOf(statement.table));
            } else if constexpr (std::is_same_v<T, AddKey>) {
                s.runDdl([&] { runAddKey(s, statement); }, s.tableIdOf(statement.table));
            } else if constexpr (std::is_same_v<T, CreateIndex>) {
                s.runDdl([&] { runCreateIndex(s, statement); }, s.tableIdOf(statement.table));
            } else if constexpr (std::is_same_v<T, ModifyColumns>) {
                s.runDdl([&] { runModifyColumns(s, statement); }, s.tableIdOf(statement.table));
            } else if constexpr (std::is_same_v<T, Comment>) {
                s.runDdl([&] { runComment(s, statement); });
            } else if constexpr (std::is_same_v<T, AlterSession>) {
                Nls changed = s.nls();
                for (const auto& [parameter, value] : statement.settings)
                    changed.set(parameter, value);
                s.nls() = changed;
            } else if constexpr (std::is_same_v<T, Commit>) {
                s.commit();
            } else if constexpr (std::is_same_v<T, Rollback>) {
                s.rollback();
            }
            return 0;
        },
        parsed_.statement);
}

}  // namespace oraemu
