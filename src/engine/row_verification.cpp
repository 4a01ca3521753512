#include "engine/row_verification.h"

#include "engine/canonical_value.h"
#include "engine/content_hash.h"
#include "engine/log_names.h"
#include "engine/logged_step.h"
#include "engine/name_rules.h"
#include "engine/run_log.h"
#include "engine/verification_source.h"

#include "db/error.h"
#include "db/mysql_connection.h"
#include "db/mysql_query.h"
#include "db/oracle_connection.h"
#include "db/oracle_row_reader.h"
#include "db/utf8_text.h"

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
    // MySQL's values that Oracle holds as NULL by the documented rules, counted on the MySQL side.
    qint64 emptyStrings = 0;
    qint64 zeroDates = 0;
    qint64 bytesNotText = 0;  // Convert BLOB to text: bytes that are no UTF-8 text

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
    SourceColumnForm column;
};

// Oracle columns that take a FLOAT or DOUBLE are compared by binary value on both sides.
enum class BinaryNumber { No, Single, Double };

// One value hasher per Oracle column, reused from row to row.
std::vector<CanonicalValueHash> hashersOf(const std::vector<OracleColumn>& columns)
{
    std::vector<CanonicalValueHash> hashers;
    hashers.reserve(columns.size());
    for (const OracleColumn& column : columns)
        hashers.emplace_back(column.kind, column.dataType == oci::SQLT_AFC);
    return hashers;
}

// The hash of a MySQL value that has no form in its Oracle column: it equals no hash of Oracle's.
std::uint64_t incomparableHash()
{
    return ContentHash::mix(CanonicalValueHash::nullHash() + 1);
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
                 const RowVerificationRequest& request, LoggedStep& step, const CopyHooks& hooks)
        : data_(data), oracle_(oracle), request_(request), log_(step.log()), hooks_(hooks),
          lineIndex_(step.headLine())
    {
    }

    bool run();

private:
    bool compareCounts();
    bool compareContent();
    TableChecksum readOracle(OracleRowReader& reader);
    TableChecksum readMySql(const std::vector<SourceRoute>& routes);
    TableChecksum awaitMySql(std::future<TableChecksum>& mysqlSide);
    std::vector<SourceRoute> routesOf(const QList<SourceColumnForm>& sourceColumns);
    std::uint64_t mysqlValueHash(const MySqlQuery& source, const SourceRoute& route,
                                 CanonicalValueHash& hash, TableChecksum& checksum);
    std::uint64_t hashThroughValue(const MySqlQuery& source, const SourceRoute& route,
                                   CanonicalValueHash& hash);
    qint64 mysqlRowCount();
    void pause(const char* side, qint64 rows);
    void keepResponsive(const char* side, qint64 rows);
    QString differingColumns(const TableChecksum& mysql, const TableChecksum& oracle) const;
    QString expectedNullsNote() const;
    static QString documentedNullsNote(const TableChecksum& mysql);
    void setLine(const QString& text);

    MySqlConnection& data_;
    OracleConnection& oracle_;
    const RowVerificationRequest& request_;
    RunLog& log_;
    const CopyHooks& hooks_;
    QString shownName_;  // the Oracle name as log lines show it
    int lineIndex_;
    std::vector<OracleColumn> columns_;
    std::vector<BinaryNumber> binaryNumbers_;  // per Oracle column
    int nameBytes_ = 0;  // the Oracle identifier limit, read before the MySQL side starts
    std::string bound_;  // a value as the copy binds it, reused from value to value
    std::atomic<bool> stopMySql_{false};     // set when the MySQL side's result is no longer wanted
    std::atomic<qint64> mysqlRowsRead_{0};   // the MySQL side's rows, every kProgressInterval rows
};

bool Verification::run()
{
    shownName_ = nameForLog(request_.oracleName);
    pause("", 0);
    return request_.merged ? compareCounts() : compareContent();
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
                    .arg(shownName_, QString::number(mysqlRows), scope));
        return true;
    }
    setLine(QStringLiteral("Verify table %1: MySQL %2 rows, Oracle %3 rows added to %4 earlier rows %5")
                .arg(shownName_, QString::number(mysqlRows), QString::number(added), QString::number(earlier),
                     scope));
    return false;
}

