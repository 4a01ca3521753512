#pragma once

#include "db/mysql_column.h"
#include "db/value.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace dovrelle {

class MySqlConnection;

// A query on a MySqlConnection that streams its rows (the result is never held whole in memory).
// Only one query may be open on a connection at a time.
class MySqlQuery {
public:
    explicit MySqlQuery(MySqlConnection& connection);
    ~MySqlQuery();
    MySqlQuery(const MySqlQuery&) = delete;
    MySqlQuery& operator=(const MySqlQuery&) = delete;

    void open(const QString& sql);  // throws Error with the server's message; the first row is current
    void close();                   // closing a closed query does nothing; closing a half-read
                                    // result reads the rest of its rows from the server and drops them
    bool isOpen() const;
    bool atEnd() const;             // true at once for an empty result
    void next();                    // throws Error when the connection fails mid-result

    int fieldCount() const;
    QString fieldName(int pos) const;
    // The value class of the column: TIntegerField, TLargeintField, TFloatField, TFMTBCDField,
    // TStringField, TMemoField, TBlobField, TDateField, TTimeField, TSQLTimeStampField, TBooleanField.
    QString typeTag(int pos) const;
    // How the column's values are read (what logic goes by; the type tag is for log lines).
    MySqlColumn::Kind kindAt(int pos) const;
    bool isSinglePrecision(int pos) const;  // a FLOAT column (4 bytes), not a DOUBLE
    int fieldIndex(const QString& name) const;  // case-insensitive; -1 if absent

    // Current row.
    QString textAt(int pos) const;          // NULL gives an empty text
    qint64 intAt(int pos) const;            // throws Error when the text is not an integer
    // Integers come as Int, and as UInt only for bigint unsigned values above INT64_MAX and for
    // bit(n>1); bit(1) as Bool; text decoded from the character set the server sent it in.
    Value valueAt(int pos) const;
    Value value(const QString& name) const;
    // The field's text-protocol bytes as the server sent them (a null view for NULL), valid until
    // next(): for a caller that takes text and decimals without building a Value.
    QByteArrayView bytesAt(int pos) const;
    // True when the column is text the server sends in UTF-8: valueAt gives
    // Value::fromText(decodeUtf8KeepingBom(bytesAt(pos))).
    bool isUtf8Text(int pos) const;  // case-insensitive; throws Error naming the field if absent

private:
    struct State;
    MySqlConnection& connection_;
    std::unique_ptr<State> state_;
};

}  // namespace dovrelle
