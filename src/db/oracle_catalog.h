#pragma once

#include <QString>

namespace dovrelle {

class OracleConnection;

// True when the schema of `user` (upper-cased a to z only) holds a table named exactly `name`.
// The values are bound, never pasted into the statement. Failures throw Error.
bool tableExists(OracleConnection& connection, const QString& name, const QString& user);

// drop table "name" (with `cascadeConstraints`, the foreign keys of other tables that
// reference it go too). Throws Error with Oracle's message, or naming a name that cannot be an
// Oracle name.
void dropTable(OracleConnection& connection, const QString& name, bool cascadeConstraints = false);

}  // namespace dovrelle
