#include "engine/row_copy.h"

#include "engine/log_names.h"
#include "engine/name_rules.h"
#include "engine/prefetched_rows.h"
#include "engine/row_copy_progress.h"
#include "engine/run_log.h"
#include "engine/source_transfer.h"

#include "db/error.h"
#include "db/mysql_query.h"
#include "db/oracle_insert_buffer.h"

#include <vector>

namespace dovrelle {

namespace {

constexpr int kProgressInterval = 100;  // rows between progress updates, event delivery, stop test
constexpr int kBatchSize = 5000;        // rows per intermediate apply after the first one
constexpr int kFirstBatchSize = 100;

// Where one source column goes in the insert buffer.
struct ColumnRoute {
    int source = 0;
    QString targetName;   // the source name cut as the CREATE TABLE cut it
    int target = -1;      // column of the insert buffer; -1 when it has none of that name
    Transfer transfer = Transfer::AsValue;
    QString failureLine;  // "name:TypeTag"
};

std::vector<ColumnRoute> sourceColumns(const MySqlQuery& source, int nameBytes)
{
    std::vector<ColumnRoute> routes;
    for (int pos = 0; pos < source.fieldCount(); ++pos) {
        ColumnRoute route;
        route.source = pos;
        route.targetName = cutToOracleLength(source.fieldName(pos), nameBytes);
        route.transfer = transferOf(source, pos);
        route.failureLine = nameForLog(source.fieldName(pos)) + u':' + source.typeTag(pos);
        routes.push_back(std::move(route));
    }
    return routes;
}

// Looks the target columns up again; called whenever the insert buffer has been (re)opened.
void findTargets(std::vector<ColumnRoute>& routes, const OracleInsertBuffer& buffer)
{
    for (ColumnRoute& route : routes)
        route.target = buffer.columnIndex(route.targetName);
}

// Copies one column of the current source row; a column that cannot be copied stays NULL and
// leaves a line naming it in the log. False when it could not be copied.
bool copyColumn(const PrefetchedRows& source, OracleInsertBuffer& buffer, const ColumnRoute& route)
{
    if (route.target < 0)
        return false;
    try {
        switch (route.transfer) {
        case Transfer::AsValue:
            buffer.setValue(route.target, source.valueAt(route.source));
            break;
        case Transfer::AsTruthNumber:
            buffer.setValue(route.target, truthNumber(source.valueAt(route.source)));
            break;
        case Transfer::AsUtf8Text:
            buffer.setUtf8Text(route.target, source.bytesAt(route.source));
            break;
        case Transfer::AsDecimalText:
            buffer.setDecimalText(route.target, source.bytesAt(route.source));
            break;
        }
        return true;
    } catch (const Error&) {
        return false;
    }
}

// What the copy takes of each source column: bytes for those it hands on as the server sent them.
std::vector<PrefetchedRows::Take> takesOf(const std::vector<ColumnRoute>& routes)
{
    std::vector<PrefetchedRows::Take> takes;
    for (const ColumnRoute& route : routes) {
        switch (route.transfer) {
        case Transfer::AsValue:
        case Transfer::AsTruthNumber:
            takes.push_back(PrefetchedRows::Take::Value);
            break;
        case Transfer::AsUtf8Text:
        case Transfer::AsDecimalText:
            takes.push_back(PrefetchedRows::Take::Bytes);
            break;
        }
    }
    return takes;
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

CopyResult copyRows(MySqlConnection& data, OracleInsertBuffer& buffer, const QString& mysqlName,
                    const QString& oracleName, RunLog& log, const CopyHooks& hooks)
{
    CopyResult result;
    ProgressLine progress(log, oracleName);
    try {
        int rowCount = 0;
        MySqlQuery source(data);
        source.open(QStringLiteral("select * from ") + mysqlQuotedName(mysqlName));

        const QString problem = oracleIdentifierProblem(oracleName, QStringLiteral("table"));
        if (!problem.isEmpty())
            throw Error(problem);
        buffer.close();
        buffer.setCommandText(QStringLiteral("select * from \"") + oracleName
                              + QStringLiteral("\" where 1=0"));
        buffer.open();
        std::vector<ColumnRoute> routes = sourceColumns(source, buffer.maxIdentifierBytes());
        findTargets(routes, buffer);

        // The next batch is read and its values built while this one is converted and written.
        PrefetchedRows rows(source, takesOf(routes));
        while (!rows.atEnd()) {
            buffer.append();
            ++rowCount;
            for (const ColumnRoute& route : routes) {
                if (!copyColumn(rows, buffer, route)) {
                    progress.insertAbove(route.failureLine);
                    result.columnFailures << route.failureLine;
                }
            }
            buffer.post();
            rows.next();
            if (rowCount % kProgressInterval != 0)
                continue;
            if (isIntermediateApplyRow(rowCount)) {
                buffer.applyUpdates();  // a refused row throws RejectedRowError
                reopen(buffer, routes);
            }
            progress.show(rowCount);
            if (hooks.rowsCopied)
                hooks.rowsCopied(rowCount);
            if (hooks.letEventsThrough)
                hooks.letEventsThrough();
            if (hooks.stopRequested && hooks.stopRequested()) {
                result.outcome = CopyResult::Outcome::Stopped;
                break;
            }
        }
        if (result.outcome == CopyResult::Outcome::Copied) {
            buffer.applyUpdates();
            rows.stop();
            source.close();
            progress.show(rowCount);
            if (hooks.rowsCopied)
                hooks.rowsCopied(rowCount);
        }
    } catch (const Error& e) {
        result.outcome = CopyResult::Outcome::Failed;
        result.error = e.message();
    } catch (const std::exception& e) {
        result.outcome = CopyResult::Outcome::Failed;
        result.error = QString::fromLocal8Bit(e.what());
    }
    // Rows of an unfinished batch that were sent early must not be committed by a later
    // statement on the connection.
    if (result.outcome != CopyResult::Outcome::Copied)
        buffer.close();
    return result;
}

}  // namespace dovrelle
