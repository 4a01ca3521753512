// Oracle expressions translated into SQLite expressions.
#include "translator.h"

#include "ora_error.h"
#include "session.h"

namespace oraemu {

namespace {

using K = ColumnType::Kind;

bool isParamLike(const Expr& expr)
{
    return expr.kind == Expr::Kind::String || expr.kind == Expr::Kind::Number || expr.kind == Expr::Kind::Bind ||
           expr.kind == Expr::Kind::Null ||
           (expr.kind == Expr::Kind::Negate && expr.args[0]->kind == Expr::Kind::Number);
}

void requireArgs(const Expr& expr, std::size_t count)
{
    if (expr.args.size() != count)
        throw OraError(909, "invalid number of arguments");
}

}  // namespace

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

// Orders NUMBER column values whatever their storage: integers cast to text sort with the rest.
std::string numericOrder(const std::string& sql)
{
    return "CAST(" + sql + " AS TEXT) COLLATE oranum";
}

Translator::Translator(Session& session, const QuerySource& source, std::string alias, std::vector<ParamSource>& params)
    : session_(session), scopes_{SourceScope{&source, std::move(alias), "src", false}}, params_(params)
{
}

Translator::Translator(Session& session, std::vector<SourceScope> scopes, std::vector<ParamSource>& params,
                       const Translator* outer)
    : session_(session), scopes_(std::move(scopes)), params_(params), outer_(outer),
      depth_(outer ? outer->depth_ + 1 : 0)
{
}

Typed Translator::translate(const Expr& expr, const Typed* hint)
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
    case Expr::Kind::IsJson: {
        // Oracle's IS JSON takes the lax syntax; SQLite's json_valid the strict one, which every
        // text MySQL accepts as JSON meets. NULL stays unknown, as in Oracle.
        const std::string arg = translate(*expr.args[0]).sql;
        const std::string valid = "CASE WHEN " + arg + " IS NULL THEN NULL ELSE json_valid(" + arg + ") END";
        return {"(" + (expr.negated ? "NOT " + valid : valid) + ")", numberType(), true, true};
    }
    case Expr::Kind::Negate: {
        if (expr.args[0]->kind == Expr::Kind::Number) {
            ParamSource param;
            param.kind = ParamSource::Kind::NumberLiteral;
            param.literal = "-" + expr.args[0]->text;
            return addParam(std::move(param), hint, numberType());
        }
        Typed inner = translate(*expr.args[0]);
        return {"ora_op1(0, " + inner.sql + ")", numberType(), true, false, true};
    }
    case Expr::Kind::Binary: return binary(expr);
    case Expr::Kind::InList:
    case Expr::Kind::Between: return membership(expr);
    case Expr::Kind::InQuery:
    case Expr::Kind::Exists: return subquery(expr);
    case Expr::Kind::ScalarQuery: return scalarSubquery(expr);
    case Expr::Kind::Default: break;
    }
    throw OraError(936, "missing expression");
}

Typed Translator::addParam(ParamSource param, const Typed* hint, ColumnType ownType)
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

// A column of this query's sources: the one source that has it, ORA-00918 when several have it.
std::optional<Typed> Translator::ownColumn(const Expr& expr) const
{
    std::optional<Typed> found;
    for (const SourceScope& scope : scopes_) {
        if (!expr.qualifier.empty() && expr.qualifier != scope.alias && expr.qualifier != scope.source->name)
            continue;
        const QuerySource& source = *scope.source;
        for (std::size_t i = 0; i < source.columns.size(); ++i) {
            if (source.columns[i].name != expr.text)
                continue;
            if (found)
                throw OraError(918, "column ambiguously defined");
            const bool integer = source.integerStorage[i];
            found = Typed{scope.sqlAlias + ".c" + std::to_string(i + 1), source.columns[i].type, true, integer,
                          source.columns[i].type.isNumber() && !integer};
        }
    }
    return found;
}

