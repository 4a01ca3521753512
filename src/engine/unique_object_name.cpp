#include "engine/unique_object_name.h"

#include "engine/name_rules.h"

#include "db/error.h"
#include "db/oracle_connection.h"

namespace dovrelle {

namespace {

constexpr int kLastVariant = 9999;

// True when an index or constraint of a table other than `oracleTable` holds the name; with an
// empty `oracleTable`, any index or constraint.
bool nameHeld(OracleConnection& oracle, const QString& name, const QString& oracleTable)
{
    const QString otherTable = oracleTable.isEmpty() ? QString() : QStringLiteral(" and table_name <> :2");
    const QStringList binds = oracleTable.isEmpty() ? QStringList{name} : QStringList{name, oracleTable};
    return oracle.queryInteger(QStringLiteral("select count(*) from user_indexes where index_name = :1")
                                   + otherTable,
                               binds)
               > 0
           || oracle.queryInteger(
                  QStringLiteral("select count(*) from user_constraints where constraint_name = :1")
                      + otherTable,
                  binds)
                  > 0;
}

}  // namespace

QString uniqueObjectName(OracleConnection& oracle, const QString& name, const QString& oracleTable)
{
    if (!nameHeld(oracle, name, oracleTable))
        return name;
    const int maxBytes = oracle.maxIdentifierBytes();
    for (int n = 1; n <= kLastVariant; ++n) {
        const QString ending = u'_' + QString::number(n);
        const int room = int(ending.size());
        const QString variant =
            leftUtf8Bytes(leftChars(name, kOracleNameLength - room), maxBytes - room) + ending;
        if (!nameHeld(oracle, variant, QString()))
            return variant;
    }
    throw Error(QStringLiteral("No free name is left for %1").arg(name));
}

}  // namespace dovrelle
