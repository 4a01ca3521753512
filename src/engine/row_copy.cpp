#include "engine/row_copy.h"

#include "engine/character_set_warning.h"
#include "engine/copy_source.h"
#include "engine/log_names.h"
#include "engine/name_rules.h"
#include "engine/prefetched_rows.h"
#include "engine/row_copy_progress.h"
#include "engine/run_log.h"
#include "engine/source_transfer.h"

#include "db/error.h"
#include "db/mysql_connection.h"
#include "db/mysql_query.h"
#include "db/oracle_insert_buffer.h"

#include <charconv>
#include <vector>

namespace dovrelle {

namespace {

constexpr int kProgressInterval = 100;  // rows between progress updates, event delivery, stop test
constexpr int kBatchSize = 5000;        // rows per intermediate apply after the first one
constexpr int kFirstBatchSize = 100;
constexpr int kNamedFailuresPerColumn = 20;  // rows named per column; then only their count
constexpr qsizetype kShownKeyLength = 40;    // characters of a key value shown in a line

// How one column's values go from the source row into the insert buffer.
enum class CopyAs {
    Value,
    TruthNumber,    // bit(1): the number 1 or 0
    Utf8Text,       // text the server sends in UTF-8, handed on without decoding it
    DecimalText,    // exact decimals, handed on as the server wrote them
    FloatingPoint,  // FLOAT and DOUBLE by their binary value
};

// Where one source column goes in the insert buffer, and what befell its values.
struct ColumnRoute {
    int source = 0;
    QString targetName;   // the source name cut as the CREATE TABLE cut it
    int target = -1;      // column of the insert buffer; -1 when it has none of that name
    CopyAs as = CopyAs::Value;
    bool singlePrecision = false;  // FloatingPoint: a FLOAT
    bool text = false;             // the source holds text, whose '' Oracle stores as NULL
    QString failureLine;  // "name:TypeTag"
    qint64 failures = 0;
    qint64 emptyStrings = 0;  // '' stored as NULL
};

CopyAs copyAsOf(const MySqlQuery& source, int pos)
{
    if (source.kindAt(pos) == MySqlColumn::Kind::Float)
        return CopyAs::FloatingPoint;
    switch (transferOf(source, pos)) {
    case Transfer::AsTruthNumber: return CopyAs::TruthNumber;
    case Transfer::AsUtf8Text: return CopyAs::Utf8Text;
    case Transfer::AsDecimalText: return CopyAs::DecimalText;
    case Transfer::AsValue: break;
    }
    return CopyAs::Value;
}

std::vector<ColumnRoute> sourceColumns(const MySqlQuery& source, const CopySource& plan, int nameBytes)
{
    std::vector<ColumnRoute> routes;
    for (int pos = 0; pos < source.fieldCount(); ++pos) {
        ColumnRoute route;
        route.source = pos;
        route.targetName = cutToOracleLength(source.fieldName(pos), nameBytes);
        route.as = copyAsOf(source, pos);
        route.singlePrecision = pos < int(plan.singlePrecision.size()) && plan.singlePrecision[pos];
        route.text = source.kindAt(pos) == MySqlColumn::Kind::Text;
        route.failureLine = nameForLog(source.fieldName(pos)) + u':' + source.typeTag(pos);
        routes.push_back(std::move(route));
    }
    return routes;
}

// What the prefetching reader hands over for a route: the bytes the server sent where the copy
// passes them on as they are, the decoded value otherwise.
PrefetchedRows::Take takeOf(const ColumnRoute& route)
{
    switch (route.as) {
    case CopyAs::Value:
    case CopyAs::TruthNumber:
        return PrefetchedRows::Take::Value;
    case CopyAs::Utf8Text:
    case CopyAs::DecimalText:
    case CopyAs::FloatingPoint:
        return PrefetchedRows::Take::Bytes;
    }
    return PrefetchedRows::Take::Value;
}

std::vector<PrefetchedRows::Take> takesOf(const std::vector<ColumnRoute>& routes)
{
    std::vector<PrefetchedRows::Take> takes;
    takes.reserve(routes.size());
    for (const ColumnRoute& route : routes)
        takes.push_back(takeOf(route));
    return takes;
}

// Looks the target columns up again; called whenever the insert buffer has been (re)opened.
void findTargets(std::vector<ColumnRoute>& routes, const OracleInsertBuffer& buffer)
{
    for (ColumnRoute& route : routes)
        route.target = buffer.columnIndex(route.targetName);
}

void setFloatingPoint(const PrefetchedRows& source, OracleInsertBuffer& buffer, const ColumnRoute& route)
{
    const QByteArrayView text = source.bytesAt(route.source);
    if (text.isNull()) {
        buffer.setValue(route.target, Value::null());
        return;
    }
    double number = 0;
    const auto read = std::from_chars(text.data(), text.data() + text.size(), number);
    if (read.ec != std::errc() || read.ptr != text.data() + text.size())
        throw Error(QStringLiteral("'%1' is not a floating-point number").arg(QString::fromLatin1(text)));
    buffer.setFloatingPoint(route.target, number, route.singlePrecision);
}

// Copies one column of the current source row. Returns why it could not be copied (the column
// then stays NULL), or an empty text when it was.
QString copyColumn(const PrefetchedRows& source, OracleInsertBuffer& buffer, const ColumnRoute& route)
{
    if (route.target < 0)
        return QStringLiteral("the Oracle table has no column %1").arg(nameForLog(route.targetName));
    try {
        switch (route.as) {
        case CopyAs::Value:
            buffer.setValue(route.target, source.valueAt(route.source));
            break;
        case CopyAs::TruthNumber:
            buffer.setValue(route.target, truthNumber(source.valueAt(route.source)));
            break;
        case CopyAs::Utf8Text:
            buffer.setUtf8Text(route.target, source.bytesAt(route.source));
            break;
        case CopyAs::DecimalText:
            buffer.setDecimalText(route.target, source.bytesAt(route.source));
            break;
        case CopyAs::FloatingPoint:
            setFloatingPoint(source, buffer, route);
            break;
        }
        return QString();
    } catch (const RefusedValueError& e) {
        return e.reason();
    } catch (const Error& e) {
        return e.message();
    }
}

// True when the column's value of the current row is '' and Oracle stores it as NULL.
bool isEmptyStringStoredAsNull(const PrefetchedRows& source, const OracleInsertBuffer& buffer,
                               const ColumnRoute& route)
{
    if (!route.text)
        return false;
    if (takeOf(route) == PrefetchedRows::Take::Bytes) {
        const QByteArrayView bytes = source.bytesAt(route.source);
        if (bytes.isNull() || !bytes.isEmpty())
            return false;
    } else {
        const Value value = source.valueAt(route.source);
        if (value.kind() != Value::Kind::Text || !value.toText().isEmpty())
            return false;
    }
    return buffer.isNullInRow(route.target);
}

// A key value as a row's name shows it: numbers as they are, text quoted, bytes in hexadecimal
// (0x...), long values cut.
QString shownKeyValue(const Value& value)
{
    if (value.isNull())
        return QStringLiteral("NULL");
    QString text = value.toText();
    if (text.size() > kShownKeyLength)
        text = text.left(kShownKeyLength) + QStringLiteral("...");
    if (value.kind() == Value::Kind::Bytes)
        return QStringLiteral("0x") + text;
    return nameForLog(value.kind() == Value::Kind::Text ? u'\'' + text + u'\'' : text);
}

// Names a source row: by its primary-key values, or by its place in the reading order. The key
// values of the rows posted since the last apply are remembered, so that a row Oracle refuses when
// the batch is applied can be named too; memory stays bounded by the batch.
class RowNamer {
public:
    RowNamer(const MySqlQuery& source, const QStringList& keyColumns)
    {
        for (const QString& column : keyColumns) {
            const int pos = source.fieldIndex(column);
            if (pos < 0) {
                keys_.clear();
                break;
            }
            keys_.push_back({pos, source.fieldName(pos)});
        }
    }
    QString nameOf(const PrefetchedRows& rows, const std::vector<ColumnRoute>& routes, qint64 rowNumber) const
    {
        std::vector<Value> values;
        for (const Key& key : keys_)
            values.push_back(keyValue(rows, routes[key.pos]));
        return nameFrom(values.data(), rowNumber);
    }

