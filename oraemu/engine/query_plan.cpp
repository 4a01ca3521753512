// SELECT and DELETE: Oracle expressions translated into one SQLite statement over the data tables.
#include "decimal.h"
#include "ora_error.h"
#include "plans.h"
#include "session.h"

#include <algorithm>

namespace oraemu {

namespace {

using K = ColumnType::Kind;

ColumnType numberType()
{
    ColumnType type;
    type.kind = K::Number;
    return type;
}

ColumnType textType(int length)
{
    ColumnType type;
    type.kind = K::Varchar2;
    type.length = std::max(length, 1);
    type.charSemantics = false;
    return type;
}

// A translated expression: its SQLite text and Oracle type.
struct Typed {
    std::string sql;
    ColumnType type;
    bool known = false;    // the type comes from a column or function, not from a literal or bind
    bool integer = false;  // SQLite holds it as a number (counts, catalog numbers, arithmetic)
    bool mixedNumber = false;  // a NUMBER column: SQLite integers and exact decimal texts
};

// Orders NUMBER column values whatever their storage: integers cast to text sort with the rest.
std::string numericOrder(const std::string& sql)
{
    return "CAST(" + sql + " AS TEXT) COLLATE oranum";
}

bool isParamLike(const Expr& expr)
{
    return expr.kind == Expr::Kind::String || expr.kind == Expr::Kind::Number || expr.kind == Expr::Kind::Bind ||
           expr.kind == Expr::Kind::Null ||
           (expr.kind == Expr::Kind::Negate && expr.args[0]->kind == Expr::Kind::Number);
}

class Translator {
public:
    Translator(Session& session, const QuerySource& source, std::string alias, std::vector<ParamSource>& params)
        : session_(session), source_(source), alias_(std::move(alias)), params_(params)
    {
    }

    Typed translate(const Expr& expr, const Typed* hint = nullptr)
    {
        switch (expr.kind) {
        case Expr::Kind::Null: return {"NULL", textType(1), false, false};
        case Expr::Kind::String: {
            ParamSource param;
            param.kind = ParamSource::Kind::Literal;
            param.literal = expr.text;
            return addParam(std::move(param), hint, textType(static_cast<int>(expr.text.size())));
        }
        case Expr::Kind::Number: {
            ParamSource param;
            param.kind = ParamSource::Kind::NumberLiteral;
            param.literal = expr.text;
            return addParam(std::move(param), hint, numberType());
        }
        case Expr::Kind::Bind: {
            ParamSource param;
            param.kind = ParamSource::Kind::Bind;
            param.placeholder = static_cast<std::size_t>(expr.bindIndex);
            return addParam(std::move(param), hint, textType(4000));
        }
        case Expr::Kind::Column: return column(expr);
        case Expr::Kind::CountStar: return {"count(*)", numberType(), true, true};
        case Expr::Kind::Function: return function(expr);
        case Expr::Kind::Not: return {"(NOT " + translate(*expr.args[0]).sql + ")", numberType(), true, true};
        case Expr::Kind::IsNull:
            return {"(" + translate(*expr.args[0]).sql + (expr.negated ? " IS NOT NULL)" : " IS NULL)"), numberType(),
                    true, true};
        case Expr::Kind::Negate: {
            if (expr.args[0]->kind == Expr::Kind::Number) {
                ParamSource param;
                param.kind = ParamSource::Kind::NumberLiteral;
                param.literal = "-" + expr.args[0]->text;
                return addParam(std::move(param), hint, numberType());
            }
            Typed inner = translate(*expr.args[0]);
            return {"(-" + inner.sql + ")", numberType(), true, true};
        }
        case Expr::Kind::Binary: return binary(expr);
        }
        throw OraError(936, "missing expression");
    }

private:
    Session& session_;
    const QuerySource& source_;
    std::string alias_;
    std::vector<ParamSource>& params_;

    Typed addParam(ParamSource param, const Typed* hint, ColumnType ownType)
    {
        Typed typed;
        if (hint && hint->known) {
            param.typed = true;
            param.type = hint->type;
            param.integer = hint->integer;
            typed.type = hint->type;
            typed.integer = hint->integer;
        } else {
            typed.type = ownType;
            typed.integer = param.kind == ParamSource::Kind::NumberLiteral;
            param.integer = typed.integer;
        }
        params_.push_back(std::move(param));
        typed.sql = "?" + std::to_string(params_.size());
        return typed;
    }

