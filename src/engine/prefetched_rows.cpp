#include "engine/prefetched_rows.h"

#include "db/error.h"
#include "db/mysql_query.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace dovrelle {

namespace {

// A column's place among the columns of its kind of take: its Value's or its bytes' slot in a row.
struct Slot {
    PrefetchedRows::Take take;
    int index;
};

std::vector<Slot> columnSlotsOf(const std::vector<PrefetchedRows::Take>& takes, int& valueColumns, int& byteColumns)
{
    std::vector<Slot> columnSlots;
    valueColumns = 0;
    byteColumns = 0;
    for (PrefetchedRows::Take take : takes)
        columnSlots.push_back({take, take == PrefetchedRows::Take::Value ? valueColumns++ : byteColumns++});
    return columnSlots;
}

}  // namespace

// Rows as read: the values of the Value columns and the bytes of the Bytes columns, row by row.
struct PrefetchedRows::Batch {
    struct Span {
        qsizetype offset = 0;
        qsizetype size = -1;  // -1: NULL
    };

    qsizetype rows = 0;
    std::vector<Value> values;             // rows x value columns
    std::vector<char> valueFailed;         // parallel to values: building it threw
    std::vector<std::pair<qsizetype, QString>> failures;  // (index in values, the Error's message)
    std::vector<Span> spans;               // rows x byte columns
    std::string bytes;
    qsizetype heldBytes = 0;               // bytes and the size of the values' source bytes
    bool end = false;                      // the query has no row after these
    std::optional<QString> readError;      // reading the row after these failed so

    void clear()
    {
        rows = 0;
        values.clear();
        valueFailed.clear();
        failures.clear();
        spans.clear();
        bytes.clear();
        heldBytes = 0;
        end = false;
        readError.reset();
        if (bytes.capacity() > largeArena)
            std::string().swap(bytes);  // not kept after a batch of large values
    }
    static constexpr std::size_t largeArena = 16 << 20;
    QString failureAt(qsizetype index) const
    {
        const auto found = std::lower_bound(failures.begin(), failures.end(), index,
                                            [](const auto& failure, qsizetype i) { return failure.first < i; });
        return found != failures.end() && found->first == index ? found->second : QString();
    }
};

struct PrefetchedRows::Reader {
    Reader(MySqlQuery& s, const std::vector<Take>& takes, Limits l)
        : source(s), columnSlots(columnSlotsOf(takes, valueColumns, byteColumns)), limits(l)
    {
    }

    MySqlQuery& source;
    int valueColumns = 0;
    int byteColumns = 0;
    std::vector<Slot> columnSlots;
    Limits limits;

    // Rows are added to `filling` under the mutex, and the query is moved on outside it. So a
    // caller that runs out of rows can take the rows read so far even while the reader is stuck
    // inside the query waiting for the next one (a lock, a slow view, a busy server).
    std::mutex mutex;
    std::condition_variable changed;
    std::unique_ptr<Batch> filling;  // being read
    std::unique_ptr<Batch> ready;    // read, not yet taken by the caller
    std::unique_ptr<Batch> spare;    // given back by the caller, to be filled again
    bool done = false;               // the last batch has been handed over, or the reader stopped
    bool callerWaiting = false;      // the caller has run out of rows and waits for these
    std::atomic<bool> stopping = false;
    std::thread thread;

    void run() noexcept;
    bool readBatch(int maxRows, bool advanceFirst);
    Batch& fillingBatch(int maxRows);
    void handOver(std::unique_lock<std::mutex>& lock, bool last);
    bool canTakeFilling() const { return filling && filling->rows >= limits.firstBatchRows; }
    void readRow(Batch& batch);
};

void PrefetchedRows::Reader::run() noexcept
{
    int maxRows = std::max(1, limits.firstBatchRows);
    bool advance = false;  // the first batch begins at the query's current row
    for (;;) {
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [this] { return !ready || stopping; });
            if (stopping)
                break;
        }
        if (readBatch(maxRows, advance))
            return;
        maxRows = std::max(1, limits.batchRows);
        advance = true;
    }
    std::lock_guard lock(mutex);
    done = true;
    changed.notify_all();
}

// Reads rows until the batch is complete and hands it over; true when it was the last one (the
// query's end or a failed read). The query stays on the batch's last row until the next batch:
// the client's row buffer then holds that row rather than one more, which matters for rows of
// many megabytes.
bool PrefetchedRows::Reader::readBatch(int maxRows, bool advanceFirst)
{
    bool advance = advanceFirst;
    for (;;) {
        std::optional<QString> readError;
        bool end = false;
        try {
            if (advance)
                source.next();  // a lost connection throws: the read error after the row before
            end = source.atEnd();
        } catch (const Error& e) {
            readError = e.message();
        } catch (const std::exception& e) {
            readError = QString::fromLocal8Bit(e.what());
        }
        std::unique_lock lock(mutex);
        Batch& batch = fillingBatch(maxRows);
        if (end || readError) {
            batch.end = end;
            batch.readError = readError;
            handOver(lock, true);
            return true;
        }
        readRow(batch);
        advance = true;
        // A slow source (a view, a busy server) must not hold back the caller's progress and its
        // stop test for a whole batch: a waiting caller gets what has been read so far.
        if (batch.rows >= maxRows || batch.heldBytes >= limits.batchBytes || stopping
            || (callerWaiting && batch.rows >= limits.firstBatchRows)) {
            handOver(lock, false);
            return false;
        }
    }
}

