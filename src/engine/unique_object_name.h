#pragma once

#include <QString>

namespace dovrelle {

class OracleConnection;

// The name for a new key constraint or index of `oracleTable`: the name itself unless an index or
// a constraint of another table of the logged-on schema already holds it (Oracle would refuse it
// with ORA-00955 or ORA-02264); then the first of NAME_1, NAME_2 ... (NAME cut so that the whole
// stays within 30 characters and the server's identifier limit in bytes) that no index and no
// constraint holds. Throws Error with Oracle's message when the catalog cannot be read.
QString uniqueObjectName(OracleConnection& oracle, const QString& name, const QString& oracleTable);

}  // namespace dovrelle
