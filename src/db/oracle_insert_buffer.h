#pragma once

#include "db/value.h"

#include <QString>
#include <functional>
#include <memory>

namespace dovrelle {

class OracleConnection;

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

    // Called once, with Oracle's message, when a row of an apply fails.
    using ErrorHandler = std::function<void(const QString& message)>;
    void setErrorHandler(ErrorHandler handler);

    // Sends the pending rows in appended order in one transaction: all are committed, or, at the
    // first failing row, nothing after it is sent, the transaction is rolled back and the error
    // handler fires. A failure that belongs to no row (the transaction cannot begin ...) throws.
    // maxErrors is the number of tolerated failed rows (the system always passes 0).
    void applyUpdates(int maxErrors);

    // Large values of one apply are sent in several executes (inside the same transaction) so
    // that the bind buffers of one execute stay below this many bytes; 64 MB unless set.
    void setBatchByteLimit(qint64 bytes);

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace dovrelle