    // The rows after `rowsApplied` form the next batch.
    void startBatch(qint64 rowsApplied)
    {
        batchStart_ = rowsApplied;
        batchKeys_.clear();
    }
    // Remembers the current row's key values as the batch's next row.
    void remember(const PrefetchedRows& rows, const std::vector<ColumnRoute>& routes)
    {
        for (const Key& key : keys_)
            batchKeys_.push_back(keyValue(rows, routes[key.pos]));
    }
    // The name of the batch's row at `batchRow` (0: its first), or an empty text when unknown.
    QString nameOfBatchRow(qsizetype batchRow) const
    {
        if (batchRow < 0)
            return QString();
        const std::size_t first = static_cast<std::size_t>(batchRow) * keys_.size();
        if (first + keys_.size() > batchKeys_.size())
            return QString();
        return nameFrom(batchKeys_.data() + first, batchStart_ + batchRow + 1);
    }

private:
    struct Key {
        int pos;
        QString name;
    };

    // A key column handed over as bytes is text or a number as the server wrote it.
    static Value keyValue(const PrefetchedRows& rows, const ColumnRoute& route)
    {
        if (takeOf(route) == PrefetchedRows::Take::Value)
            return rows.valueAt(route.source);
        const QByteArrayView bytes = rows.bytesAt(route.source);
        if (bytes.isNull())
            return Value::null();
        if (route.text)
            return Value::fromText(QString::fromUtf8(bytes));
        return Value::fromDecimal(QString::fromLatin1(bytes));
    }

