#include "engine/index_translation.h"

#include "engine/index_statement.h"
#include "engine/logged_step.h"
#include "engine/name_rules.h"
#include "engine/run_log.h"
#include "engine/unique_object_name.h"

#include "db/error.h"
#include "db/mysql_query.h"
#include "db/oracle_connection.h"

namespace dovrelle {

namespace {

// Oracle commits each key or index statement by itself; nothing is logged on success. A name
// that an index or constraint of another table already holds gets a free variant.
void executeIndexStatement(OracleConnection& oracleData, IndexStatement& statement, LoggedStep& step,
                           bool namesUniqueInSchema)
{
    try {
        if (!statement.name().isEmpty())
            statement.setName(uniqueObjectName(oracleData, statement.name(),
                                               namesUniqueInSchema ? QString() : statement.table()));
        oracleData.execute(statement.text(), /*autoCommit=*/true);
    } catch (const Error& e) {
        const QString keyLine = statement.refusedKeyLine(e.message());
        const QString line = keyLine.isEmpty() ? e.message() : keyLine;
        step.fail(line);
        step.log().append(QStringLiteral(" "));
    }
}

}  // namespace

void createIndexes(MySqlConnection& data, OracleConnection& oracleData, const QString& mysqlName,
                   const QString& oracleName, bool nameUpperCase, LoggedStep& step, bool namesUniqueInSchema)
{
    MySqlQuery listing(data);
    listing.open(QStringLiteral("show index from ") + mysqlQuotedName(mysqlName));

    const int tableField = listing.fieldIndex(QStringLiteral("Table"));
    const int keyField = listing.fieldIndex(QStringLiteral("Key_name"));
    const int seqField = listing.fieldIndex(QStringLiteral("Seq_in_index"));
    const int columnField = listing.fieldIndex(QStringLiteral("Column_name"));
    const int prefixField = listing.fieldIndex(QStringLiteral("Sub_part"));  // NULL: whole column
    if (tableField < 0 || keyField < 0 || seqField < 0 || columnField < 0)
        throw Error(QStringLiteral("The index listing of %1 lacks Table, Key_name, Seq_in_index "
                                   "or Column_name").arg(mysqlName));

    const int nameBytes = oracleData.maxIdentifierBytes();
    IndexStatement statement;
    int rowNumber = 1;
    for (; !listing.atEnd(); listing.next(), ++rowNumber) {
        const bool startsIndex = isFirstColumnOfIndex(listing.valueAt(seqField));
        const QString column = indexColumnName(listing.textAt(columnField), nameUpperCase, nameBytes);
        if (rowNumber > 1 && startsIndex) {
            executeIndexStatement(oracleData, statement, step, namesUniqueInSchema);
            statement = IndexStatement();
        }
        if (startsIndex) {
            const QString keyName = listing.textAt(keyField);
            if (keyName == QLatin1String("PRIMARY")) {
                const QString name = primaryKeyName(listing.textAt(tableField), rowNumber, nameBytes);
                statement = IndexStatement::primaryKey(oracleName, name, column);
            } else {
                const QString name = indexName(keyName, mysqlName, nameUpperCase, nameBytes);
                statement = IndexStatement::index(name, oracleName, column);
            }
        } else {
            statement.addColumn(column);
        }
        if (prefixField >= 0 && !listing.valueAt(prefixField).isNull())
            statement.notePrefix(column, listing.textAt(prefixField).toInt());
    }
    if (rowNumber > 1)
        executeIndexStatement(oracleData, statement, step, namesUniqueInSchema);
    listing.close();
}

}  // namespace dovrelle