bool Verification::compareContent()
{
    OracleRowReader reader(oracle_, QStringLiteral("select * from ")
                                        + oracleQuotedName(request_.oracleName, QStringLiteral("table")));
    columns_ = reader.columns();
    nameBytes_ = oracle_.maxIdentifierBytes();
    // Read before the MySQL side starts: until then this thread may use the MySQL connection.
    const std::vector<SourceRoute> routes = routesOf(sourceColumnForms(data_, request_.mysqlName));
    // Both sides are read at once: MySQL on a thread of its own, the only user of the MySQL
    // connection meanwhile, and Oracle on this one, which alone shows progress, lets events through
    // and honours Stop. Whatever happens here, the guard tells the MySQL side to stop and the
    // future's destructor waits for it; an Oracle error is reported before a MySQL one, as when
    // the sides were read one after the other.
    std::future<TableChecksum> mysqlSide =
        std::async(std::launch::async, [this, &routes] { return readMySql(routes); });
    const auto stopMySql = qScopeGuard([this, &mysqlSide] {
        stopMySql_ = true;
        // A MySQL side still reading would otherwise read the rest of the table before it ends.
        if (mysqlSide.valid() && mysqlSide.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            data_.cancelRunningStatement();
    });
    const TableChecksum oracle = readOracle(reader);
    const TableChecksum mysql = awaitMySql(mysqlSide);
    const QString note = expectedNullsNote();
    if (mysql.rows != oracle.rows) {
        setLine(QStringLiteral("Verify table %1: MySQL %2 rows, Oracle %3 rows")
                    .arg(shownName_, QString::number(mysql.rows), QString::number(oracle.rows))
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
    setLine(QStringLiteral("Verify table %1 %2 Rows").arg(shownName_, QString::number(mysql.rows)) + documentedNullsNote(mysql)
            + QStringLiteral(" ...Done"));
    return true;
}

TableChecksum Verification::readOracle(OracleRowReader& reader)
{
    TableChecksum checksum(columns_.size());
    std::vector<std::uint64_t> hashes(columns_.size());
    std::vector<CanonicalValueHash> hashers = hashersOf(columns_);
    BinaryNumberBuffer numberText;
    while (reader.next()) {
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            const int column = static_cast<int>(c);
            hashes[c] = binaryNumbers_[c] != BinaryNumber::No && !reader.isLob(column)
                            ? hashers[c].hashOf(binaryNumberText(reader.value(column),
                                                                 binaryNumbers_[c] == BinaryNumber::Single,
                                                                 numberText))
                            : oracleValueHash(reader, column, hashers[c]);
        }
        checksum.addRow(hashes);
        pause("Oracle", checksum.rows);
    }
    return checksum;
}

TableChecksum Verification::readMySql(const std::vector<SourceRoute>& routes)
{
    QList<SourceColumnForm> read;
    for (const SourceRoute& route : routes)
        read.append(route.column);
    TableChecksum checksum(columns_.size());
    std::vector<std::uint64_t> hashes(columns_.size());
    std::vector<CanonicalValueHash> hashers = hashersOf(columns_);
    MySqlQuery source(data_);
    // With no column that reaches Oracle only the rows are counted.
    source.open(routes.empty() ? QStringLiteral("select 1 from ") + mysqlQuotedName(request_.mysqlName)
                               : sourceSelect(request_.mysqlName, read, data_.characterSetName()));
    for (; !source.atEnd(); source.next()) {
        // A column the copy did not fill is NULL in Oracle.
        std::fill(hashes.begin(), hashes.end(), CanonicalValueHash::nullHash());
        for (const SourceRoute& route : routes)
            hashes[route.target] = mysqlValueHash(source, route, hashers[route.target], checksum);
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

// The Oracle column each MySQL column was copied into, found as the insert buffer finds it. The
// routes stand in the order of the select list: route i reads field i.
std::vector<SourceRoute> Verification::routesOf(const QList<SourceColumnForm>& sourceColumns)
{
    QHash<QString, int> byName, byUpperName;
    for (int c = static_cast<int>(columns_.size()) - 1; c >= 0; --c) {  // the first name wins
        byName.insert(columns_[c].name, c);
        byUpperName.insert(columns_[c].name.toUpper(), c);
    }
    binaryNumbers_.assign(columns_.size(), BinaryNumber::No);
    std::vector<SourceRoute> routes;
    for (const SourceColumnForm& column : sourceColumns) {
        const QString name = cutToOracleLength(column.name, nameBytes_);
        const int target = byName.value(name, byUpperName.value(name.toUpper(), -1));
        if (target < 0)
            continue;  // the copy logged the column on every row; Oracle has nothing to compare
        routes.push_back({static_cast<int>(routes.size()), target, column});
        if (column.form == SourceForm::Single || column.form == SourceForm::Double)
            binaryNumbers_[target] = column.form == SourceForm::Single ? BinaryNumber::Single : BinaryNumber::Double;
    }
    return routes;
}

// The hash of MySQL's value as Oracle should hold it under the documented rules only: an empty
// string and a zero date are NULL in Oracle (counted), bytes for a CLOB must be UTF-8 text.
std::uint64_t Verification::mysqlValueHash(const MySqlQuery& source, const SourceRoute& route,
                                           CanonicalValueHash& hash, TableChecksum& checksum)
{
    const QByteArrayView bytes = source.bytesAt(route.source);
    if (bytes.isNull())
        return CanonicalValueHash::nullHash();
    const OracleBindKind kind = columns_[route.target].kind;
    const bool takesText = kind == OracleBindKind::Text || kind == OracleBindKind::Clob;
    const bool takesBytes = kind == OracleBindKind::Raw || kind == OracleBindKind::Blob;
    switch (route.column.form) {
    case SourceForm::Single:
    case SourceForm::Double:
    {
        BinaryNumberBuffer numberText;
        return hash.hashOf(binaryNumberText(bytes, route.column.form == SourceForm::Single, numberText));
    }
    case SourceForm::Decimal:
        if (kind == OracleBindKind::Number || takesText)
            return hash.hashOf(bytes);
        break;
    case SourceForm::Text:
    case SourceForm::Bytes:
        if (bytes.isEmpty()) {
            ++checksum.emptyStrings;
            return CanonicalValueHash::nullHash();
        }
        if (route.column.form == SourceForm::Bytes && takesText && !isValidUtf8(bytes)) {
            ++checksum.bytesNotText;
            return CanonicalValueHash::nullHash();
        }
        if (takesText || takesBytes)
            return hash.hashOf(bytes);
        break;
    case SourceForm::Temporal: {
        if (route.column.hasDate && isZeroDate(bytes)) {
            ++checksum.zeroDates;
            return CanonicalValueHash::nullHash();
        }
        const QByteArray text = temporalAsOracle(bytes, route.column.isTime, kind);
        if (text.isEmpty())
            return incomparableHash();
        // A DATE's hasher reads Oracle's OCIDate bytes; the text is in the form it hashes them as.
        return kind == OracleBindKind::Date ? ContentHash::of(text) : hash.hashOf(text);
    }
    }
    return hashThroughValue(source, route, hash);
}

// The rarer pairings (a number into a DATE ...): MySQL's value as the client layer reads it, in the
// form the Oracle column binds. A value that has no such form differs from whatever Oracle holds.
std::uint64_t Verification::hashThroughValue(const MySqlQuery& source, const SourceRoute& route,
                                             CanonicalValueHash& hash)
{
    bound_.clear();
    try {
        if (!convertForOracle(source.valueAt(route.source), columns_[route.target].kind, bound_))
            return CanonicalValueHash::nullHash();
    } catch (const Error&) {
        return incomparableHash();
    }
    return hash.hashOf(QByteArrayView(bound_.data(), static_cast<qsizetype>(bound_.size())));
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
                    .arg(shownName_, QLatin1String(side), QString::number(rows)));
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

// ", 3 empty strings and 30 zero dates stored as NULL": what Oracle holds as NULL by its rules.
QString Verification::documentedNullsNote(const TableChecksum& mysql)
{
    QStringList parts;
    const auto count = [&parts](qint64 n, const char* one, const char* many) {
        if (n > 0)
            parts.append(QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many)));
    };
    count(mysql.emptyStrings, "empty string", "empty strings");
    count(mysql.zeroDates, "zero date", "zero dates");
    count(mysql.bytesNotText, "blob value that is no text", "blob values that are no text");
    if (parts.isEmpty())
        return {};
    const QString last = parts.takeLast();
    return QStringLiteral(", ") + (parts.isEmpty() ? last : parts.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last)
        + QStringLiteral(" stored as NULL");
}

void Verification::setLine(const QString& text)
{
    log_.replaceLine(lineIndex_, text);
}

}  // namespace

void verifyCopiedRows(MySqlConnection& data, OracleConnection& oracle, const RowVerificationRequest& request,
                      LoggedStep& step, const CopyHooks& hooks)
{
    step.keepHeadAsWritten();
    if (!Verification(data, oracle, request, step, hooks).run())
        step.failSilently();
}

bool verifyCopiedRows(MySqlConnection& data, OracleConnection& oracle,
                      const RowVerificationRequest& request, RunLog& log, const CopyHooks& hooks)
{
    const QString shownName = nameForLog(request.oracleName);
    StepRunner steps(log, {});
    return steps.run(shownName, QStringLiteral("Verify table ") + shownName + QStringLiteral("..."),
                     [&](LoggedStep& step) { verifyCopiedRows(data, oracle, request, step, hooks); });
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
