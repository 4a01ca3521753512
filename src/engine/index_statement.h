#pragma once

#include "db/value.h"

#include <QString>
#include <QStringList>

namespace dovrelle {

// One primary-key or index statement, built column by column from MySQL's index listing.
// Every name stands in double quotes, so lower-case names, reserved words and long names work.
class IndexStatement {
public:
    IndexStatement() = default;

    // alter table "O"  add constraint "NAME" primary key ("C1",...)
    static IndexStatement primaryKey(const QString& oracleTable, const QString& constraintName,
                                     const QString& firstColumn);
    // create index "NAME" on "O" ("C1",...)
    static IndexStatement index(const QString& indexName, const QString& oracleTable,
                                const QString& firstColumn);

    void addColumn(const QString& column) { columns_.append(column); }
    const QStringList& columns() const { return columns_; }

    // The statement text. Throws Error when a name cannot be a quoted Oracle identifier.
    QString text() const;

private:
    enum class Kind { None, PrimaryKey, Index };
    Kind kind_ = Kind::None;
    QString table_;
    QString name_;
    QStringList columns_;
};

// True when a Seq_in_index value marks the first column of an index, whether the client layer
// delivers it as a number or as text.
bool isFirstColumnOfIndex(const Value& seqInIndex);

// The names Oracle would give the objects of the unquoted statements: formed from their pieces,
// then upper-cased and cut to 30 characters.
QString primaryKeyName(const QString& listedTable, int rowNumber);
QString indexName(const QString& keyName, const QString& mysqlTable, bool nameUpperCase);
// The same treatment the column gets in the CREATE TABLE: cut to 30, then the name case.
QString indexColumnName(const QString& listedColumn, bool nameUpperCase);

}  // namespace dovrelle
