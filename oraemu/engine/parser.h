#pragma once

#include "ast.h"

#include <string_view>

namespace oraemu {

// Parses one Oracle SQL statement of the supported kinds; throws OraError as Oracle would for
// bad syntax, bad names and unsupported statements.
ParsedStatement parseStatement(std::string_view sql);

// Parses one expression (a DEFAULT clause kept in the catalog).
ExprPtr parseExpression(std::string_view sql);

// The statement kind from the first word, for OCI_ATTR_STMT_TYPE (0 when unknown).
int statementTypeOf(std::string_view sql);
// Whether an INSERT, UPDATE or DELETE has a RETURNING ... INTO clause (known before it is parsed).
bool returnsIntoBinds(std::string_view sql);

}  // namespace oraemu