bool Translator::knowsQualifier(const std::string& qualifier) const
{
    for (const SourceScope& scope : scopes_)
        if (qualifier == scope.alias || qualifier == scope.source->name)
            return true;
    return false;
}

// A column of this query, or of a query around it (a correlated sub-query).
Typed Translator::column(const Expr& expr)
{
    for (const Translator* query = this; query; query = query->outer_) {
        if (auto found = query->ownColumn(expr))
            return *found;
        if (!expr.qualifier.empty() && query->knowsQualifier(expr.qualifier))
            break;
    }
    if (!expr.qualifier.empty())
        throw OraError(904, "\"" + expr.qualifier + "\".\"" + expr.text + "\": invalid identifier");
    throwInvalidIdentifier(expr.text);
}

// (SELECT ...) as a value: its one column of its one row, NULL without a row; ORA-01427 from the
// database function ora_single_row when there is more than one row.
Typed Translator::scalarSubquery(const Expr& expr)
{
    const SelectSql query = translateSelect(session_, *expr.subquery, params_, this);
    if (query.columns.size() > 1)
        throw OraError(913, "too many values");
    const std::string rows = "(SELECT count(*) FROM (" + query.sql + " LIMIT 2))";
    return {"ora_single_row(" + rows + ", (" + query.sql + "))", query.columns[0].type, true, false,
            query.mixedNumbers[0]};
}

// x [NOT] IN (SELECT ...) and EXISTS (SELECT ...): SQLite runs the sub-query, correlated or not.
Typed Translator::subquery(const Expr& expr)
{
    if (expr.kind == Expr::Kind::Exists) {
        const SelectSql query = translateSelect(session_, *expr.subquery, params_, this);
        return {"(EXISTS (" + query.sql + "))", numberType(), true, true};
    }
    const Typed subject = translate(*expr.args[0]);
    if (subject.type.isLob())
        throw OraError(932, "inconsistent datatypes: expected - got " + subject.type.dataTypeName());
    const SelectSql query = translateSelect(session_, *expr.subquery, params_, this);
    if (query.columns.size() > 1)
        throw OraError(913, "too many values");
    // Equality needs no numeric ordering: every number has exactly one stored form.
    return {"(" + subject.sql + (expr.negated ? " NOT IN (" : " IN (") + query.sql + "))", numberType(), true, true};
}

