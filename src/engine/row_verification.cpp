#include "engine/row_verification.h"

#include "engine/canonical_value.h"
#include "engine/content_hash.h"
#include "engine/log_names.h"
#include "engine/name_rules.h"
#include "engine/run_log.h"
#include "engine/source_transfer.h"

#include "db/error.h"
#include "db/mysql_query.h"
#include "db/oracle_connection.h"
#include "db/oracle_row_reader.h"

#include <QHash>
#include <QScopeGuard>

#include <atomic>
#include <chrono>
#include <future>
#include <limits>
#include <string>
#include <vector>

namespace dovrelle {

namespace {

constexpr int kProgressInterval = 100;  // rows between progress updates, event delivery, stop test

// The order-independent checksum of one side of a table.
struct TableChecksum {
    qint64 rows = 0;
    std::vector<std::uint64_t> columnSums;  // sum of the value hashes of each Oracle column
    std::uint64_t rowSum = 0;               // sum of the row hashes: catches values paired anew

    explicit TableChecksum(std::size_t columnCount) : columnSums(columnCount, 0) {}

    void addRow(const std::vector<std::uint64_t>& valueHashes)
    {
        std::uint64_t rowHash = 0;
        for (std::size_t c = 0; c < valueHashes.size(); ++c) {
            columnSums[c] += valueHashes[c];
            rowHash = ContentHash::mix(rowHash ^ valueHashes[c]);
        }
        rowSum += rowHash;
        ++rows;
    }
};

// Where one MySQL column's values go: the Oracle column of the copy's name rule, if any.
struct SourceRoute {
    int source = 0;
    int target = -1;
    Transfer transfer = Transfer::AsValue;
};

// One value hasher per Oracle column, reused from row to row.
std::vector<CanonicalValueHash> hashersOf(const std::vector<OracleColumn>& columns)
{
    std::vector<CanonicalValueHash> hashers;
    hashers.reserve(columns.size());
    for (const OracleColumn& column : columns)
        hashers.emplace_back(column.kind, column.dataType == oci::SQLT_AFC);
    return hashers;
}

std::uint64_t oracleValueHash(OracleRowReader& reader, int column, CanonicalValueHash& hash)
{
    if (!reader.isLob(column))
        return hash.hashOf(reader.value(column));
    reader.read(column, [&hash](QByteArrayView piece) { hash.add(piece); });
    return hash.finish();
}

class Verification {
public:
    Verification(MySqlConnection& data, OracleConnection& oracle,
                 const RowVerificationRequest& request, RunLog& log, const CopyHooks& hooks)
        : data_(data), oracle_(oracle), request_(request), log_(log), hooks_(hooks)
    {
    }

    bool run();

private:
    bool compareCounts();
    bool compareContent();
    TableChecksum readOracle(OracleRowReader& reader);
    TableChecksum readMySql();
    TableChecksum awaitMySql(std::future<TableChecksum>& mysqlSide);
    std::vector<SourceRoute> routesOf(const MySqlQuery& source) const;
    std::uint64_t mysqlValueHash(const MySqlQuery& source, const SourceRoute& route,
                                 CanonicalValueHash& hash);
    bool convertSourceValue(const MySqlQuery& source, const SourceRoute& route);
    qint64 mysqlRowCount();
    void pause(const char* side, qint64 rows);
    void keepResponsive(const char* side, qint64 rows);
    QString differingColumns(const TableChecksum& mysql, const TableChecksum& oracle) const;
    QString expectedNullsNote() const;
    void setLine(const QString& text);