    Typed column(const Expr& expr)
    {
        if (!expr.qualifier.empty() && expr.qualifier != alias_ && expr.qualifier != source_.name)
            throw OraError(904, "\"" + expr.qualifier + "\".\"" + expr.text + "\": invalid identifier");
        for (std::size_t i = 0; i < source_.columns.size(); ++i) {
            if (source_.columns[i].name == expr.text) {
                const bool integer = source_.integerStorage[i];
                return {"src.c" + std::to_string(i + 1), source_.columns[i].type, true, integer,
                        source_.columns[i].type.isNumber() && !integer};
            }
        }
        if (!expr.qualifier.empty())
            throw OraError(904, "\"" + expr.qualifier + "\".\"" + expr.text + "\": invalid identifier");
        throwInvalidIdentifier(expr.text);
    }

    void requireArgs(const Expr& expr, std::size_t count)
    {
        if (expr.args.size() != count)
            throw OraError(909, "invalid number of arguments");
    }

    Typed function(const Expr& expr)
    {
        const std::string& name = expr.text;
        if (name == "UPPER" || name == "LOWER" || name == "TRIM" || name == "LTRIM" || name == "RTRIM") {
            requireArgs(expr, 1);
            Typed arg = translate(*expr.args[0]);
            const std::string sqlName = name == "UPPER" ? "upper" : name == "LOWER" ? "lower" : name == "TRIM" ? "trim"
                                        : name == "LTRIM" ? "ltrim" : "rtrim";
            return {sqlName + "(" + arg.sql + ")", arg.type.isText() ? arg.type : textType(4000), true, false};
        }
        if (name == "LENGTH") {
            requireArgs(expr, 1);
            return {"length(" + translate(*expr.args[0]).sql + ")", numberType(), true, true};
        }
        if (name == "COUNT") {
            requireArgs(expr, 1);
            return {"count(" + translate(*expr.args[0]).sql + ")", numberType(), true, true};
        }
        if (name == "MIN" || name == "MAX") {
            requireArgs(expr, 1);
            Typed arg = translate(*expr.args[0]);
            arg.sql = (name == "MIN" ? "min(" : "max(") + (arg.mixedNumber ? numericOrder(arg.sql) : arg.sql) + ")";
            arg.mixedNumber = false;
            return arg;
        }
        if (name == "NVL") {
            requireArgs(expr, 2);
            Typed first = translate(*expr.args[0]);
            Typed second = translate(*expr.args[1], &first);
            first.sql = "coalesce(" + first.sql + ", " + second.sql + ")";
            return first;
        }
        if (name == "SYSDATE") {
            ParamSource param;
            param.kind = ParamSource::Kind::Now;
            params_.push_back(param);
            ColumnType date;
            date.kind = K::Date;
            return {"?" + std::to_string(params_.size()), date, true, false};
        }
        if (name == "USER") {
            ParamSource param;
            param.literal = session_.user();
            return addParam(std::move(param), nullptr, textType(30));
        }
        if (name == "SUM" || name == "AVG" || name == "TO_CHAR" || name == "TO_DATE" || name == "TO_NUMBER" ||
            name == "SUBSTR" || name == "DECODE" || name == "ROUND" || name == "TRUNC")
            throw OraError(3001, "unimplemented feature");
        throwInvalidIdentifier(name);
    }