Typed Translator::function(const Expr& expr)
{
    const std::string& name = expr.text;
    const bool aggregate = name == "COUNT" || name == "MIN" || name == "MAX" || name == "SUM" || name == "AVG";
    if (expr.distinct && !aggregate)
        throw OraError(30482, "DISTINCT option not allowed for this function");
    const std::string distinct = expr.distinct ? "DISTINCT " : "";
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
        return {"count(" + distinct + translate(*expr.args[0]).sql + ")", numberType(), true, true};
    }
    if (name == "MIN" || name == "MAX") {
        requireArgs(expr, 1);
        Typed arg = translate(*expr.args[0]);
        arg.sql = (name == "MIN" ? "min(" : "max(") + distinct + (arg.mixedNumber ? numericOrder(arg.sql) : arg.sql) + ")";
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
    if (name == "SYSDATE" || name == "CURRENT_DATE" || name == "SYSTIMESTAMP" || name == "CURRENT_TIMESTAMP") {
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
    if (name == "SUM" || name == "AVG") {
        requireArgs(expr, 1);
        Typed arg = translate(*expr.args[0]);
        if (!arg.type.isNumber())
            throw OraError(932, "inconsistent datatypes: expected NUMBER got " + arg.type.dataTypeName());
        return {(name == "SUM" ? "ora_sum(" : "ora_avg(") + distinct + arg.sql + ")", numberType(), true, false};
    }
    if (name == "TO_CHAR" || name == "TO_DATE" || name == "TO_TIMESTAMP" || name == "TO_NUMBER")
        return conversion(expr);
    if (name == "ROUND" || name == "TRUNC") {
        if (expr.args.empty() || expr.args.size() > 2)
            throw OraError(909, "invalid number of arguments");
        Typed arg = translate(*expr.args[0]);
        if (!arg.type.isNumber())
            throw OraError(3001, "unimplemented feature");  // ROUND and TRUNC of dates
        std::string sql = (name == "ROUND" ? "ora_round(" : "ora_trunc(") + arg.sql;
        if (expr.args.size() == 2) {
            Typed integer{"", numberType(), true, true};
            sql += ", " + translate(*expr.args[1], &integer).sql;
        }
        return {sql + ")", numberType(), true, false, true};
    }
    if (name == "COALESCE") {
        if (expr.args.empty())
            throw OraError(938, "not enough arguments for function");
        Typed first = translate(*expr.args[0]);
        std::string sql = "coalesce(" + first.sql;
        for (std::size_t i = 1; i < expr.args.size(); ++i)
            sql += ", " + translate(*expr.args[i], &first).sql;
        first.sql = sql + (expr.args.size() == 1 ? ", NULL)" : ")");
        return first;
    }
    if (name == "SUBSTR") {
        if (expr.args.size() < 2 || expr.args.size() > 3)
            throw OraError(909, "invalid number of arguments");
        Typed text = translate(*expr.args[0]);
        Typed integer{"", numberType(), true, true};
        const std::string start = translate(*expr.args[1], &integer).sql;
        // Oracle reads a start of 0 as 1; a negative one counts from the end, as SQLite does.
        std::string sql = "substr(" + text.sql + ", CASE WHEN " + start + " = 0 THEN 1 ELSE " + start + " END";
        if (expr.args.size() == 3)
            sql += ", " + translate(*expr.args[2], &integer).sql;
        return {sql + ")", text.type.isText() ? text.type : textType(4000), true, false};
    }
    if (name == "CHR") {
        requireArgs(expr, 1);
        Typed integer{"", numberType(), true, true};
        return {"char(" + translate(*expr.args[0], &integer).sql + ")", textType(1), true, false};
    }
    if (name == "DECODE" || name == "INSTR" || name == "NVL2" || name == "REPLACE" || name == "LPAD" || name == "RPAD")
        throw OraError(3001, "unimplemented feature");
    throwInvalidIdentifier(name);
}

// The format model of a conversion: the argument at `index`, or the session's NLS format.
std::string Translator::formatArgument(const Expr& expr, std::size_t index, ParamSource::Kind nlsDefault)
{
    if (expr.args.size() > index) {
        Typed hint{"", textType(4000), true, false};
        return translate(*expr.args[index], &hint).sql;
    }
    ParamSource param;
    param.kind = nlsDefault;
    params_.push_back(param);
    return "?" + std::to_string(params_.size());
}

// TO_CHAR, TO_DATE, TO_TIMESTAMP and TO_NUMBER, done by the ora_* SQL functions of the database.
Typed Translator::conversion(const Expr& expr)
{
    const std::string& name = expr.text;
    if (expr.args.empty() || expr.args.size() > 2)
        throw OraError(909, "invalid number of arguments");
    if (name == "TO_NUMBER") {
        if (expr.args.size() > 1)
            throw OraError(3001, "unimplemented feature");
        Typed arg = translate(*expr.args[0]);
        return {"ora_to_number(" + arg.sql + ")", numberType(), true, false, true};
    }
    if (name == "TO_DATE" || name == "TO_TIMESTAMP") {
        const bool timestamp = name == "TO_TIMESTAMP";
        Typed hint{"", textType(4000), true, false};
        const std::string text = translate(*expr.args[0], &hint).sql;
        const std::string format =
            formatArgument(expr, 1, timestamp ? ParamSource::Kind::TimestampFormat : ParamSource::Kind::DateFormat);
        ColumnType type;
        type.kind = timestamp ? K::Timestamp : K::Date;
        type.scale = timestamp ? 9 : 0;
        return {"ora_parse_date(" + text + ", " + format + ", " + std::to_string(type.scale) + ")", type, true, false};
    }
    // TO_CHAR
    Typed arg = translate(*expr.args[0]);
    if (arg.type.kind == K::TimestampTz || arg.type.kind == K::TimestampLtz)
        throw OraError(3001, "unimplemented feature");
    if (arg.type.kind == K::Date || arg.type.kind == K::Timestamp) {
        const bool timestamp = arg.type.kind == K::Timestamp;
        const std::string format =
            formatArgument(expr, 1, timestamp ? ParamSource::Kind::TimestampFormat : ParamSource::Kind::DateFormat);
        return {"ora_format_date(" + arg.sql + ", " + format + ", " + std::to_string(timestamp ? arg.type.scale : 0) + ")",
                textType(4000), true, false};
    }
    if (expr.args.size() > 1)
        throw OraError(3001, "unimplemented feature");
    if (arg.type.isNumber())
        return {"CAST(" + arg.sql + " AS TEXT)", textType(4000), true, false};
    return {arg.sql, arg.type.isText() ? arg.type : textType(4000), true, false};
}

// x [NOT] IN (a, b, ...) and x [NOT] BETWEEN a AND b: the values take the type of x.
Typed Translator::membership(const Expr& expr)
{
    const Typed subject = translate(*expr.args[0]);
    if (subject.type.isLob())
        throw OraError(932, "inconsistent datatypes: expected - got " + subject.type.dataTypeName());
    std::vector<Typed> typed;
    bool anyMixed = subject.mixedNumber;
    for (std::size_t i = 1; i < expr.args.size(); ++i) {
        typed.push_back(translate(*expr.args[i], subject.known ? &subject : nullptr));
        anyMixed = anyMixed || typed.back().mixedNumber;
    }
    const bool ordered = expr.kind == Expr::Kind::Between && anyMixed;
    std::vector<std::string> values;
    for (const Typed& value : typed)
        values.push_back(ordered ? numericOrder(value.sql) : value.sql);
    std::string sql;
    if (expr.kind == Expr::Kind::Between) {
        const std::string lhs = ordered ? numericOrder(subject.sql) : subject.sql;
        sql = "(" + lhs + (expr.negated ? " NOT BETWEEN " : " BETWEEN ") + values[0] + " AND " + values[1] + ")";
    } else {
        // Equality needs no numeric ordering: every number has exactly one stored form.
        sql = "(" + subject.sql + (expr.negated ? " NOT IN (" : " IN (");
        for (std::size_t i = 0; i < values.size(); ++i)
            sql += (i ? ", " : "") + values[i];
        sql += "))";
    }
    return {sql, numberType(), true, true};
}

Typed Translator::binary(const Expr& expr)
{
    const std::string& op = expr.text;
    const Expr& left = *expr.args[0];
    const Expr& right = *expr.args[1];
    if (op == "AND" || op == "OR")
        return {"(" + translate(left).sql + " " + op + " " + translate(right).sql + ")", numberType(), true, true};
    if (op == "||")
        return {"(" + translate(left).sql + " || " + translate(right).sql + ")", textType(4000), true, false};
    if (op == "+" || op == "-" || op == "*" || op == "/") {
        // Exact decimal arithmetic by the ora_op0..3 functions (+ - * /) of the database.
        Typed number{"", numberType(), true, false};
        const std::string function = std::string("ora_op") + std::to_string(std::string("+-*/").find(op));
        return {function + "(" + translate(left, &number).sql + ", " + translate(right, &number).sql + ")",
                numberType(), true, false, true};
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
    // A binary floating point value has two stored forms of zero ("-0" keeps the sign bit).
    const auto binaryFloating = [](const ColumnType& type) {
        return type.kind == K::BinaryFloat || type.kind == K::BinaryDouble;
    };
    if ((ordering && (l.mixedNumber || r.mixedNumber)) || binaryFloating(l.type) || binaryFloating(r.type))
        return {"(" + numericOrder(l.sql) + " " + op + " " + numericOrder(r.sql) + ")", numberType(), true, true};
    return {"(" + l.sql + " " + op + " " + r.sql + ")", numberType(), true, true};
}

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

}  // namespace oraemu