    MySqlConnection& data_;
    OracleConnection& oracle_;
    const RowVerificationRequest& request_;
    RunLog& log_;
    const CopyHooks& hooks_;
    QString shownName_;  // the Oracle name as log lines show it
    int lineIndex_ = 0;
    std::vector<OracleColumn> columns_;
    int nameBytes_ = 0;  // the Oracle identifier limit, read before the MySQL side starts
    std::string bound_;  // a value as the copy binds it, reused from value to value
    std::atomic<bool> stopMySql_{false};     // set when the MySQL side's result is no longer wanted
    std::atomic<qint64> mysqlRowsRead_{0};   // the MySQL side's rows, every kProgressInterval rows
};

bool Verification::run()
{
    shownName_ = nameForLog(request_.oracleName);
    log_.append(QStringLiteral("Verify table ") + shownName_ + QStringLiteral("... "));
    lineIndex_ = log_.lineCount() - 1;
    bool agree = false;
    try {
        pause("", 0);
        agree = request_.merged ? compareCounts() : compareContent();
    } catch (const Error& e) {
        log_.append(e.message());
    } catch (const std::exception& e) {
        log_.append(QString::fromLocal8Bit(e.what()));
    }
    log_.append(QString());
    return agree;
}

bool Verification::compareCounts()
{
    if (!request_.earlierCountError.isEmpty())
        throw Error(request_.earlierCountError);
    const qint64 mysqlRows = mysqlRowCount();
    const qint64 earlier = request_.earlierOracleRows;
    const qint64 added = oracleRowCount(oracle_, request_.oracleName) - earlier;
    const QString scope = QStringLiteral("(Merge: rows counted only)");
    if (added == mysqlRows) {
        setLine(QStringLiteral("Verify table %1 %2 Rows %3 ...Done")
                    .arg(shownName_)
                    .arg(mysqlRows)
                    .arg(scope));
        return true;
    }
    setLine(QStringLiteral("Verify table %1: MySQL %2 rows, Oracle %3 rows added to %4 earlier rows %5")
                .arg(shownName_)
                .arg(mysqlRows)
                .arg(added)
                .arg(earlier)
                .arg(scope));
    return false;
}

bool Verification::compareContent()
{
    OracleRowReader reader(oracle_, QStringLiteral("select * from ")
                                        + oracleQuotedName(request_.oracleName, QStringLiteral("table")));
    columns_ = reader.columns();
    nameBytes_ = oracle_.maxIdentifierBytes();
    // Both sides are read at once: MySQL on a thread of its own, the only user of the MySQL
    // connection meanwhile, and Oracle on this one, which alone shows progress, lets events through
    // and honours Stop. Whatever happens here, the guard tells the MySQL side to stop and the
    // future's destructor waits for it; an Oracle error is reported before a MySQL one, as when
    // the sides were read one after the other.
    std::future<TableChecksum> mysqlSide = std::async(std::launch::async, [this] { return readMySql(); });
    const auto stopMySql = qScopeGuard([this] { stopMySql_ = true; });
    const TableChecksum oracle = readOracle(reader);
    const TableChecksum mysql = awaitMySql(mysqlSide);
    const QString note = expectedNullsNote();
    if (mysql.rows != oracle.rows) {
        setLine(QStringLiteral("Verify table %1: MySQL %2 rows, Oracle %3 rows")
                    .arg(shownName_)
                    .arg(mysql.rows)
                    .arg(oracle.rows)
                + note);
        return false;
    }
    const QString columns = differingColumns(mysql, oracle);
    if (!columns.isEmpty()) {
        setLine(QStringLiteral("Verify table %1: content differs in %2").arg(shownName_, columns)
                + note);
        return false;
    }
    if (mysql.rowSum != oracle.rowSum) {
        setLine(QStringLiteral("Verify table %1: content differs: the same values stand in other rows")
                    .arg(shownName_)
                + note);
        return false;
    }
    setLine(QStringLiteral("Verify table %1 %2 Rows").arg(shownName_).arg(mysql.rows) + note
            + QStringLiteral(" ...Done"));
    return true;
}

TableChecksum Verification::readOracle(OracleRowReader& reader)
{
    TableChecksum checksum(columns_.size());
    std::vector<std::uint64_t> hashes(columns_.size());
    std::vector<CanonicalValueHash> hashers = hashersOf(columns_);
    while (reader.next()) {
        for (std::size_t c = 0; c < columns_.size(); ++c)
            hashes[c] = oracleValueHash(reader, static_cast<int>(c), hashers[c]);
        checksum.addRow(hashes);
        pause("Oracle", checksum.rows);
    }
    return checksum;
}

TableChecksum Verification::readMySql()
{
    MySqlQuery source(data_);
    source.open(QStringLiteral("select * from ") + mysqlQuotedName(request_.mysqlName));
    const std::vector<SourceRoute> routes = routesOf(source);
    TableChecksum checksum(columns_.size());
    std::vector<std::uint64_t> hashes(columns_.size());
    std::vector<CanonicalValueHash> hashers = hashersOf(columns_);
    for (; !source.atEnd(); source.next()) {
        // A column the copy did not fill is NULL in Oracle.
        std::fill(hashes.begin(), hashes.end(), CanonicalValueHash::nullHash());
        for (const SourceRoute& route : routes)
            hashes[route.target] = mysqlValueHash(source, route, hashers[route.target]);
        checksum.addRow(hashes);
        if (checksum.rows % kProgressInterval == 0) {
            mysqlRowsRead_ = checksum.rows;
            if (stopMySql_)
                break;
        }
    }
    source.close();
    return checksum;
}

// Shows the MySQL side's progress until it has read every row; rethrows its error.
TableChecksum Verification::awaitMySql(std::future<TableChecksum>& mysqlSide)
{
    using namespace std::chrono_literals;
    while (mysqlSide.wait_for(20ms) != std::future_status::ready)
        keepResponsive("MySQL", mysqlRowsRead_);
    return mysqlSide.get();
}

// The Oracle column each MySQL column was copied into, found as the insert buffer finds it.
std::vector<SourceRoute> Verification::routesOf(const MySqlQuery& source) const
{
    QHash<QString, int> byName, byUpperName;
    for (int c = static_cast<int>(columns_.size()) - 1; c >= 0; --c) {  // the first name wins
        byName.insert(columns_[c].name, c);
        byUpperName.insert(columns_[c].name.toUpper(), c);
    }
    const int nameBytes = nameBytes_;
    std::vector<SourceRoute> routes;
    for (int pos = 0; pos < source.fieldCount(); ++pos) {
        const QString name = cutToOracleLength(source.fieldName(pos), nameBytes);
        const int target = byName.value(name, byUpperName.value(name.toUpper(), -1));
        if (target < 0)
            continue;  // the copy logged the column on every row; Oracle has nothing to compare
        routes.push_back({pos, target, transferOf(source, pos)});
    }
    return routes;
}

// The hash of the value as the copy sent it; a value the copy could not convert was left NULL
// (and counted among the copy's column failures).
std::uint64_t Verification::mysqlValueHash(const MySqlQuery& source, const SourceRoute& route,
                                           CanonicalValueHash& hash)
{
    bound_.clear();
    try {
        if (!convertSourceValue(source, route))
            return CanonicalValueHash::nullHash();
        if (bound_.size() > std::numeric_limits<ub4>::max())
            throw Error(QStringLiteral("the value is larger than 4 GB"));
    } catch (const Error&) {
        return CanonicalValueHash::nullHash();
    }
    return hash.hashOf(QByteArrayView(bound_.data(), static_cast<qsizetype>(bound_.size())));
}

// Converts the current row's value of the route's column into bound_; false for NULL.
bool Verification::convertSourceValue(const MySqlQuery& source, const SourceRoute& route)
{
    const OracleBindKind kind = columns_[route.target].kind;
    switch (route.transfer) {
    case Transfer::AsUtf8Text:
        return convertUtf8TextForOracle(source.bytesAt(route.source), kind, bound_);
    case Transfer::AsDecimalText:
        return convertDecimalTextForOracle(source.bytesAt(route.source), kind, bound_);
    case Transfer::AsTruthNumber:
        return convertForOracle(truthNumber(source.valueAt(route.source)), kind, bound_);
    case Transfer::AsValue:
        break;
    }
    return convertForOracle(source.valueAt(route.source), kind, bound_);
}

qint64 Verification::mysqlRowCount()
{
    MySqlQuery query(data_);
    query.open(QStringLiteral("select count(*) from ") + mysqlQuotedName(request_.mysqlName));
    const qint64 rows = query.intAt(0);
    query.close();
    return rows;
}

// Every 100 rows (and once before reading): the progress line, pending events and a stop request.
void Verification::pause(const char* side, qint64 rows)
{
    if (rows % kProgressInterval == 0)
        keepResponsive(side, rows);
}

void Verification::keepResponsive(const char* side, qint64 rows)
{
    if (rows > 0)
        setLine(QStringLiteral("Verify table %1 %2 %3 Rows ")
                    .arg(shownName_, QLatin1String(side))
                    .arg(rows));
    if (hooks_.letEventsThrough)
        hooks_.letEventsThrough();
    if (hooks_.stopRequested && hooks_.stopRequested())
        throw Error(QStringLiteral("Operation aborted"));
}

QString Verification::differingColumns(const TableChecksum& mysql, const TableChecksum& oracle) const
{
    QStringList names;
    for (std::size_t c = 0; c < columns_.size(); ++c)
        if (mysql.columnSums[c] != oracle.columnSums[c])
            names.append(columns_[c].name);
    if (names.isEmpty())
        return {};
    return (names.size() == 1 ? QStringLiteral("column ") : QStringLiteral("columns "))
        + names.join(QStringLiteral(", "));
}

QString Verification::expectedNullsNote() const
{
    const qint64 count = request_.expectedNulls;
    if (count == 0)
        return {};
    return QStringLiteral(", %1 %2 NULL as the copy logged")
        .arg(count)
        .arg(count == 1 ? QStringLiteral("value") : QStringLiteral("values"));
}

void Verification::setLine(const QString& text)
{
    log_.replaceLine(lineIndex_, text);
}

}  // namespace

bool verifyCopiedRows(MySqlConnection& data, OracleConnection& oracle,
                      const RowVerificationRequest& request, RunLog& log, const CopyHooks& hooks)
{
    return Verification(data, oracle, request, log, hooks).run();
}

RowVerificationRequest prepareRowVerification(OracleConnection& oracle, const QString& mysqlName,
                                              const QString& oracleName, bool mergingIntoExisting)
{
    RowVerificationRequest request;
    request.mysqlName = mysqlName;
    request.oracleName = oracleName;
    request.merged = mergingIntoExisting;
    if (!mergingIntoExisting)
        return request;
    try {
        request.earlierOracleRows = oracleRowCount(oracle, oracleName);
    } catch (const Error& e) {
        request.earlierCountError = e.message();
    }
    return request;
}

qint64 oracleRowCount(OracleConnection& oracle, const QString& oracleName)
{
    return oracle.queryInteger(QStringLiteral("select count(*) from ")
                               + oracleQuotedName(oracleName, QStringLiteral("table")));
}

}  // namespace dovrelle
