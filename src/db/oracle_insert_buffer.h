#pragma once

#include "db/error.h"
#include "db/value.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace dovrelle {

class OracleConnection;

// Rows that Oracle refused in an apply, one too many among them: the message is Oracle's for
// that last one; rowMessages holds every refused row's message in order; batchRow is that last
// row's place among the rows posted since the previous apply (0 for the first), -1 when unknown.
class RejectedRowError : public Error {
public:
    explicit RejectedRowError(QStringList rowMessages, qsizetype batchRow = -1)
        : Error(rowMessages.value(rowMessages.size() - 1)), rowMessages_(std::move(rowMessages)), batchRow_(batchRow)
    {
    }
    const QStringList& rowMessages() const { return rowMessages_; }
    qsizetype batchRow() const { return batchRow_; }

private:
    QStringList rowMessages_;
    qsizetype batchRow_;
};

// A value that a column cannot take: the message names the column and Oracle's type, the reason
// says why in a few words for a log line ("6000 bytes, VARCHAR2 holds 4000", "1e308 is beyond
// NUMBER ...").
class RefusedValueError : public Error {
public:
    RefusedValueError(QString message, QString reason)
        : Error(std::move(message)), reason_(std::move(reason))
    {
    }
    const QString& reason() const { return reason_; }

private:
    QString reason_;
};

// Rows bound to one Oracle table, inserted in batches as array DML.
// open() describes the table through "select * from "T" where 1=0"; rows are appended, their
// columns set by name (letter case ignored) and posted; applyUpdates() sends the pending rows in
// one transaction on the connection.
class OracleInsertBuffer {
public:
    explicit OracleInsertBuffer(OracleConnection& connection);
    ~OracleInsertBuffer();
    OracleInsertBuffer(const OracleInsertBuffer&) = delete;
    OracleInsertBuffer& operator=(const OracleInsertBuffer&) = delete;

    void setCommandText(const QString& selectStatement);  // "select * from "T" where 1=0"
    void open();   // throws Error with Oracle's message (e.g. ORA-00942)
    void close();  // drops every row not applied; rows of the batch sent early are rolled back
    bool isOpen() const;

    int columnCount() const;
    QString columnName(int column) const;      // as Oracle reports it
    int columnIndex(const QString& name) const;  // letter case ignored; -1 if absent
    // The longest name the connection's server takes, in UTF-8 bytes.
    int maxIdentifierBytes() const;

    void append();  // starts a new row; all columns NULL
    // Converts the value to the column's type at once; throws Error when it cannot (text that is no
    // number into a NUMBER column, a zero date into a DATE, bytes that are not text into a CLOB,
    // no such column ...). The column then stays NULL. A value the column cannot take throws
    // RefusedValueError.
    void setValue(const QString& columnName, const Value& value);
    void setValue(int column, const Value& value);
    // setValue(column, Value::fromText(decodeUtf8KeepingBom(utf8))) without building the value: text
    // that is valid UTF-8 goes into a text or binary column as it is. A null view is NULL.
    void setUtf8Text(int column, QByteArrayView utf8);
    // setValue(column, Value::fromDecimal(QString::fromLatin1(latin1))) without building the value.
    void setDecimalText(int column, QByteArrayView latin1);
    // A binary floating-point value (see convertFloatingPointForOracle): BINARY_FLOAT and
    // BINARY_DOUBLE columns take its bits, NUMBER its shortest exact decimal text.
    void setFloatingPoint(int column, double value, bool singlePrecision);
    // Whether the value last set in the column of the appended row is NULL to Oracle (an empty
    // text is, as Oracle has no empty string).
    bool isNullInRow(int column) const;
    // The appended row becomes pending. It may first send the buffered rows (see
    // setBatchByteLimit); a failure there that belongs to no row throws.
    void post();

    // Rows posted since the last apply (those already sent early included).
    int pendingCount() const;

    // Sends the rows posted since the last apply (those already sent early included) in appended
    // order in one transaction. Up to maxErrors refused rows are left out (the system always
    // passes 0) and their messages returned; the others are committed. At one refused row more,
    // nothing after it is sent, the transaction is rolled back (with every row of the batch sent
    // early) and RejectedRowError is thrown. maxErrors applies to the rows still buffered: a row
    // refused in an early execute always takes back the batch. A failure that belongs to no row
    // (the transaction cannot begin ...) throws Error.
    QStringList applyUpdates(int maxErrors = 0);

    // The bound of buffered bind data: a row that would take the buffered bytes past it first
    // sends the buffered rows, inside the open transaction (nothing is committed before the
    // apply). So memory stays near the bound plus the largest row, whatever a batch holds.
    // 32 MB unless set. The bind arrays of one execute stay within the smaller of this and 16 MB.
    void setBatchByteLimit(qint64 bytes);

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace dovrelle
