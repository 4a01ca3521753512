#pragma once

// Oracle expressions translated into SQLite expressions over one query source, with the
// conversions Oracle applies to literals and binds compared with typed columns.
#include "ast.h"
#include "plans.h"

#include <optional>
#include <string>
#include <vector>

namespace oraemu {

class Session;

ColumnType numberType();
ColumnType textType(int length);

// A translated expression: its SQLite text and Oracle type.
struct Typed {
    std::string sql;
    ColumnType type;
    bool known = false;        // the type comes from a column or function, not from a literal or bind
    bool integer = false;      // SQLite holds it as a number (counts, catalog numbers, arithmetic)
    bool mixedNumber = false;  // a NUMBER column: SQLite integers and exact decimal texts
};

// Orders NUMBER column values whatever their storage: integers cast to text sort with the rest.
std::string numericOrder(const std::string& sql);

// The table or catalog view a FROM clause names (ORA-00942 when there is none).
QuerySource sourceOf(Session& session, const ObjectName& name);

// One table or view of a FROM clause: the names SQL may qualify its columns with, and the alias
// of the SQLite query that reads it.
struct SourceScope {
    const QuerySource* source = nullptr;
    std::string alias;     // the alias the statement gives it; empty: none
    std::string sqlAlias;  // its columns are read as sqlAlias.c1..cN
    bool outerJoined = false;  // the right side of a LEFT JOIN: every column may be NULL
};

class Translator {
public:
    // Columns are read as src.c1..cN; literals and binds become parameters appended to `params`.
    Translator(Session& session, const QuerySource& source, std::string alias, std::vector<ParamSource>& params);
    // The sources of a (sub)query; a column none of them has is looked up in `outer`'s.
    Translator(Session& session, std::vector<SourceScope> scopes, std::vector<ParamSource>& params,
               const Translator* outer);
    Typed translate(const Expr& expr, const Typed* hint = nullptr);
    // How deep this query is nested in sub-queries (0: the statement's own).
    int depth() const { return depth_; }

private:
    Typed addParam(ParamSource param, const Typed* hint, ColumnType ownType);
    Typed column(const Expr& expr);
    std::optional<Typed> ownColumn(const Expr& expr) const;
    bool knowsQualifier(const std::string& qualifier) const;
    Typed subquery(const Expr& expr);
    Typed scalarSubquery(const Expr& expr);
    Typed function(const Expr& expr);
    Typed binary(const Expr& expr);
    Typed conversion(const Expr& expr);
    Typed membership(const Expr& expr);
    std::string formatArgument(const Expr& expr, std::size_t index, ParamSource::Kind nlsDefault);

    Session& session_;
    std::vector<SourceScope> scopes_;
    std::vector<ParamSource>& params_;
    const Translator* outer_ = nullptr;
    int depth_ = 0;
};

// A SELECT translated into SQLite text: the result columns, and per column whether it is a
// NUMBER needing numericOrder() to sort. Sub-queries pass the translator of the query around them.
struct SelectSql {
    std::string sql;
    std::vector<ResultColumn> columns;
    std::vector<bool> mixedNumbers;
};
SelectSql translateSelect(Session& session, const Select& select, std::vector<ParamSource>& params,
                          const Translator* outer);

}  // namespace oraemu
