#include "db/oracle_insert_buffer.h"

#include "db/error.h"
#include "db/oci_error.h"
#include "db/oci_handle.h"
#include "db/oracle_array_bind.h"
#include "db/oracle_column.h"
#include "db/oracle_describe.h"
#include "db/oracle_name.h"
#include "db/oracle_connection.h"
#include "db/oracle_row_store.h"
#include "db/oracle_session.h"

#include <QHash>
#include <QRegularExpression>

#include <limits>
#include <optional>

namespace dovrelle {

namespace {

constexpr std::size_t defaultBatchByteLimit = 32 * 1024 * 1024;
// The bind arrays of one execute are a copy of its rows laid out in slots: a smaller run keeps
// that copy small beside the buffered rows (a single row is bound without a copy).
constexpr std::size_t largestBindCopy = 16 * 1024 * 1024;

// The table named by "select * from "T" where ...": a quoted name as written, an unquoted one
// upper-cased as Oracle reads it.
QString tableOfSelect(const QString& select)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"re(^\s*select\s+\*\s+from\s+(?:"([^"]+)"|([A-Za-z][A-Za-z0-9_$#]*))(\s|$))re"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(select);
    if (!match.hasMatch())
        throw Error(QStringLiteral("The insert buffer cannot tell the table of the statement: %1")
                        .arg(select));
    return match.hasCaptured(1) ? match.captured(1) : match.captured(2).toUpper();
}

QString quoted(const QString& name)
{
    return oracleQuotedName(name, QStringLiteral("object"));
}

std::vector<OracleColumn> describeSelect(OracleConnection::Session& session, const QString& sql)
{
    const bool utf8Database = session.databaseCharacterSet.isEmpty()
        || session.databaseCharacterSet == QLatin1String("AL32UTF8");
    OracleStatement stmt(session, sql);
    const OciCalls oci = stmt.calls();
    oci.stmtExecute(stmt.context(), stmt.handle(), 0, 0, oci::DESCRIBE_ONLY);
    std::vector<OracleColumn> columns = describeColumns(oci, stmt.handle());
    for (OracleColumn& column : columns) {
        column.sizeInUtf8 = utf8Database;
        column.kind = insertBindKindFor(column.dataType);
    }
    return columns;
}

}  // namespace

struct OracleInsertBuffer::Impl {
    explicit Impl(OracleConnection& c) : connection(c) {}

    OracleConnection& connection;
    QString commandText;
    bool isOpen = false;
    QString table;
    std::vector<OracleColumn> columns;
    QHash<QString, int> columnByName;       // as Oracle reports it: the usual look-up, no copy
    QHash<QString, int> columnByUpperName;  // any other letter case
    QByteArray insertSql;
    std::vector<std::size_t> bindOrder;  // columns in the order of the insert's placeholders
    QString owner;                       // the schema, for Oracle's messages

    std::vector<OracleColumnValues> pending;  // one per column: rows not yet sent
    std::size_t pendingRows = 0;
    std::size_t pendingBytes = 0;  // converted bytes of the rows not yet sent
    std::size_t batchRows = 0;     // rows posted since the last apply, sent early or not
    std::size_t sentEarlyRows = 0;  // rows of this batch executed early; pending[0] is the next one
    qsizetype refusedRow = -1;      // the batch row of the last refusal
    bool sentEarly = false;        // rows of this batch were executed, the transaction is open
    // A row of an early execute was rejected: the transaction is rolled back, and the rows of
    // this batch are dropped until the apply reports the failure.
    std::optional<QStringList> earlyFailure;

    bool editing = false;  // a row has been appended and not yet posted
    // Columns of the appended row set to a value (the others are NULL); the values themselves
    // are the open values of `pending`.
    std::vector<char> rowHasValue;

    std::size_t batchByteLimit = defaultBatchByteLimit;
    OracleArrayBind arrays;

    void requireOpen() const
    {
        if (!isOpen)
            throw Error(QStringLiteral("The insert buffer is not open"));
    }
    void clearPending()
    {
        for (OracleColumnValues& values : pending)
            values.clear();
        pendingRows = 0;
        pendingBytes = 0;
    }
    void clearRows()
    {
        clearPending();
        batchRows = 0;
        sentEarlyRows = 0;
        refusedRow = -1;
        sentEarly = false;
        earlyFailure.reset();
        editing = false;
    }
    void buildInsert()
    {
        bindOrder.clear();
        for (bool lobs : {false, true})
            for (std::size_t i = 0; i < columns.size(); ++i)
                if (bindsLast(columns[i]) == lobs)
                    bindOrder.push_back(i);
        QString columnList, placeholders;
        for (std::size_t k = 0; k < bindOrder.size(); ++k) {
            if (k > 0) {
                columnList += u',';
                placeholders += u',';
            }
            columnList += quoted(columns[bindOrder[k]].name);
            placeholders += u':' + QString::number(k + 1);
        }
        insertSql = QStringLiteral("insert into %1 (%2) values (%3)")
                        .arg(quoted(table), columnList, placeholders)
                        .toUtf8();
    }
    std::size_t rowSize() const
    {
        std::size_t size = 0;
        for (std::size_t c = 0; c < columns.size(); ++c)
            size += rowHasValue[c] ? pending[c].openValueSize() : 0;
        return size;
    }
    // Sets a column of the appended row to what `convert` appends for the column's kind
    // (false: NULL); see OracleInsertBuffer::setValue.
    template <typename Convert>
    void setConverted(int column, const Convert& convert);
    void postRow();
    void sendEarly();
    void rollbackQuietly(OracleConnection::Session& session) noexcept;

    enum class SendOutcome { AllSent, GaveUp };
    // Executes the rows not yet sent, in runs whose bind arrays stay within the byte limit, in the
    // open transaction. Each refused row's message is added to `refused`; the row is left out
    // while refusals stay within maxErrors (< 0: any number); beyond that nothing more is sent and
    // GaveUp comes back. A failure that belongs to no row throws.
    SendOutcome sendPending(OracleConnection::Session& session, int maxErrors, QStringList& refused);
    // Runs the pending rows and commits them; returns the messages of the tolerated refused rows.
    // Throws RejectedRowError, with the transaction rolled back, for one refused row too many.
    QStringList apply(int maxErrors);
};

template <typename Convert>
void OracleInsertBuffer::Impl::setConverted(int column, const Convert& convert)
{
    requireOpen();
    if (column < 0 || column >= static_cast<int>(columns.size()))
        throw Error(QStringLiteral("Table %1 has no column %2").arg(table, QString::number(column)));
    if (!editing)
        throw Error(QStringLiteral("No row of table %1 is being appended").arg(table));
    OracleColumnValues& values = pending[column];
    rowHasValue[column] = 0;
    const OracleColumn& target = columns[column];
    bool hasValue = false;
    try {
        hasValue = convert(target.kind, values.openValue());
        if (values.openValueSize() > std::numeric_limits<ub4>::max())
            throw Error(QStringLiteral("the value is larger than 4 GB"));
    } catch (const Error& e) {
        values.dropOpenValue();
        throw RefusedValueError(QStringLiteral("Column %1 (%2) cannot take the value: %3")
                                    .arg(target.name, oracleTypeName(target), e.message()),
                                e.message());
    }
    // Refused here, as Oracle would refuse it, so that no bind slot of the batch grows beyond what
    // the column's type may be bound with.
    const std::size_t limit = bindByteLimit(target);
    if (limit > 0 && values.openValueSize() > limit) {
        const std::size_t actual = values.openValueSize();
        values.dropOpenValue();
        throw RefusedValueError(
            QStringLiteral("ORA-12899: value too large for column \"%1\".\"%2\".\"%3\" (actual: %4, maximum: %5)")
                .arg(owner, table, target.name)
                .arg(actual)
                .arg(limit),
            QStringLiteral("%1 bytes, %2 holds %3").arg(actual).arg(oracleTypeName(target)).arg(limit));
    }
    rowHasValue[column] = hasValue ? 1 : 0;
}

// Memory stays bounded whatever the batch holds: before a row would take the buffered bytes past
// the limit, the buffered rows are executed inside the open transaction and dropped from memory.
// Only the apply commits, so a rejected row still takes back the whole batch.
void OracleInsertBuffer::Impl::postRow()
{
    editing = false;
    ++batchRows;
    if (earlyFailure)
        return;  // the batch is lost already; its failure is reported by the apply
    const std::size_t size = rowSize();
    if (pendingRows > 0 && pendingBytes + size > batchByteLimit) {
        sendEarly();
        if (earlyFailure)
            return;
    }
    for (std::size_t c = 0; c < columns.size(); ++c)
        pending[c].takeOpenValue(!rowHasValue[c]);
    ++pendingRows;
    pendingBytes += size;
}

void OracleInsertBuffer::Impl::sendEarly()
{
    OracleConnection::Session& session = connection.session();
    QStringList refused;
    SendOutcome outcome = SendOutcome::AllSent;
    try {
        outcome = sendPending(session, 0, refused);
    } catch (...) {
        rollbackQuietly(session);
        arrays.trim();
        clearPending();
        sentEarly = false;
        throw;
    }
    arrays.trim();
    sentEarlyRows += pendingRows;
    clearPending();
    if (outcome == SendOutcome::GaveUp) {
        rollbackQuietly(session);
        sentEarly = false;
        earlyFailure = refused;
        return;
    }
    sentEarly = true;
}

void OracleInsertBuffer::Impl::rollbackQuietly(OracleConnection::Session& session) noexcept
{
    try {
        session.calls().transRollback(session.context());
    } catch (const Error&) {
    }
}

OracleInsertBuffer::Impl::SendOutcome
OracleInsertBuffer::Impl::sendPending(OracleConnection::Session& session, int maxErrors,
                                      QStringList& refused)
{
    const OciCalls oci = session.calls();
    OCIStmt* stmt = session.keptStatement(insertSql);
    std::size_t first = 0;
    while (first < pendingRows) {
        const std::size_t last = OracleArrayBind::runEnd(columns, pending, first,
                                                         std::min(batchByteLimit, largestBindCopy));
        arrays.bind(oci, stmt, columns, pending, first, last, bindOrder);
        const ub4 rows = static_cast<ub4>(last - first);
        QString rowFailure;
        ub4 done = rows;
        try {
            sentEarly = true;  // from here on the transaction may hold rows of this batch
            oci.stmtExecute(session.context(), stmt, rows, 0, oci::DEFAULT);
            oci.attrGet(stmt, oci::HTYPE_STMT, &done, nullptr, oci::ATTR_ROW_COUNT,
                        "count the inserted rows");
            if (done < rows)
                rowFailure = QStringLiteral("Record not found or changed by another user");
        } catch (const OciError& e) {
            rowFailure = e.message();
            done = 0;
            ub4 count = 0;
            if (ociSucceeded(oci.library().AttrGet(stmt, oci::HTYPE_STMT, &count, nullptr,
                                                   oci::ATTR_ROW_COUNT, oci.errorHandle())))
                done = std::min(count, rows);
        }
        if (rowFailure.isEmpty()) {
            first = last;
            continue;
        }
        refused << rowFailure;
        refusedRow = static_cast<qsizetype>(sentEarlyRows + first + done);
        if (maxErrors >= 0 && refused.size() > maxErrors)
            return SendOutcome::GaveUp;
        first = first + done + 1;  // the failing row is left out; the rest go on
    }
    return SendOutcome::AllSent;
}

QStringList OracleInsertBuffer::Impl::apply(int maxErrors)
{
    OracleConnection::Session& session = connection.session();
    if (earlyFailure) {
        // An early execute was rejected: the transaction is rolled back already.
        const QStringList refused = *earlyFailure;
        const qsizetype row = refusedRow;
        clearRows();
        throw RejectedRowError(refused, row);
    }
    QStringList refused;
    try {
        if (sendPending(session, maxErrors, refused) == SendOutcome::GaveUp) {
            // Nothing after the failing row is processed; none of this batch's rows stay.
            rollbackQuietly(session);
            sentEarly = false;
            arrays.trim();
            throw RejectedRowError(refused, refusedRow);
        }
        session.calls().transCommit(session.context());
    } catch (...) {
        if (sentEarly)
            rollbackQuietly(session);
        sentEarly = false;
        arrays.trim();
        throw;
    }
    arrays.trim();
    clearRows();
    return refused;
}

OracleInsertBuffer::OracleInsertBuffer(OracleConnection& connection)
    : impl_(std::make_unique<Impl>(connection))
{
}

OracleInsertBuffer::~OracleInsertBuffer() = default;

void OracleInsertBuffer::setCommandText(const QString& selectStatement)
{
    impl_->commandText = selectStatement;
}

void OracleInsertBuffer::open()
{
    close();
    const QString table = tableOfSelect(impl_->commandText);
    std::vector<OracleColumn> columns = describeSelect(impl_->connection.session(),
                                                       impl_->commandText);
    Impl& d = *impl_;
    d.table = table;
    d.columns = std::move(columns);
    d.columnByName.clear();
    d.columnByUpperName.clear();
    for (std::size_t i = 0; i < d.columns.size(); ++i) {
        // The first of two names that differ only in letter case wins.
        if (!d.columnByName.contains(d.columns[i].name))
            d.columnByName.insert(d.columns[i].name, static_cast<int>(i));
        if (!d.columnByUpperName.contains(d.columns[i].name.toUpper()))
            d.columnByUpperName.insert(d.columns[i].name.toUpper(), static_cast<int>(i));
    }
    // The column buffers of the last open are emptied but kept, so that the next batch of rows
    // does not grow them from nothing again.
    d.pending.resize(d.columns.size());
    for (OracleColumnValues& values : d.pending) {
        values.clear();
        values.dropOpenValue();
    }
    d.rowHasValue.assign(d.columns.size(), 0);
    d.buildInsert();
    d.owner = d.connection.parameters().value(QStringLiteral("User_Name")).toUpper();
    d.isOpen = true;
}

void OracleInsertBuffer::close()
{
    Impl& d = *impl_;
    d.isOpen = false;
    if (d.sentEarly) {
        // Rows sent early by a batch that is never applied are taken back.
        if (d.connection.isOpen())
            d.rollbackQuietly(d.connection.session());
    }
    d.clearRows();
    d.columns.clear();
    d.columnByName.clear();
    d.columnByUpperName.clear();
}

bool OracleInsertBuffer::isOpen() const
{
    return impl_->isOpen;
}

int OracleInsertBuffer::columnCount() const
{
    return static_cast<int>(impl_->columns.size());
}

QString OracleInsertBuffer::columnName(int column) const
{
    if (column < 0 || column >= columnCount())
        throw Error(QStringLiteral("The insert buffer has no column %1").arg(column));
    return impl_->columns[column].name;
}

int OracleInsertBuffer::columnIndex(const QString& name) const
{
    if (const auto it = impl_->columnByName.constFind(name); it != impl_->columnByName.cend())
        return it.value();
    return impl_->columnByUpperName.value(name.toUpper(), -1);
}

int OracleInsertBuffer::maxIdentifierBytes() const
{
    return impl_->connection.maxIdentifierBytes();
}

void OracleInsertBuffer::append()
{
    Impl& d = *impl_;
    d.requireOpen();
    if (d.editing)
        d.postRow();
    // A row whose batch was lost, or that failed to post, may have left its values open.
    for (OracleColumnValues& values : d.pending)
        values.dropOpenValue();
    std::fill(d.rowHasValue.begin(), d.rowHasValue.end(), 0);
    d.editing = true;
}

void OracleInsertBuffer::setValue(const QString& columnName, const Value& value)
{
    impl_->requireOpen();
    const int column = columnIndex(columnName);
    if (column < 0)
        throw Error(QStringLiteral("Table %1 has no column %2").arg(impl_->table, columnName));
    setValue(column, value);
}

void OracleInsertBuffer::setValue(int column, const Value& value)
{
    impl_->setConverted(column, [&value](OracleBindKind kind, std::string& bytes) {
        return convertForOracle(value, kind, bytes);
    });
}

void OracleInsertBuffer::setUtf8Text(int column, QByteArrayView utf8)
{
    impl_->setConverted(column, [utf8](OracleBindKind kind, std::string& bytes) {
        return convertUtf8TextForOracle(utf8, kind, bytes);
    });
}

void OracleInsertBuffer::setDecimalText(int column, QByteArrayView latin1)
{
    impl_->setConverted(column, [latin1](OracleBindKind kind, std::string& bytes) {
        return convertDecimalTextForOracle(latin1, kind, bytes);
    });
}

void OracleInsertBuffer::setFloatingPoint(int column, double value, bool singlePrecision)
{
    impl_->setConverted(column, [value, singlePrecision](OracleBindKind kind, std::string& bytes) {
        return convertFloatingPointForOracle(value, singlePrecision, kind, bytes);
    });
}

bool OracleInsertBuffer::isNullInRow(int column) const
{
    // Oracle takes a value of no bytes as NULL.
    return column < 0 || column >= columnCount() || !impl_->rowHasValue[column]
        || impl_->pending[column].openValueSize() == 0;
}

void OracleInsertBuffer::post()
{
    Impl& d = *impl_;
    d.requireOpen();
    if (!d.editing)
        throw Error(QStringLiteral("No row of table %1 is being appended").arg(d.table));
    d.postRow();
}

int OracleInsertBuffer::pendingCount() const
{
    return static_cast<int>(impl_->batchRows);
}

QStringList OracleInsertBuffer::applyUpdates(int maxErrors)
{
    Impl& d = *impl_;
    d.requireOpen();
    if (d.editing)
        d.postRow();
    if (d.batchRows == 0)
        return {};
    return d.apply(maxErrors);
}

void OracleInsertBuffer::setBatchByteLimit(qint64 bytes)
{
    impl_->batchByteLimit = static_cast<std::size_t>(qMax<qint64>(bytes, 1));
}

}  // namespace dovrelle