    QString nameFrom(const Value* values, qint64 rowNumber) const
    {
        if (keys_.empty())
            return QStringLiteral("Row %1 (no primary key; counted in reading order)").arg(rowNumber);
        QStringList parts;
        for (std::size_t i = 0; i < keys_.size(); ++i)
            parts << nameForLog(keys_[i].name) + u'=' + shownKeyValue(values[i]);
        return QStringLiteral("Row ") + parts.join(QStringLiteral(", "));
    }

    std::vector<Key> keys_;
    qint64 batchStart_ = 0;
    std::vector<Value> batchKeys_;  // keys_.size() values per row of the batch
};

// Applies the posted rows; a row Oracle refuses ends the copy with Oracle's message and the row.
void applyBatch(OracleInsertBuffer& buffer, const RowNamer& rowNamer)
{
    try {
        buffer.applyUpdates();
    } catch (const RejectedRowError& e) {
        const QString row = rowNamer.nameOfBatchRow(e.batchRow());
        if (row.isEmpty())
            throw;
        throw Error(QStringLiteral("%1 at %2").arg(e.message(), row));
    }
}

QString logColumnName(const OracleInsertBuffer& buffer, const ColumnRoute& route)
{
    return nameForLog(route.target >= 0 ? buffer.columnName(route.target) : route.targetName);
}

// The lines after the copy: failures beyond those named, and '' stored as NULL, per column.
void appendColumnSummaries(const std::vector<ColumnRoute>& routes, const OracleInsertBuffer& buffer,
                           ProgressLine& progress)
{
    for (const ColumnRoute& route : routes) {
        if (route.failures > kNamedFailuresPerColumn)
            progress.insertAbove(QStringLiteral("Column %1: %2 values could not be copied; the first %3 are named above")
                                     .arg(logColumnName(buffer, route), QString::number(route.failures),
                                          QString::number(kNamedFailuresPerColumn)));
        if (route.emptyStrings > 0)
            progress.insertAbove(QStringLiteral("Column %1: %2 empty string%3 stored as NULL (Oracle has no empty string)")
                                     .arg(logColumnName(buffer, route), QString::number(route.emptyStrings),
                                          route.emptyStrings == 1 ? QString() : QStringLiteral("s")));
    }
}

void reopen(OracleInsertBuffer& buffer, std::vector<ColumnRoute>& routes)
{
    buffer.close();
    buffer.open();
    findTargets(routes, buffer);
}

bool isIntermediateApplyRow(int rowCount)
{
    return rowCount % kBatchSize == kFirstBatchSize;
}

}  // namespace

Value truthNumber(const Value& value)
{
    switch (value.kind()) {
    case Value::Kind::Bool:
        return Value::fromInt(value.asBool() ? 1 : 0);
    case Value::Kind::Int:
        return Value::fromInt(value.asInt() != 0 ? 1 : 0);
    case Value::Kind::UInt:
        return Value::fromInt(value.asUInt() != 0 ? 1 : 0);
    case Value::Kind::Null:
        return value;
    default:
        throw Error(QStringLiteral("'%1' is not a truth value").arg(value.toText()));
    }
}

CopiedRows copyRows(MySqlConnection& data, OracleInsertBuffer& buffer, const QString& mysqlName,
                    const QString& oracleName, RunLog& log, const CopyHooks& hooks)
{
    CopiedRows result;
    ProgressLine progress(log, oracleName);
    try {
        int rowCount = 0;
        const CopySource plan = prepareCopySource(data, mysqlName);
        const QString charsetWarning =
            connectionCharacterSetWarning(data.characterSetName(), mysqlName, plan.textColumns);
        if (!charsetWarning.isEmpty())
            progress.insertAbove(charsetWarning);
        MySqlQuery source(data);
        source.open(plan.select);

        const QString shape =
            QStringLiteral("select * from ") + oracleQuotedName(oracleName, QStringLiteral("table")) + QStringLiteral(" where 1=0");
        buffer.close();
        buffer.setCommandText(shape);
        buffer.open();
        std::vector<ColumnRoute> routes = sourceColumns(source, plan, buffer.maxIdentifierBytes());
        findTargets(routes, buffer);
        RowNamer rowNamer(source, plan.keyColumns);

        // The next batch is read and its values built while this one is converted and written.
        PrefetchedRows rows(source, takesOf(routes));
        rows.setStopWaiting([&hooks] {
            if (hooks.letEventsThroughWhileWaiting)
                hooks.letEventsThroughWhileWaiting();
            return hooks.stopRequested && hooks.stopRequested();
        });
        while (!rows.atEnd()) {
            buffer.append();
            ++rowCount;
            for (ColumnRoute& route : routes) {
                const QString failure = copyColumn(rows, buffer, route);
                if (failure.isEmpty()) {
                    route.emptyStrings += isEmptyStringStoredAsNull(rows, buffer, route) ? 1 : 0;
                    continue;
                }
                progress.insertAbove(route.failureLine);
                result.columnFailures << route.failureLine;
                if (++route.failures <= kNamedFailuresPerColumn)
                    progress.insertAbove(QStringLiteral("%1, column %2: %3")
                                             .arg(rowNamer.nameOf(rows, routes, rowCount),
                                                  logColumnName(buffer, route), failure));
            }
            rowNamer.remember(rows, routes);
            buffer.post();
            // The check point comes before the next row is asked for: a source that is slow to
            // give it must not hold back the progress and the stop test of the rows already read.
            if (rowCount % kProgressInterval != 0) {
                rows.next();
                continue;
            }
            if (isIntermediateApplyRow(rowCount)) {
                applyBatch(buffer, rowNamer);
                rowNamer.startBatch(rowCount);
                reopen(buffer, routes);
            }
            progress.show(rowCount);
            if (hooks.rowsCopied)
                hooks.rowsCopied(rowCount);
            if (hooks.letEventsThrough)
                hooks.letEventsThrough();
            if (hooks.stopRequested && hooks.stopRequested()) {
                result.stopped = true;
                break;
            }
            rows.next();
        }
        if (rows.stoppedWaiting()) {  // a stop while the source was slow to give rows
            result.stopped = true;
            progress.show(rowCount);
        }
        if (result.stopped) {
            // Closing the source would otherwise read every row the server has not sent yet (the
            // reading thread may be stuck in it), which holds a stop for as long as the rest of a
            // big or slow table takes.
            data.cancelRunningStatement();
        } else {
            applyBatch(buffer, rowNamer);
            rows.stop();
            source.close();
            appendColumnSummaries(routes, buffer, progress);
            progress.show(rowCount);
            if (hooks.rowsCopied)
                hooks.rowsCopied(rowCount);
        }
    } catch (...) {
        // Rows of an unfinished batch that were sent early must not be committed by a later
        // statement on the connection.
        buffer.close();
        throw;
    }
    if (result.stopped)
        buffer.close();
    return result;
}

}  // namespace dovrelle