// The batch rows are read into; a fresh one when the caller took the last.
PrefetchedRows::Batch& PrefetchedRows::Reader::fillingBatch(int maxRows)
{
    if (!filling) {
        filling = spare ? std::move(spare) : std::make_unique<Batch>();
        filling->clear();
        filling->values.reserve(std::size_t(maxRows) * std::size_t(valueColumns));
        filling->valueFailed.reserve(std::size_t(maxRows) * std::size_t(valueColumns));
        filling->spans.reserve(std::size_t(maxRows) * std::size_t(byteColumns));
    }
    return *filling;
}

void PrefetchedRows::Reader::handOver(std::unique_lock<std::mutex>& lock, bool last)
{
    ready = std::move(filling);
    done = last;
    lock.unlock();
    changed.notify_all();
}

void PrefetchedRows::Reader::readRow(Batch& batch)
{
    for (int pos = 0; pos < int(columnSlots.size()); ++pos) {
        if (columnSlots[pos].take == Take::Bytes) {
            const QByteArrayView bytes = source.bytesAt(pos);
            Batch::Span span;
            if (!bytes.isNull()) {
                span.offset = qsizetype(batch.bytes.size());
                span.size = bytes.size();
                batch.bytes.append(bytes.data(), std::size_t(bytes.size()));
                batch.heldBytes += bytes.size();
            }
            batch.spans.push_back(span);
            continue;
        }
        batch.heldBytes += source.bytesAt(pos).size();
        try {
            batch.values.push_back(source.valueAt(pos));
            batch.valueFailed.push_back(0);
        } catch (const Error& e) {
            batch.failures.emplace_back(qsizetype(batch.values.size()), e.message());
            batch.values.push_back(Value::null());
            batch.valueFailed.push_back(1);
        }
    }
    ++batch.rows;
}

namespace {

// Waits for the reader's next batch; false when stopWaiting said to stop before it came.
bool waitForNextBatch(PrefetchedRows::Reader& reader, std::unique_lock<std::mutex>& lock,
                      const std::function<bool()>& stopWaiting)
{
    const auto arrived = [&reader] { return reader.ready || reader.done || reader.canTakeFilling(); };
    if (!stopWaiting) {
        reader.changed.wait(lock, arrived);
        return true;
    }
    while (!reader.changed.wait_for(lock, std::chrono::milliseconds(100), arrived)) {
        lock.unlock();  // the question may take its time (a window's events)
        const bool stop = stopWaiting();
        lock.lock();
        if (stop && !arrived())
            return false;
    }
    return true;
}

}  // namespace

PrefetchedRows::PrefetchedRows(MySqlQuery& source, std::vector<Take> takes)
    : PrefetchedRows(source, std::move(takes), Limits{})
{
}

PrefetchedRows::PrefetchedRows(MySqlQuery& source, std::vector<Take> takes, Limits limits)
    : reader_(std::make_unique<Reader>(source, takes, limits))
{
    reader_->thread = std::thread([reader = reader_.get()] { reader->run(); });
}

PrefetchedRows::~PrefetchedRows()
{
    stop();
}

void PrefetchedRows::stop() noexcept
{
    if (!reader_->thread.joinable())
        return;
    reader_->stopping = true;
    reader_->changed.notify_all();
    reader_->thread.join();
}

// Gives the finished batch back to the reader and waits for the next one.
void PrefetchedRows::takeNextBatch()
{
    // A batch of large values is dropped at once rather than when the reader fills it again.
    if (current_ && current_->heldBytes >= reader_->limits.batchBytes)
        current_->clear();
    std::unique_lock lock(reader_->mutex);
    reader_->callerWaiting = true;
    const bool arrived = waitForNextBatch(*reader_, lock, stopWaiting_);
    reader_->callerWaiting = false;
    if (!arrived) {
        stoppedWaiting_ = true;
        return;
    }
    if (current_)
        reader_->spare = std::move(current_);
    current_ = std::move(reader_->ready ? reader_->ready : reader_->filling);
    if (!current_) {  // stopped before it read anything more
        current_ = std::make_unique<Batch>();
        current_->end = true;
    }
    row_ = 0;
    lock.unlock();
    reader_->changed.notify_all();
}

void PrefetchedRows::setStopWaiting(std::function<bool()> stopWaiting)
{
    stopWaiting_ = std::move(stopWaiting);
}

bool PrefetchedRows::atEnd()
{
    if (stoppedWaiting_)
        return true;
    if (!current_)
        takeNextBatch();
    return stoppedWaiting_ || row_ >= current_->rows;
}

void PrefetchedRows::next()
{
    if (atEnd())
        return;
    if (++row_ < current_->rows)
        return;
    if (current_->readError)
        throw Error(*current_->readError);
    if (current_->end)
        return;
    takeNextBatch();
    if (!stoppedWaiting_ && current_->rows == 0 && current_->readError)
        throw Error(*current_->readError);
}

Value PrefetchedRows::valueAt(int pos) const
{
    const Slot& slot = reader_->columnSlots.at(pos);
    if (slot.take != Take::Value || !current_ || row_ >= current_->rows)
        throw Error(QStringLiteral("The prefetched rows hold no value of field %1 here").arg(pos));
    const qsizetype index = row_ * reader_->valueColumns + slot.index;
    if (current_->valueFailed[index])
        throw Error(current_->failureAt(index));
    return current_->values[index];
}

QByteArrayView PrefetchedRows::bytesAt(int pos) const
{
    const Slot& slot = reader_->columnSlots.at(pos);
    if (slot.take != Take::Bytes || !current_ || row_ >= current_->rows)
        throw Error(QStringLiteral("The prefetched rows hold no bytes of field %1 here").arg(pos));
    const Batch::Span& span = current_->spans[row_ * reader_->byteColumns + slot.index];
    if (span.size < 0)
        return {};
    return QByteArrayView(current_->bytes.data() + span.offset, span.size);
}

}  // namespace dovrelle
