#include "engine/index_statement.h"

#include "engine/name_rules.h"

#include "db/error.h"

namespace dovrelle {

IndexStatement IndexStatement::primaryKey(const QString& oracleTable, const QString& constraintName,
                                          const QString& firstColumn)
{
    IndexStatement statement;
    statement.kind_ = Kind::PrimaryKey;
    statement.table_ = oracleTable;
    statement.name_ = constraintName;
    statement.columns_ = {firstColumn};
    return statement;
}

IndexStatement IndexStatement::index(const QString& indexName, const QString& oracleTable,
                                     const QString& firstColumn)
{
    IndexStatement statement;
    statement.kind_ = Kind::Index;
    statement.table_ = oracleTable;
    statement.name_ = indexName;
    statement.columns_ = {firstColumn};
    return statement;
}

QString IndexStatement::text() const
{
    // Only a listing whose first row does not begin an index leaves a statement without a head.
    if (kind_ == Kind::None)
        throw Error(QStringLiteral("The index listing names the columns %1 before any index begins")
                        .arg(columns_.join(u',')));
    QStringList quotedColumns;
    for (const QString& column : columns_)
        quotedColumns.append(oracleQuotedName(column, QStringLiteral("column")));
    const QString columnList = quotedColumns.join(u',') + u')';
    const QString table = oracleQuotedName(table_, QStringLiteral("table"));
    switch (kind_) {
    case Kind::PrimaryKey:
        return QStringLiteral("alter table ") + table + QStringLiteral("  add constraint ")
            + oracleQuotedName(name_, QStringLiteral("constraint")) + QStringLiteral(" primary key (")
            + columnList;
    case Kind::Index:
        return QStringLiteral("create index ") + oracleQuotedName(name_, QStringLiteral("index"))
            + QStringLiteral(" on ") + table + QStringLiteral(" (") + columnList;
    case Kind::None:
        break;
    }
    return {};
}

QString IndexStatement::refusedKeyLine(const QString& oracleMessage) const
{
    const bool tooLong = oracleMessage.startsWith(QLatin1String("ORA-01450"));
    const bool lobPrefix = !prefixes_.isEmpty() && oracleMessage.startsWith(QLatin1String("ORA-02327"));
    if (!tooLong && !lobPrefix)
        return {};
    QString line = (kind_ == Kind::PrimaryKey ? QStringLiteral("Primary key %1 of %2 (%3) was not created")
                                              : QStringLiteral("Index %1 on %2 (%3) was not created"))
                       .arg(name_, table_, columns_.join(QStringLiteral(", ")));
    if (!prefixes_.isEmpty())
        line += QStringLiteral(": MySQL indexes only the start of %1, Oracle would index the whole columns")
                    .arg(prefixes_.join(QStringLiteral(", ")));
    return line + QStringLiteral(": ") + oracleMessage;
}

bool isFirstColumnOfIndex(const Value& seqInIndex)
{
    switch (seqInIndex.kind()) {
    case Value::Kind::Int:
        return seqInIndex.asInt() == 1;
    case Value::Kind::UInt:
        return seqInIndex.asUInt() == 1;
    case Value::Kind::Double:
        return seqInIndex.asDouble() == 1.0;
    case Value::Kind::Bool:
        return seqInIndex.asBool();
    default: {
        bool isNumber = false;
        const qlonglong number = seqInIndex.toText().trimmed().toLongLong(&isNumber);
        return isNumber && number == 1;
    }
    }
}

QString primaryKeyName(const QString& listedTable, int rowNumber, int maxBytes)
{
    const QString formed = QStringLiteral("PRIMARY") + listedTable + QString::number(rowNumber);
    return cutToOracleLength(formed.toUpper(), maxBytes);
}

QString indexName(const QString& keyName, const QString& mysqlTable, bool nameUpperCase,
                  int maxBytes)
{
    const QString formed = QStringLiteral("idx_") + keyName + applyNameCase(mysqlTable, nameUpperCase);
    return cutToOracleLength(formed.toUpper(), maxBytes);
}

QString indexColumnName(const QString& listedColumn, bool nameUpperCase, int maxBytes)
{
    return applyNameCase(cutToOracleLength(listedColumn, maxBytes), nameUpperCase);
}

}  // namespace dovrelle
