// SELECT: translated into one SQLite query over the data tables; parameters bound per execution.
#include "decimal.h"
#include "ora_error.h"
#include "plans.h"
#include "session.h"
#include "translator.h"

namespace oraemu {

namespace {

std::string direction(const OrderItem& order)
{
    return std::string(order.descending ? " DESC" : "") + (order.nullsFirst ? " NULLS FIRST" : " NULLS LAST");
}

}  // namespace

namespace {

// The sources of a FROM clause, each with the SQLite alias its columns are read through.
struct FromClause {
    std::vector<QuerySource> sources;
    std::vector<SourceScope> scopes;
};

// Whether the rows of source `index` (0: the first FROM table) may be filled with NULLs by an outer
// join: the right side of a LEFT or FULL join, or anything before a RIGHT or FULL join.
bool mayBeNullExtended(const std::vector<JoinedSource>& joins, std::size_t index)
{
    if (index > 0 && (joins[index - 1].kind == JoinKind::Left || joins[index - 1].kind == JoinKind::Full))
        return true;
    for (std::size_t j = index; j < joins.size(); ++j)
        if (joins[j].kind == JoinKind::Right || joins[j].kind == JoinKind::Full)
            return true;
    return false;
}

std::string joinWords(JoinKind kind)
{
    switch (kind) {
    case JoinKind::Comma: return ", ";
    case JoinKind::Cross: return " CROSS JOIN ";
    case JoinKind::Inner: return " JOIN ";
    case JoinKind::Left: return " LEFT JOIN ";
    case JoinKind::Right: return " RIGHT JOIN ";
    case JoinKind::Full: return " FULL JOIN ";
    }
    return ", ";
}

FromClause fromClause(Session& session, const Select& select, int depth)
{
    FromClause from;
    from.sources.reserve(select.joins.size() + 1);
    from.sources.push_back(sourceOf(session, select.from));
    for (const JoinedSource& join : select.joins)
        from.sources.push_back(sourceOf(session, join.table));
    for (std::size_t i = 0; i < from.sources.size(); ++i) {
        SourceScope scope;
        scope.source = &from.sources[i];
        scope.alias = i == 0 ? select.alias : select.joins[i - 1].alias;
        scope.sqlAlias = "s" + std::to_string(depth) + "_" + std::to_string(i);
        scope.outerJoined = mayBeNullExtended(select.joins, i);
        from.scopes.push_back(std::move(scope));
    }
    return from;
}

// FROM a [, b | CROSS JOIN b | [LEFT | RIGHT | FULL] JOIN b ON ...]... as SQLite reads it (RIGHT and
// FULL joins need SQLite 3.39).
std::string fromText(Translator& translator, const Select& select, const FromClause& from)
{
    std::string sql = " FROM " + from.sources[0].sql + " AS " + from.scopes[0].sqlAlias;
    for (std::size_t i = 1; i < from.sources.size(); ++i) {
        const JoinedSource& join = select.joins[i - 1];
        sql += joinWords(join.kind) + from.sources[i].sql + " AS " + from.scopes[i].sqlAlias;
        if (join.on)
            sql += " ON " + translator.translate(*join.on).sql;
    }
    return sql;
}

}  // namespace

SelectSql translateSelect(Session& session, const Select& select, std::vector<ParamSource>& params,
                          const Translator* outer)
{
    const FromClause from = fromClause(session, select, outer ? outer->depth() + 1 : 0);
    Translator translator(session, from.scopes, params, outer);
    SelectSql result;
    std::string list;
    auto addColumn = [&](const std::string& sql, ResultColumn column, bool mixedNumber) {
        list += (list.empty() ? "" : ", ") + sql + " AS r" + std::to_string(result.columns.size() + 1);
        result.columns.push_back(std::move(column));
        result.mixedNumbers.push_back(mixedNumber);
    };
    std::vector<int> itemColumn;  // first result column of each select item
    for (const SelectItem& item : select.items) {
        itemColumn.push_back(static_cast<int>(result.columns.size()));
        if (item.star) {
            bool matched = false;
            for (const SourceScope& scope : from.scopes) {
                if (!item.starQualifier.empty() && item.starQualifier != scope.alias &&
                    item.starQualifier != scope.source->name)
                    continue;
                matched = true;
                const QuerySource& source = *scope.source;
                for (std::size_t i = 0; i < source.columns.size(); ++i) {
                    ResultColumn column = source.columns[i];
                    column.nullable = column.nullable || scope.outerJoined;
                    addColumn(scope.sqlAlias + ".c" + std::to_string(i + 1), std::move(column),
                              source.columns[i].type.isNumber() && !source.integerStorage[i]);
                }
            }
            if (!matched)
                throw OraError(904, "\"" + item.starQualifier + "\": invalid identifier");
            continue;
        }
        Typed typed = translator.translate(*item.expr);
        ResultColumn column{item.alias.empty() ? item.display : item.alias, typed.type, true};
        if (item.expr->kind == Expr::Kind::Column && item.alias.empty() && select.joins.empty()) {
            for (const ResultColumn& sourceColumn : from.sources[0].columns)
                if (sourceColumn.name == item.expr->text)
                    column.nullable = sourceColumn.nullable;
        }
        addColumn(typed.sql, std::move(column), typed.mixedNumber);
    }
    std::string sql = std::string("SELECT ") + (select.distinct ? "DISTINCT " : "") + list +
                      fromText(translator, select, from);
    if (select.where)
        sql += " WHERE " + translator.translate(*select.where).sql;
    if (!select.groupBy.empty()) {
        sql += " GROUP BY ";
        for (std::size_t i = 0; i < select.groupBy.size(); ++i)
            sql += (i ? ", " : "") + translator.translate(*select.groupBy[i]).sql;
    }
    if (select.having)
        sql += " HAVING " + translator.translate(*select.having).sql;
    if (!select.orderBy.empty()) {
        sql += " ORDER BY ";
        for (std::size_t i = 0; i < select.orderBy.size(); ++i) {
            const OrderItem& order = select.orderBy[i];
            std::string term;
            if (order.expr->kind == Expr::Kind::Number) {
                const int position = std::atoi(order.expr->text.c_str());
                if (position < 1 || position > static_cast<int>(result.columns.size()))
                    throw OraError(1785, "ORDER BY item must be the number of a SELECT-list expression");
                term = "r" + std::to_string(position);
                if (result.mixedNumbers[position - 1])
                    term = numericOrder(term);
            } else if (order.expr->kind == Expr::Kind::Column && order.expr->qualifier.empty()) {
                for (std::size_t c = 0; c < select.items.size(); ++c) {
                    if (!select.items[c].star && select.items[c].alias == order.expr->text) {
                        const int column = itemColumn[c];
                        term = "r" + std::to_string(column + 1);
                        if (result.mixedNumbers[column])
                            term = numericOrder(term);
                    }
                }
            }
            if (term.empty()) {
                const Typed typed = translator.translate(*order.expr);
                term = typed.mixedNumber ? numericOrder(typed.sql) : typed.sql;
            }
            sql += (i ? ", " : "") + term + direction(order);
        }
    }
    result.sql = std::move(sql);
    return result;
}

std::unique_ptr<QueryPlan> compileQuery(Session& session, const Select& select)
{
    auto plan = std::make_unique<QueryPlan>();
    SelectSql query = translateSelect(session, select, plan->params, nullptr);
    plan->columns = std::move(query.columns);
    plan->sql = std::move(query.sql);
    plan->statement = SqlStatement(session.db(), plan->sql);
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
        case ParamSource::Kind::DateFormat:
            statement.bind(index, nls.dateFormat.model());
            continue;
        case ParamSource::Kind::TimestampFormat:
            statement.bind(index, nls.timestampFormat.model());
            continue;
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
        const bool binaryFloating =
            param.type.kind == ColumnType::Kind::BinaryFloat || param.type.kind == ColumnType::Kind::BinaryDouble;
        if (param.typed && param.type.isNumber() && !binaryFloating) {
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

}  // namespace oraemu
