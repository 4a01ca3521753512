#pragma once

#include <QString>

namespace dovrelle {

// The one quoting rule for Oracle names. It lives with the Oracle client layer so that the layer's
// own statements (drop, the insert buffer's select and insert) quote as the engine does; the
// engine reaches it through its name rules.

// Why `name` cannot stand between double quotes as an Oracle identifier (it is empty, or holds a
// double quote or a NUL), or an empty text when it can. `what` names the object in the message
// ("table", "column").
QString oracleIdentifierProblem(const QString& name, const QString& what);

// The one way a name reaches Oracle SQL: between double quotes. Throws Error with
// oracleIdentifierProblem's text for a name that cannot be quoted, so no name ever changes the
// statement around it.
QString oracleQuotedName(const QString& name, const QString& what);

}  // namespace dovrelle
