#pragma once

#include "db/value.h"

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace dovrelle {

class MySqlQuery;

// The rows of an open MySqlQuery, read a batch ahead on a thread of its own: while the caller
// converts and writes one batch, the next is fetched from the server and its values are built.
// The caller walks the rows as it walked the query (atEnd, values, next), and sees each value,
// each failing value and a failed read at the same row as the query would have shown them.
//
// Memory stays bounded: besides the batch the caller is on, at most one more batch is read (up
// to batchRows rows, or fewer once its bytes pass batchBytes; never less than one row). A caller
// that waits for rows gets the batch being read as soon as it holds firstBatchRows rows, even
// while the reading thread is itself stuck in the query waiting for the next row, so a slow
// source still lets the caller show progress and test for a stop every few rows.
//
// The query belongs to the reading thread from construction until stop() or destruction; the
// caller must not touch it, or its connection, in between. Nothing else is shared: the caller's
// log, hooks and Oracle connection stay on the caller's thread.
class PrefetchedRows {
public:
    // What the caller takes of each column of the query: the column's Value (valueAt) or the bytes
    // the server sent (bytesAt).
    enum class Take { Value, Bytes };

    struct Limits {
        int firstBatchRows = 100;       // the first batch is small, so the first rows come at once
        int batchRows = 5000;
        qsizetype batchBytes = 4 << 20;
    };

    // Starts reading at the query's current row.
    PrefetchedRows(MySqlQuery& source, std::vector<Take> takes, Limits limits);
    PrefetchedRows(MySqlQuery& source, std::vector<Take> takes);
    ~PrefetchedRows();  // stop()
    PrefetchedRows(const PrefetchedRows&) = delete;
    PrefetchedRows& operator=(const PrefetchedRows&) = delete;

    // True when no row is left. Throws the Error that ended the read here (a lost connection ...),
    // as the query's next() threw it after the row before.
    bool atEnd();
    void next();

    // The current row's value of a column taken as Take::Value: what MySqlQuery::valueAt gave,
    // or the Error it threw.
    Value valueAt(int pos) const;
    // The current row's bytes of a column taken as Take::Bytes (a null view for NULL), valid
    // until next().
    QByteArrayView bytesAt(int pos) const;

    // While the caller waits for rows, stopWaiting is asked every 100 ms whether to wait on; once
    // it says true, no more rows come (atEnd) and stoppedWaiting() is true. A source that stalls
    // completely (a lock, a dead network) then still lets the caller answer and stop; the query
    // itself is the caller's to cancel, since the reading thread may be stuck in it.
    void setStopWaiting(std::function<bool()> stopWaiting);
    bool stoppedWaiting() const { return stoppedWaiting_; }

    // Ends the reading thread once it is done with its row; the query is the caller's again,
    // positioned somewhere after the rows handed out. Doing it twice does nothing.
    void stop() noexcept;

    struct Batch;
    struct Reader;

private:
    void takeNextBatch();

    std::unique_ptr<Reader> reader_;
    std::unique_ptr<Batch> current_;
    std::function<bool()> stopWaiting_;
    bool stoppedWaiting_ = false;
    qsizetype row_ = 0;  // in current_
};

}  // namespace dovrelle
