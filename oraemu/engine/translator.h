#pragma once

// Oracle expressions translated into SQLite expressions over one query source, with the
// conversions Oracle applies to literals and binds compared with typed columns.
#include "ast.h"
#include "plans.h"

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

class Translator {
public:
    // Columns are read as src.c1..cN; literals and binds become parameters appended to `params`.
    Translator(Session& session, const QuerySource& source, std::string alias, std::vector<ParamSource>& params);
    Typed translate(const Expr& expr, const Typed* hint = nullptr);

private:
    Typed addParam(ParamSource param, const Typed* hint, ColumnType ownType);
    Typed column(const Expr& expr);
    Typed function(const Expr& expr);
    Typed binary(const Expr& expr);
    Typed conversion(const Expr& expr);
    Typed membership(const Expr& expr);
    std::string formatArgument(const Expr& expr, std::size_t index, ParamSource::Kind nlsDefault);

    Session& session_;
    const QuerySource& source_;
    std::string alias_;
    std::vector<ParamSource>& params_;
};

}  // namespace oraemu
