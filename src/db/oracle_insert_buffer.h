#pragma once

#include "db/error.h"
#include "db/value.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace dovrelle {

class OracleConnection;

// Rows that Oracle refused in an apply, one too many among them: the message is Oracle's for
// that last one; rowMessages holds every refused row's message in order.
class RejectedRowError : public Error {
public:
    explicit RejectedRowError(QStringList rowMessages)
        : Error(rowMessages.value(rowMessages.size() - 1)), rowMessages_(std::move(rowMessages))
    {
    }
    const QStringList& rowMessages() const { return rowMessages_; }

private:
    QStringList rowMessages_;
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
    void close();  // drops every row, pending or applied
    bool isOpen() const;

    int columnCount() const;
    QString columnName(int column) const;      // as Oracle reports it
    int columnIndex(const QString& name) const;  // letter case ignored; -1 if absent
    // The longest name the connection's server takes, in UTF-8 bytes.
    int maxIdentifierBytes() const;

    void append();  // starts a new row; all columns NULL
    // Converts the value to the column's type at once; throws Error when it cannot (text that is no
    // number into a NUMBER column, a zero date into a DATE, bytes that are not text into a CLOB,
    // no such column ...). The column then stays NULL.
    void setValue(const QString& columnName, const Value& value);
    void setValue(int column, const Value& value);
    void post();  // the appended row becomes pending

    int pendingCount() const;

    // Sends the pending rows in appended order in one transaction. Up to maxErrors refused rows
    // are left out (the system always passes 0) and their messages returned; the others are
    // committed. At one refused row more, nothing after it is sent, the transaction is rolled back
    // and RejectedRowError is thrown. A failure that belongs to no row (the transaction cannot
    // begin ...) throws Error.
    QStringList applyUpdates(int maxErrors = 0);

    // Large values of one apply are sent in several executes (inside the same transaction) so
    // that the bind buffers of one execute stay below this many bytes; 64 MB unless set.
    void setBatchByteLimit(qint64 bytes);

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace dovrelle
