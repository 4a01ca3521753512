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
    const QString& name() const { return name_; }
    const QString& table() const { return table_; }
    // A name already held elsewhere is replaced by a free variant before the statement runs.
    void setName(const QString& name) { name_ = name; }

    // MySQL indexes only the first `length` characters of the column (Sub_part of "show index");
    // Oracle has no such index, so the statement indexes the whole column.
    void notePrefix(const QString& column, int length)
    {
        prefixes_.append(QStringLiteral("%1(%2)").arg(column, QString::number(length)));
    }
    const QStringList& prefixes() const { return prefixes_; }

    // The log line for a key Oracle refused as too long, or a prefix index it cannot build on
    // whole columns: names the index, its columns and prefixes, then Oracle's message. Empty for
    // any other refusal, which is logged as Oracle worded it.
    QString refusedKeyLine(const QString& oracleMessage) const;

    // The statement text. Throws Error when a name cannot be a quoted Oracle identifier.
    QString text() const;

private:
    enum class Kind { None, PrimaryKey, Index };
    Kind kind_ = Kind::None;
    QString table_;
    QString name_;
    QStringList columns_;
    QStringList prefixes_;
};

// True when a Seq_in_index value marks the first column of an index, whether the client layer
// delivers it as a number or as text.
bool isFirstColumnOfIndex(const Value& seqInIndex);

// The names Oracle would give the objects of the unquoted statements: formed from their pieces,
// then upper-cased and cut to 30 characters.
// `maxBytes` is the server's identifier limit in bytes.
QString primaryKeyName(const QString& listedTable, int rowNumber, int maxBytes = 30);
QString indexName(const QString& keyName, const QString& mysqlTable, bool nameUpperCase,
                  int maxBytes = 30);
// The same treatment the column gets in the CREATE TABLE: cut to 30, then the name case.
QString indexColumnName(const QString& listedColumn, bool nameUpperCase, int maxBytes = 30);

}  // namespace dovrelle