    Typed binary(const Expr& expr)
    {
        const std::string& op = expr.text;
        const Expr& left = *expr.args[0];
        const Expr& right = *expr.args[1];
        if (op == "AND" || op == "OR")
            return {"(" + translate(left).sql + " " + op + " " + translate(right).sql + ")", numberType(), true, true};
        if (op == "||")
            return {"(" + translate(left).sql + " || " + translate(right).sql + ")", textType(4000), true, false};
        if (op == "+" || op == "-" || op == "*" || op == "/") {
            Typed number{"", numberType(), true, true};
            return {"(" + translate(left, &number).sql + " " + op + " " + translate(right, &number).sql + ")",
                    numberType(), true, true};
        }
        // Comparisons: a literal or bind takes the type of the other side, as Oracle converts it.
        Typed l, r;
        if (isParamLike(left) && !isParamLike(right)) {
            r = translate(right);
            if (r.type.isLob())
                throw OraError(932, "inconsistent datatypes: expected - got " + std::string(r.type.kind == K::Blob ? "BLOB" : "CLOB"));
            l = translate(left, &r);
        } else {
            l = translate(left);
            if (l.type.isLob())
                throw OraError(932, "inconsistent datatypes: expected - got " + std::string(l.type.kind == K::Blob ? "BLOB" : "CLOB"));
            r = translate(right, &l);
        }
        const bool ordering = op == "<" || op == ">" || op == "<=" || op == ">=";
        if (ordering && (l.mixedNumber || r.mixedNumber))
            return {"(" + numericOrder(l.sql) + " " + op + " " + numericOrder(r.sql) + ")", numberType(), true, true};
        return {"(" + l.sql + " " + op + " " + r.sql + ")", numberType(), true, true};
    }
};

QuerySource sourceOf(Session& session, const ObjectName& name)
{
    if (name.schema.empty()) {
        if (auto view = catalogView(name.name, session.user());
            view && !session.catalog().findTable(session.user(), name.name))
            return std::move(*view);
    } else if (name.schema == "SYS") {
        if (auto view = catalogView(name.name, session.user()))
            return std::move(*view);
    }
    auto table = session.catalog().findTable(session.ownerOf(name.schema), name.name);
    if (!table)
        throw OraError(942, "table or view does not exist");
    QuerySource source;
    source.sql = table->dataTable();
    source.name = table->name;
    for (const TableColumn& column : table->columns) {
        source.columns.push_back({column.name, column.type, column.nullable});
        source.integerStorage.push_back(false);
    }
    return source;
}

std::string nullsOrder(bool descending)
{
    return descending ? " DESC NULLS FIRST" : " NULLS LAST";
}

}  // namespace

std::unique_ptr<QueryPlan> compileQuery(Session& session, const Select& select)
{
    auto plan = std::make_unique<QueryPlan>();
    const QuerySource source = sourceOf(session, select.from);
    Translator translator(session, source, select.alias, plan->params);
    std::string list;
    std::vector<bool> mixed;  // per result column: a NUMBER column needing numericOrder()
    auto addColumn = [&](const std::string& sql, ResultColumn column, bool mixedNumber) {
        list += (list.empty() ? "" : ", ") + sql + " AS r" + std::to_string(plan->columns.size() + 1);
        plan->columns.push_back(std::move(column));
        mixed.push_back(mixedNumber);
    };
    std::vector<int> itemColumn;  // first result column of each select item
    for (const SelectItem& item : select.items) {
        itemColumn.push_back(static_cast<int>(plan->columns.size()));
        if (item.star) {
            if (!item.starQualifier.empty() && item.starQualifier != select.alias && item.starQualifier != source.name)
                throw OraError(904, "\"" + item.starQualifier + "\": invalid identifier");
            for (std::size_t i = 0; i < source.columns.size(); ++i)
                addColumn("src.c" + std::to_string(i + 1), source.columns[i],
                          source.columns[i].type.isNumber() && !source.integerStorage[i]);
            continue;
        }
        Typed typed = translator.translate(*item.expr);
        ResultColumn column{item.alias.empty() ? item.display : item.alias, typed.type, true};
        if (item.expr->kind == Expr::Kind::Column && item.alias.empty()) {
            for (const ResultColumn& sourceColumn : source.columns)
                if (sourceColumn.name == item.expr->text)
                    column.nullable = sourceColumn.nullable;
        }
        addColumn(typed.sql, std::move(column), typed.mixedNumber);
    }
    std::string sql = std::string("SELECT ") + (select.distinct ? "DISTINCT " : "") + list + " FROM " + source.sql +
                      " AS src";
    if (select.where)
        sql += " WHERE " + translator.translate(*select.where).sql;
    if (!select.groupBy.empty()) {
        sql += " GROUP BY ";
        for (std::size_t i = 0; i < select.groupBy.size(); ++i)
            sql += (i ? ", " : "") + translator.translate(*select.groupBy[i]).sql;
    }
    if (!select.orderBy.empty()) {
        sql += " ORDER BY ";
        for (std::size_t i = 0; i < select.orderBy.size(); ++i) {
            const OrderItem& order = select.orderBy[i];
            std::string term;
            if (order.expr->kind == Expr::Kind::Number) {
                const int position = std::atoi(order.expr->text.c_str());
                if (position < 1 || position > static_cast<int>(plan->columns.size()))
                    throw OraError(1785, "ORDER BY item must be the number of a SELECT-list expression");
                term = "r" + std::to_string(position);
                if (mixed[position - 1])
                    term = numericOrder(term);
            } else if (order.expr->kind == Expr::Kind::Column && order.expr->qualifier.empty()) {
                for (std::size_t c = 0; c < select.items.size(); ++c) {
                    if (!select.items[c].star && select.items[c].alias == order.expr->text) {
                        const int column = itemColumn[c];
                        term = "r" + std::to_string(column + 1);
                        if (mixed[column])
                            term = numericOrder(term);
                    }
                }
            }
            if (term.empty()) {
                const Typed typed = translator.translate(*order.expr);
                term = typed.mixedNumber ? numericOrder(typed.sql) : typed.sql;
            }
            sql += (i ? ", " : "") + term + nullsOrder(order.descending);
        }
    }
    plan->sql = sql;
    plan->statement = SqlStatement(session.db(), sql);
    plan->storage.resize(plan->params.size());
    return plan;
}

void bindParams(Session& session, SqlStatement& statement, const std::vector<ParamSource>& params,
                std::vector<Stored>& storage, BindSource& binds, std::uint32_t iteration)
{
    const Nls& nls = session.nls();
    for (std::size_t i = 0; i < params.size(); ++i) {
        const ParamSource& param = params[i];
        const int index = static_cast<int>(i + 1);
        InValue value;
        switch (param.kind) {
        case ParamSource::Kind::Literal:
        case ParamSource::Kind::NumberLiteral: value = InValue::text(param.literal); break;
        case ParamSource::Kind::Bind: value = binds.value(param.placeholder, iteration); break;
        case ParamSource::Kind::Now: {
            const std::string now = DateTime::now().toStorage(0);
            statement.bind(index, now);
            continue;
        }
        }
        if (value.kind == InValue::Kind::Null || (value.kind == InValue::Kind::Text && value.bytes.empty())) {
            statement.bindNull(index);
            continue;
        }
        if (param.integer) {
            auto number = value.kind == InValue::Kind::Text ? Decimal::parse(value.bytes, nls.decimalPoint)
                          : value.kind == InValue::Kind::Int ? std::optional<Decimal>(Decimal::fromInt(value.i))
                          : value.kind == InValue::Kind::UInt ? std::optional<Decimal>(Decimal::fromUInt(value.u))
                                                              : Decimal::fromDouble(value.d);
            if (!number)
                throw OraError(1722, "invalid number");
            std::int64_t whole = 0;
            if (number->toInt64(whole))
                statement.bind(index, whole);
            else
                statement.bindDouble(index, number->toDouble());
            continue;
        }
        Stored& stored = storage[i];
        if (param.typed && param.type.isNumber()) {
            convertForType(value, numberType(), nls, stored);  // compared as given, not rounded
        } else if (param.typed) {
            convertForType(value, param.type, nls, stored);
        } else {
            ColumnType text = textType(4000);
            convertForType(value, text, nls, stored);
        }
        switch (stored.kind) {
        case Stored::Kind::Null: statement.bindNull(index); break;
        case Stored::Kind::Text: statement.bind(index, stored.text); break;
        case Stored::Kind::Blob: statement.bindBlob(index, stored.text); break;
        case Stored::Kind::Int: statement.bind(index, stored.i); break;
        }
    }
}

std::uint64_t runDelete(Session& session, const Delete& del, BindSource& binds)
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
    session.beginWrite();
    SqlStatement statement(session.db(), sql);
    std::vector<Stored> storage(params.size());
    bindParams(session, statement, params, storage, binds, 0);
    statement.step();
    return static_cast<std::uint64_t>(sqlite3_changes64(session.db()));
}

}  // namespace oraemu

namespace oraemu {

std::uint64_t runUpdate(Session& session, const Update& update, BindSource& binds, std::uint32_t iterations,
                        std::uint32_t offset)
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
            throw OraError(1747, "invalid user.table.column, table.column, or column specification");
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
    SqlStatement statement(session.db(), "UPDATE " + table->dataTable() + " AS src SET " + set + where);
    const auto keys = uniqueKeysOf(session, *table);
    std::vector<Stored> storage(params.size());
    std::vector<Stored> values(columns.size());
    std::uint64_t changed = 0;
    for (std::uint32_t row = offset; row < offset + iterations; ++row) {
        try {
            bindParams(session, statement, params, storage, binds, row);
            for (std::size_t i = 0; i < columns.size(); ++i) {
                const int index = static_cast<int>(params.size() + i + 1);
                const InValue value = targetValue(targets[i], binds, row);
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
            const int rc = statement.stepRaw();
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
    return changed;
}

void runTruncate(Session& session, const Truncate& truncate)
{
    auto table = session.catalog().findTable(session.ownerOf(truncate.table.schema), truncate.table.name);
    if (!table)
        throw OraError(942, "table or view does not exist");
    sqlExec(session.db(), "DELETE FROM " + table->dataTable());
}

}  // namespace oraemu
